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

// Where a new database file is made ready beside the live one before it takes the live name:
// "Access/TILVO.MDB" gives "Access/TILVO.MDB.new". Such a file never holds the only copy of
// anything, so a run that finds one left by an interrupted run removes it.
QString PendingDatabaseName(const QString& live);

// Puts a whole database file under the live name in one step: `replacement` is moved to
// PendingDatabaseName(live) (copied when it lies on another file system), flushed to the disk
// and renamed over the live file. At every moment, a crash included, the live name holds
// either the old database or the new one, whole. Refuses, changing nothing, while another
// program holds the live file; the journal files the engine left beside the old file are
// removed first, so that none is ever played back into the new one. Throws Error; the live file is
// then as it was and `replacement` is gone or kept where it was. The live file must not be
// open on any connection.
void ReplaceLiveDatabase(const QString& replacement, const QString& live);

// Compacts the live database file without its name ever being empty: a compacted, checked
// copy is written to PendingDatabaseName(live) and then takes the live name
// (ReplaceLiveDatabase). A pending file left by an interrupted run is removed first. Refuses,
// changing nothing, while a moved-aside file (MovedAsideName) is there: an earlier compaction
// was interrupted, and that copy is the person's to look at. When the compaction fails, the
// live file is as it was. The file must not be open on any connection.
void CompactLiveDatabase(const QString& live, const CompactFunction& compact = CompactDatabaseFile);

} // namespace tilvo
