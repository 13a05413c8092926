// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <functional>

namespace tilvo {

class Connection;
struct UpdateEnvironment;

// The conversion commands of the update scripts.
enum class ConversionCommand
{
    ConvertStatScript,             // ConvertStatScript{name}
    ReplaceStringInStatScript,     // ReplaceStringInStatScript('old','new')
    ConvertQueryScript,            // ConvertQueryScript
    ReplaceStringInQueryScript,    // ReplaceStringInQueryScript('old','new')
    ExtractImageToJpeg,            // ExtractImageToJpeg('T','F','prefix'), also ...Copy(...)
    ExtractJpegImage,              // ExtractJpegImage('T','F','prefix')
    ResizeBitmapInDataBase,        // ResizeBitmapInDataBase('T','F','W','H')
    ConvertBitmapToJpegInDataBase, // ConvertBitmapToJpegInDataBase('T','F')
};

using LogLine = std::function<void(const QString& message)>;

// Needs the command's script line, the script's connection, the environment (ProgramFolder for
// the definition files, the database folder for the picture files, the picture coder) and
// the log. Runs the command and writes its log lines; an error ends the command, is logged
// as " (error : " + text + ")" and never escapes. Returns false when it logged an error.
bool RunConversion(ConversionCommand command, const QString& line, Connection& connection,
                   const UpdateEnvironment& environment, const LogLine& log);

// The quoted arguments of a picture command: the line read from its first "(" on, each
// argument between its delimiting characters, the last one ending before the first ")".
QStringList PictureCommandArguments(const QString& line, int count);

} // namespace tilvo
