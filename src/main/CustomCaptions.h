// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

namespace tilvo {

class DataSet;

// A dossier's own captions for the free fields of the account dialog, in its CUSTOMLAB row
// (columns Account_Misc01 ... Account_Misc07).

inline constexpr int kCustomCaptionCount = 7;

// The seven captions of the dossier, read on the scratch `query`; the dossier's row is
// created first when it has none (the columns' defaults then give the captions). The query
// is closed afterwards.
QStringList ReadCustomCaptions(DataSet& query, int dossierId);

// The column of a caption control: "Lab_Misc03" gives "Account_Misc03".
QString CustomCaptionColumn(const QString& captionName);

// Stores a new text for the caption control `captionName` ("Lab_Misc01" ... "Lab_Misc07") in
// the dossier's row only, on the scratch `query`, which is closed afterwards. Throws Error,
// storing nothing, when the field refuses the text (longer than 128 characters).
void RenameCustomCaption(DataSet& query, int dossierId, const QString& captionName,
                         const QString& text);

} // namespace tilvo
