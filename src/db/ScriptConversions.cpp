// SPDX-License-Identifier: GPL-3.0-or-later
#include "db/ScriptConversions.h"

#include "common/Error.h"
#include "common/FileHelpers.h"
#include "common/SqlText.h"
#include "common/TextHelpers.h"
#include "db/Connection.h"
#include "db/DataSet.h"
#include "db/ScriptPictures.h"
#include "db/UpdateScript.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace tilvo {

namespace {

const QString kOk = QStringLiteral(" (Ok)");

QString ErrorEnding(const QString& text)
{
    return QStringLiteral(" (error : ") + text + u')';
}

// `count` characters of `text` from `from`; nothing when the delimiters were missing or out
// of order.
QString Slice(const QString& text, qsizetype from, qsizetype count)
{
    if (from < 0 || count <= 0 || from >= text.size())
        return QString();
    return text.mid(from, count);
}

// --- Statistic and query definitions ------------------------------------------------------

struct DefinitionKind
{
    const char* label;     // "Statistiques" or "Requêtes"
    const char* folder;    // under ProgramFolder
    const char* treeFile;  // the tree file in that folder
    const char* extension; // of the definition files
    const char* treeTable;
    const char* queryTable;
};

const DefinitionKind kStatistics{"Statistiques", "Stat/",     "StatTree.def",
                                 ".stq",         "STAT_TREE", "STAT_QUERY"};
const DefinitionKind kQueries{"Requêtes", "Query/",   "QueryTree.def",
                              ".req",     "SQL_TREE", "SQL_QUERY"};

QStringList ReadLines(const QString& path)
{
    const std::optional<QString> text = ReadTextFile(path);
    if (!text)
        throw Error(QStringLiteral("le fichier %1 ne peut pas être lu").arg(path));
    return SplitLines(*text);
}

// Statistic definitions get "{name}" at the end of their second line; query definitions are
// stored as they are.
void ConvertDefinitions(const DefinitionKind& kind, const QString& line, Connection& connection,
                        const UpdateEnvironment& env, bool markName)
{
    const QString folder = env.ProgramFolder + QLatin1String(kind.folder);
    const QString tree = folder + QLatin1String(kind.treeFile);
    if (!QFileInfo(tree).isFile())
        return;
    QString mark;
    if (markName) {
        const qsizetype open = line.indexOf(u'{');
        const qsizetype close = line.indexOf(u'}');
        mark = u'{' + Slice(line, open + 1, close - open - 1) + u'}';
    }
    const QStringList lines = ReadLines(tree);
    DataSet nodes(connection, QStringLiteral("TreeNodes"));
    nodes.setSqlText(
        QStringLiteral("SELECT * FROM %1 WHERE Id=-1").arg(QLatin1String(kind.treeTable)));
    nodes.open();
    DataSet queries(connection, QStringLiteral("TreeQueries"));
    queries.setSqlText(
        QStringLiteral("SELECT * FROM %1 WHERE Id=-1").arg(QLatin1String(kind.queryTable)));
    queries.open();
    for (int i = 0; i < lines.size(); ++i) {
        const QString& text = lines.at(i);
        const bool definition = text.startsWith(u'\t');
        QString title = definition ? text.mid(1) : text;
        title.chop(2);
        nodes.append();
        nodes.fieldByName(QStringLiteral("Id_File")).setInteger(-1);
        nodes.fieldByName(QStringLiteral("NodeTitle")).setText(TrimBlanks(title));
        nodes.fieldByName(QStringLiteral("NodeLevel")).setInteger(definition ? 1 : 0);
        nodes.fieldByName(QStringLiteral("NodePos")).setInteger(i);
        nodes.fieldByName(QStringLiteral("NodeType")).setInteger(definition ? 2 : 1);
        nodes.post();
        if (!definition)
            continue;
        const qint64 id = nodes.fieldByName(QStringLiteral("Id")).asInteger();
        const QString file = folder + title + QLatin1String(kind.extension);
        if (!QFileInfo(file).isFile())
            continue;
        QStringList content = ReadLines(file);
        if (markName) {
            if (content.size() < 2)
                throw Error(QStringLiteral("le fichier %1 a moins de deux lignes").arg(file));
            content[1] += mark;
        }
        queries.append();
        queries.fieldByName(QStringLiteral("Id_Tree")).setInteger(id);
        queries.fieldByName(QStringLiteral("Query")).setText(content.join(QStringLiteral("\r\n")));
        queries.post();
    }
}

// ('old','new'): old from two characters after the first "(" to two before the first ",",
// new from two after that "," to two before the first ")".
std::pair<QString, QString> ReplacementArguments(const QString& line)
{
    const qsizetype open = line.indexOf(u'(');
    const qsizetype comma = line.indexOf(u',');
    const qsizetype close = line.indexOf(u')');
    if (open < 0 || comma < 0 || close < 0)
        return {};
    return {Slice(line, open + 2, comma - open - 3), Slice(line, comma + 2, close - comma - 3)};
}

void ReplaceInDefinitions(const DefinitionKind& kind, const QString& oldText,
                          const QString& newText, Connection& connection)
{
    DataSet set(connection, QStringLiteral("TreeQueries"));
    set.setSqlText(
        QStringLiteral("SELECT Id, Id_Tree, Query FROM %1").arg(QLatin1String(kind.queryTable)));
    set.open();
    for (set.first(); !set.eof(); set.next()) {
        Field query = set.fieldByName(QStringLiteral("Query"));
        const QString before = query.asText();
        QString after = before;
        if (!oldText.isEmpty())
            after.replace(oldText, newText, Qt::CaseSensitive);
        if (after == before)
            continue;
        set.edit();
        query.setText(after);
        set.post();
    }
}

// --- Pictures stored in a table ------------------------------------------------------------

struct PictureCommand
{
    int arguments;
    const char* header; // followed by the table's name
    const char* noRows;
};

PictureCommand DescribePictureCommand(ConversionCommand command)
{
    switch (command) {
    case ConversionCommand::ExtractImageToJpeg:
        return {3, "OPTIMISATION:Extraction des images au format jpeg de la table ",
                "Pas d'images dans la base"};
    case ConversionCommand::ExtractJpegImage:
        return {3, "OPTIMISATION:Extraction des images jpeg de la table ",
                "Pas d'images dans la base"};
    case ConversionCommand::ResizeBitmapInDataBase:
        return {4, "OPTIMISATION:Redimensionne les images Bitmap de la table ",
                "Pas d'images dans la table"};
    default:
        return {2, "OPTIMISATION:Conversion des images Bitmap en Jpeg de la table ",
                "Pas d'images dans la table"};
    }
}

int ReadInteger(const QString& text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    if (!ok)
        throw Error(QStringLiteral("'%1' n'est pas un nombre entier valide").arg(text));
    return value;
}

bool RunPictureCommand(ConversionCommand command, const QString& line, Connection& connection,
                       const UpdateEnvironment& env, const LogLine& log)
{
    const PictureCommand kind = DescribePictureCommand(command);
    const QStringList args = PictureCommandArguments(line, kind.arguments);
    const QString table = args.value(0);
    const QString column = args.value(1);
    const QString header = QString::fromUtf8(kind.header) + table;
    log(header);
    const QString images = env.config.DatabaseFolder + QStringLiteral("Images/");
    const QString workJpeg = images + QStringLiteral("temp.jpg");
    QString text = header;
    bool ok = true;
    try {
        ScriptPictures* pictures = env.pictures;
        if (!pictures)
            throw Error(QStringLiteral("le traitement des images n'est pas disponible"));
        int width = 0;
        int height = 0;
        if (command == ConversionCommand::ResizeBitmapInDataBase) {
            width = ReadInteger(args.value(2));
            height = ReadInteger(args.value(3));
        }
        const bool copy = line.contains(QLatin1String("ExtractImageToJpegCopy"));
        const bool whiteBox = line.contains(QLatin1String("ResizeBitmapDataBaseInWhiteRect"));
        if (command != ConversionCommand::ResizeBitmapInDataBase)
            QDir().mkpath(images);

        DataSet set(connection, QStringLiteral("Pictures"));
        set.setSqlText(QStringLiteral("SELECT Id, ") + column + QStringLiteral(" FROM ") + table);
        set.open();
        if (set.isEmpty())
            text = QString::fromUtf8(kind.noRows);
        for (set.first(); !set.eof(); set.next()) {
            Field picture = set.field(1);
            if (picture.isNull())
                continue;
            const QString id = QString::number(set.field(0).asInteger());
            const QString file = images + args.value(2) + id + QStringLiteral(".jpg");
            switch (command) {
            case ConversionCommand::ExtractImageToJpeg: {
                text = QStringLiteral("Conversion de l'image : ") + file;
                log(text);
                const QByteArray bytes = picture.asBytes();
                if (!bytes.isEmpty()) {
                    if (QFileInfo::exists(file))
                        pictures->checkBitmap(bytes);
                    else
                        pictures->writeBitmapAsJpeg(bytes, file, 100);
                }
                if (!copy) {
                    set.edit();
                    picture.clear();
                    set.post();
                }
                break;
            }
            case ConversionCommand::ExtractJpegImage:
                text = QStringLiteral("Extraction de l'image : ") + file;
                log(text);
                picture.saveToFile(file);
                set.edit();
                picture.clear();
                set.post();
                break;
            case ConversionCommand::ResizeBitmapInDataBase: {
                text =
                    QStringLiteral("Redimensionnement de l'image : ") + id + QStringLiteral(".jpg");
                log(text);
                const QByteArray fitted =
                    pictures->fitColumnBitmap(picture, width, height, whiteBox);
                set.edit();
                picture.setBytes(fitted);
                set.post();
                break;
            }
            default:
                text = QStringLiteral("Conversion de l'image : ") + id + QStringLiteral(".jpg");
                log(text);
                pictures->writeBitmapAsJpeg(picture.asBytes(), workJpeg, 100);
                set.edit();
                picture.loadFromFile(workJpeg);
                set.post();
                break;
            }
            text.clear();
        }
    } catch (const Error& e) {
        text += ErrorEnding(e.text());
        ok = false;
    }
    if (command == ConversionCommand::ConvertBitmapToJpegInDataBase)
        QFile::remove(workJpeg);
    log(text);
    return ok;
}

} // namespace

QStringList PictureCommandArguments(const QString& line, int count)
{
    const qsizetype open = line.indexOf(u'(');
    QString rest = open < 0 ? QString() : line.mid(open + 1);
    QStringList args;
    for (int i = 0; i < count; ++i) {
        const qsizetype end = rest.indexOf(i + 1 < count ? u',' : u')');
        if (end < 0) {
            args << QString();
            rest.clear();
            continue;
        }
        args << Slice(rest, 1, end - 2);
        rest = rest.mid(end + 1);
    }
    return args;
}

bool RunConversion(ConversionCommand command, const QString& line, Connection& connection,
                   const UpdateEnvironment& environment, const LogLine& log)
{
    QString header;
    try {
        switch (command) {
        case ConversionCommand::ConvertStatScript:
        case ConversionCommand::ConvertQueryScript: {
            const bool statistics = command == ConversionCommand::ConvertStatScript;
            const DefinitionKind& kind = statistics ? kStatistics : kQueries;
            header = QStringLiteral("CONVERSION:") + QString::fromUtf8(kind.label);
            ConvertDefinitions(kind, line, connection, environment, statistics);
            break;
        }
        case ConversionCommand::ReplaceStringInStatScript:
        case ConversionCommand::ReplaceStringInQueryScript: {
            const DefinitionKind& kind =
                command == ConversionCommand::ReplaceStringInStatScript ? kStatistics : kQueries;
            const auto [oldText, newText] = ReplacementArguments(line);
            header = QStringLiteral("MODIFICATION:") + QString::fromUtf8(kind.label) + u'(' +
                     oldText + u')';
            ReplaceInDefinitions(kind, oldText, newText, connection);
            break;
        }
        default:
            return RunPictureCommand(command, line, connection, environment, log);
        }
    } catch (const Error& e) {
        log(header + ErrorEnding(e.text()));
        return false;
    }
    log(header + kOk);
    return true;
}

} // namespace tilvo
