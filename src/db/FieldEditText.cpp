// SPDX-License-Identifier: GPL-3.0-or-later
#include "db/FieldEditText.h"

#include "common/DateHelpers.h"
#include "common/Error.h"
#include "common/NumberPicture.h"
#include "db/DataSet.h"

namespace tilvo {

QString FieldEditText(const Field& field)
{
    const QVariant v = field.value();
    if (!v.isValid() || v.isNull())
        return QString();
    switch (v.typeId()) {
    case QMetaType::Double:
    case QMetaType::LongLong: {
        const QString format = field.display().editFormat;
        if (!format.isEmpty())
            return FormatNumberPicture(v.toDouble(), format);
        if (v.typeId() == QMetaType::LongLong)
            return QString::number(v.toLongLong());
        QString text = QString::number(v.toDouble(), 'g', 15);
        text.replace(u'.', LocaleDecimalSeparator());
        return text;
    }
    case QMetaType::QDate:
        return FormatDateText(v.toDate());
    default:
        return field.asText();
    }
}

void SetFieldFromEditText(Field& field, const QString& text)
{
    const FieldType type = field.type();
    if (IsIntegerType(type) || IsRealType(type)) {
        QString number = text.trimmed();
        if (number.isEmpty()) {
            field.clear();
            return;
        }
        const QChar separator = LocaleDecimalSeparator();
        if (separator != u'.' && separator != u',')
            number.replace(separator, u'.');
        // The field reads "," as the decimal point; a text with both separators is ambiguous.
        if (number.contains(u',') && number.contains(u'.'))
            throw Error(QStringLiteral("'%1' n'est pas une valeur numérique correcte.").arg(text));
        field.setText(number);
        return;
    }
    if (IsDateType(type)) {
        const QString date = text.trimmed();
        if (date.isEmpty()) {
            field.clear();
            return;
        }
        if (!ParseDateText(date).isValid())
            throw Error(QStringLiteral("'%1' n'est pas une date correcte.").arg(text));
        field.setText(date);
        return;
    }
    field.setText(text);
}

} // namespace tilvo
