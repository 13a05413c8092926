// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace tilvo {

// The field types update scripts name in NotFieldType(T.F,type), in the order of their list.
enum class FieldType
{
    ftUnknown,
    ftString,
    ftSmallint,
    ftInteger,
    ftWord,
    ftBoolean,
    ftFloat,
    ftCurrency,
    ftBCD,
    ftDate,
    ftTime,
    ftDateTime,
    ftBytes,
    ftVarBytes,
    ftAutoInc,
    ftBlob,
    ftMemo,
    ftGraphic,
    ftFmtMemo,
    ftParadoxOle,
    ftDBaseOle,
    ftTypedBinary,
    ftCursor,
    ftFixedChar,
    ftWideString,
    ftLargeInt,
    ftADT,
    ftArray,
    ftReference,
    ftDataSet,
    ftOraBlob,
    ftOraClob,
    ftVariant,
    ftInterface,
    ftIDispatch,
    ftGuid,
    ftWideMemo,
};

// The type a name stands for, compared case-sensitively; any other name gives ftUnknown.
FieldType FieldTypeCode(const QString& name);
QString FieldTypeName(FieldType type);

// The field type of a column as the engine declares it. The DDL translation writes these
// declarations: INTEGER PRIMARY KEY AUTOINCREMENT (ftAutoInc), SMALLINT (ftSmallint),
// INTEGER (ftInteger), TINYINT (ftWord), DOUBLE and REAL (ftFloat), CURRENCY, DECIMAL and
// NUMERIC (ftBCD), DATETIME (ftDateTime), BOOLEAN (ftBoolean), VARCHAR(n) (ftWideString),
// LONGTEXT (ftWideMemo), LONGVARBINARY (ftBlob), VARBINARY(n) (ftVarBytes), GUID (ftGuid).
// The Jet names of the same types (SHORT, LONG, TEXT(n), MEMO, YESNO, LONGBINARY ...) give
// the same answers, so a database made by hand reads the same way.
FieldType FieldTypeOfDeclared(const QString& declaredType, bool autoIncrement);
// The declared length of a text or binary column ("VARCHAR(128)" gives 128), 0 when none.
int DeclaredSize(const QString& declaredType);

// Families of field types the datasets treat alike.
bool IsIntegerType(FieldType type);
bool IsRealType(FieldType type);
bool IsDateType(FieldType type);
bool IsTextType(FieldType type);
bool IsBinaryType(FieldType type);

} // namespace tilvo
