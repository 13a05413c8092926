// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

namespace tilvo::test {

// Writes the bytes to the path, creating the folders on the way; fails the test on error.
void WriteFile(const QString& path, const QByteArray& bytes);
// The file's bytes; an empty array when it cannot be read.
QByteArray ReadFile(const QString& path);

} // namespace tilvo::test
