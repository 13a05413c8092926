// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "images/Picture.h"

#include <QString>

namespace tilvo {

class DataSet;
class DataSource;
class Prompts;

// The "Scan" settings that shape a picture file made from a bitmap.
struct PictureSettings
{
    int maxWidth = 5000;   // MaxWidth: the largest width and height of the picture file
    int jpegQuality = 100; // JpegQuality
};

// The account dialog's picture dialog: its title and its filter (PNG added to the program's
// JPEG and bitmap entries).
inline constexpr char PictureDialogTitle[] = "Sélectionnez une image";
inline constexpr char PictureDialogFilter[] =
    "Tout (*.jpg;*.bmp;*.png)|*.jpg;*.bmp;*.png|Fichier image JPEG (*.jpg)|*.jpg|"
    "Bitmaps (*.bmp)|*.bmp|Images PNG (*.png)|*.png";
inline constexpr char DeletePictureQuestion[] = "Désirez-vous supprimer cette image ?";

// True when the file's extension, in capitals, is ".JPG" or ".JPEG".
bool IsJpegFileName(const QString& path);

// A picture file chosen by the user, decoded to 24 bits: a JPEG (by its extension) through the
// JPEG reader, a BMP through the program's reader, anything else (PNG) through Qt's image
// reader behind the same size limit. Transparent parts come out on white. Throws Error with a
// French text naming the file when it cannot be read, is damaged or too large.
Picture LoadSourcePicture(const QString& path);

// Makes the account's picture file and its thumbnail from a file chosen by the user: a JPEG is
// copied byte for byte; any other picture is fitted into maxWidth × maxWidth when larger and
// written as JPEG. The thumbnail (the source fitted into thumbnailWidth × thumbnailHeight,
// centred on white) goes as a 24-bit BMP file into the column `thumbnailField` of the current
// row, which is posted. The pending edit is posted first and the row reopened.
//
// The source is decoded and both results made (off the window thread, the windows repainting
// meanwhile) before anything is replaced, so a file that cannot be read, is damaged or too
// large throws its Error with the picture file and the column unchanged. When the row cannot
// be posted, the earlier picture file is put back.
void ImportAccountPicture(DataSource& dataSource, DataSet& account, int thumbnailWidth,
                          const QString& thumbnailField, const QString& targetPath,
                          const QString& sourcePath, int thumbnailHeight,
                          const PictureSettings& settings = PictureSettings());

// The work of ImportAccountPicture that touches no database: writes the picture file to
// `pictureFilePath` and returns the thumbnail's BMP bytes. Throws Error as it does.
QByteArray PreparePicture(const QString& sourcePath, const QString& pictureFilePath,
                          int thumbnailWidth, int thumbnailHeight, const PictureSettings& settings);

// Clears both columns of the current row (posting it, the row reopened) and deletes the file.
// A file already gone still has its columns cleared.
void RemoveAccountPicture(DataSource& dataSource, DataSet& account, const QString& firstColumn,
                          const QString& secondColumn, const QString& filePath);

// Deletes the file when it exists, with the wait cursor meanwhile.
void DeletePictureFile(const QString& filePath);

// The messages of a picture file that has gone, with its path: "TROUVER" for a copy,
// "VISUALISER" for the viewer.
QString PictureNotFoundMessage(const QString& filePath);
QString PictureNotViewableMessage(const QString& filePath);

// The name a copy is proposed under: the title + ".jpg", "*.jpg" without a title.
QString ProposedPictureName(const QString& title);

// Lets the user copy the picture file elsewhere through the save dialog ("Image Jpeg|*.jpg",
// "Enregistrer l'image sous ...", the proposed name made safe for a file name). A missing file
// shows the "TROUVER" message. The copy replaces the chosen file only once it is complete;
// choosing the picture file itself changes nothing. Throws Error when the copy fails.
void SavePictureCopyAs(const QString& filePath, const QString& proposedName, Prompts& prompts);

} // namespace tilvo
