// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <functional>

namespace tilvo {

// Deletes the destination, checks the source (Connection::checkIntegrity), then writes a
// compacted copy of it there and checks that copy. Throws Error with a French message when the
// source cannot be read (damaged, not a database, locked) or the copy fails its check; the
// source is never changed, and no half-written destination is left behind. The source must not
// be open on any connection.
void CompactDatabaseFile(const QString& source, const QString& destination);

// The name a live database file takes while it is compacted: "~" before the first "." of its
// file name ("Access/TILVO.MDB" gives "Access/TILVO~.MDB"), at the start of a name without one.
QString MovedAsideName(const QString& path);

using CompactFunction = std::function<void(const QString& source, const QString& destination)>;

// Compacts a live database file in its place: moves it aside (MovedAsideName), compacts the
// moved file back under the live name, then deletes the moved file. Refuses, changing nothing,
// when a moved-aside file is already there (an earlier compaction was interrupted) or the move
// fails. When the compaction fails, the database as it was goes back under the live name; when
// even that fails, the error says where the database is, and that file is never deleted. The
// file must not be open on any connection.
void CompactInPlace(const QString& live, const CompactFunction& compact = CompactDatabaseFile);

} // namespace tilvo
