// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace tilvo {

// Html/Temp/ of the data folder: where the last page and its pictures are written.
QString HtmlTempFolder(const QString& dataFolder);

// Creates Html/ and Html/Temp/ in the data folder when missing; throws Error naming the folder
// when it cannot.
void EnsureHtmlFolders(const QString& dataFolder);

// Deletes the "*.jpg", "*.bmp" and "*.htm" files of the folder; folders and other files stay.
void ClearHtmlFolder(const QString& folder);

} // namespace tilvo
