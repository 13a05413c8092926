// SPDX-License-Identifier: GPL-3.0-or-later
#include "db/ui/DBMemo.h"

#include "common/ui/ErrorGuard.h"
#include "db/FieldLink.h"
#include "db/FieldType.h"

#include <QTextCursor>

namespace tilvo {

DBMemo::DBMemo(Prompts& prompts, QWidget* parent) : QPlainTextEdit(parent), m_prompts(prompts)
{
    setTabChangesFocus(true);
    connect(this, &QPlainTextEdit::textChanged, this, &DBMemo::textChangedHere);
}

DBMemo::~DBMemo() = default;

void DBMemo::setField(DataSource& dataSource, const QString& fieldName)
{
    delete m_link;
    m_link = new FieldLink(dataSource, fieldName, this);
    m_link->setWriter([this](Field& field) { field.setText(storedText()); });
    connect(m_link, &FieldLink::refresh, this, &DBMemo::showField);
    showField();
}

QString DBMemo::storedText() const
{
    QString text = toPlainText();
    text.replace(u'\n', QLatin1String("\r\n"));
    return text;
}

void DBMemo::showField()
{
    m_showing = true;
    const std::optional<Field> field = m_link ? m_link->field() : std::nullopt;
    QString text = field ? field->asText() : QString();
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(u'\r', u'\n');
    setPlainText(text);
    setReadOnly(!m_link || !m_link->canModify());
    m_showing = false;
}

void DBMemo::keepWithinLength()
{
    const std::optional<Field> field = m_link ? m_link->field() : std::nullopt;
    if (!field || !IsTextType(field->type()) || field->size() <= 0)
        return;
    const int limit = field->size();
    if (storedText().size() <= limit)
        return;
    // What was just typed or pasted past the limit goes again, from before the cursor.
    m_trimming = true;
    QTextCursor cursor = textCursor();
    while (storedText().size() > limit && cursor.position() > 0)
        cursor.deletePreviousChar();
    setTextCursor(cursor);
    m_trimming = false;
}

void DBMemo::textChangedHere()
{
    if (m_trimming || m_showing)
        return;
    keepWithinLength();
    if (!m_link || m_link->isModified())
        return;
    if (!RunGuarded(m_prompts, [this] { m_link->modify(); }))
        m_link->reset();
}

} // namespace tilvo
