// SPDX-License-Identifier: GPL-3.0-or-later
#include "db/FieldType.h"

#include <QRegularExpression>
#include <array>

namespace tilvo {

namespace {

constexpr std::array kNames = {
    "ftUnknown",    "ftString",     "ftSmallint", "ftInteger",     "ftWord",      "ftBoolean",
    "ftFloat",      "ftCurrency",   "ftBCD",      "ftDate",        "ftTime",      "ftDateTime",
    "ftBytes",      "ftVarBytes",   "ftAutoInc",  "ftBlob",        "ftMemo",      "ftGraphic",
    "ftFmtMemo",    "ftParadoxOle", "ftDBaseOle", "ftTypedBinary", "ftCursor",    "ftFixedChar",
    "ftWideString", "ftLargeInt",   "ftADT",      "ftArray",       "ftReference", "ftDataSet",
    "ftOraBlob",    "ftOraClob",    "ftVariant",  "ftInterface",   "ftIDispatch", "ftGuid",
    "ftWideMemo",
};
static_assert(kNames.size() == static_cast<size_t>(FieldType::ftWideMemo) + 1);

// The first word of a declaration, upper-cased: "VARCHAR(128)" gives "VARCHAR".
QString TypeWord(const QString& declared)
{
    QString word;
    for (const QChar c : declared.trimmed()) {
        if (!c.isLetterOrNumber() && c != u'_')
            break;
        word += c.toUpper();
    }
    return word;
}

} // namespace

FieldType FieldTypeCode(const QString& name)
{
    for (size_t i = 0; i < kNames.size(); ++i) {
        if (name == QLatin1String(kNames[i]))
            return static_cast<FieldType>(i);
    }
    return FieldType::ftUnknown;
}

QString FieldTypeName(FieldType type)
{
    const auto index = static_cast<size_t>(type);
    return index < kNames.size() ? QString::fromLatin1(kNames[index]) : QString();
}

int DeclaredSize(const QString& declaredType)
{
    static const QRegularExpression size(QStringLiteral("^\\s*[A-Za-z_0-9 ]*\\(\\s*(\\d+)"));
    const QRegularExpressionMatch m = size.match(declaredType);
    return m.hasMatch() ? m.captured(1).toInt() : 0;
}

FieldType FieldTypeOfDeclared(const QString& declaredType, bool autoIncrement)
{
    const QString word = TypeWord(declaredType);
    if (autoIncrement || word == u"COUNTER" || word == u"AUTOINCREMENT" || word == u"IDENTITY")
        return FieldType::ftAutoInc;
    const bool sized = DeclaredSize(declaredType) > 0;
    if (word == u"SMALLINT" || word == u"SHORT" || word == u"INTEGER2")
        return FieldType::ftSmallint;
    if (word == u"INTEGER" || word == u"INT" || word == u"LONG" || word == u"INTEGER4")
        return FieldType::ftInteger;
    if (word == u"TINYINT" || word == u"BYTE" || word == u"INTEGER1")
        return FieldType::ftWord;
    if (word == u"BIGINT")
        return FieldType::ftLargeInt;
    if (word == u"DOUBLE" || word == u"FLOAT" || word == u"FLOAT8" || word == u"REAL" ||
        word == u"SINGLE" || word == u"FLOAT4" || word == u"NUMBER")
        return FieldType::ftFloat;
    if (word == u"CURRENCY" || word == u"MONEY" || word == u"DECIMAL" || word == u"NUMERIC" ||
        word == u"DEC")
        return FieldType::ftBCD;
    if (word == u"DATETIME" || word == u"DATE" || word == u"TIME" || word == u"TIMESTAMP")
        return FieldType::ftDateTime;
    if (word == u"BOOLEAN" || word == u"BIT" || word == u"YESNO" || word == u"LOGICAL" ||
        word == u"LOGICAL1" || word == u"BOOL")
        return FieldType::ftBoolean;
    if (word == u"VARCHAR" || word == u"CHAR" || word == u"CHARACTER" || word == u"NVARCHAR" ||
        word == u"NCHAR" || word == u"STRING" || word == u"ALPHANUMERIC" ||
        (word == u"TEXT" && sized))
        return FieldType::ftWideString;
    if (word == u"LONGTEXT" || word == u"MEMO" || word == u"NOTE" || word == u"LONGCHAR" ||
        word == u"NTEXT" || word == u"TEXT" || word == u"CLOB")
        return FieldType::ftWideMemo;
    if (word == u"LONGVARBINARY" || word == u"LONGBINARY" || word == u"OLEOBJECT" ||
        word == u"IMAGE" || word == u"GENERAL" || word == u"BLOB")
        return FieldType::ftBlob;
    if (word == u"VARBINARY" || word == u"BINARY")
        return FieldType::ftVarBytes;
    if (word == u"GUID" || word == u"UNIQUEIDENTIFIER")
        return FieldType::ftGuid;
    return FieldType::ftUnknown;
}

bool IsIntegerType(FieldType type)
{
    switch (type) {
    case FieldType::ftSmallint:
    case FieldType::ftInteger:
    case FieldType::ftWord:
    case FieldType::ftAutoInc:
    case FieldType::ftLargeInt:
        return true;
    default:
        return false;
    }
}

bool IsRealType(FieldType type)
{
    return type == FieldType::ftFloat || type == FieldType::ftCurrency || type == FieldType::ftBCD;
}

bool IsDateType(FieldType type)
{
    return type == FieldType::ftDate || type == FieldType::ftTime || type == FieldType::ftDateTime;
}

bool IsTextType(FieldType type)
{
    switch (type) {
    case FieldType::ftString:
    case FieldType::ftFixedChar:
    case FieldType::ftWideString:
    case FieldType::ftMemo:
    case FieldType::ftFmtMemo:
    case FieldType::ftWideMemo:
    case FieldType::ftGuid:
        return true;
    default:
        return false;
    }
}

bool IsBinaryType(FieldType type)
{
    switch (type) {
    case FieldType::ftBytes:
    case FieldType::ftVarBytes:
    case FieldType::ftBlob:
    case FieldType::ftGraphic:
    case FieldType::ftTypedBinary:
    case FieldType::ftParadoxOle:
    case FieldType::ftDBaseOle:
    case FieldType::ftOraBlob:
        return true;
    default:
        return false;
    }
}

} // namespace tilvo
