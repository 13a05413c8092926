// SPDX-License-Identifier: GPL-3.0-or-later
#include "db/ui/DBEdit.h"

#include "common/ui/ErrorGuard.h"
#include "db/FieldEditText.h"
#include "db/FieldLink.h"

namespace tilvo {

DBEdit::DBEdit(Prompts& prompts, QWidget* parent) : QLineEdit(parent), m_prompts(prompts)
{
    connect(this, &QLineEdit::textChanged, this, &DBEdit::textChangedHere);
}

DBEdit::~DBEdit() = default;

void DBEdit::setField(DataSource& dataSource, const QString& fieldName)
{
    delete m_link;
    m_link = new FieldLink(dataSource, fieldName, this);
    m_link->setWriter([this](Field& field) { SetFieldFromEditText(field, text()); });
    connect(m_link, &FieldLink::refresh, this, &DBEdit::showField);
    showField();
}

void DBEdit::setFieldReadOnly(bool readOnly)
{
    m_fieldReadOnly = readOnly;
    showField();
}

void DBEdit::showField()
{
    m_showing = true;
    const std::optional<Field> field = m_link ? m_link->field() : std::nullopt;
    const bool text = field && IsTextType(field->type()) && field->size() > 0;
    // Longer texts are refused by the field; the edit stops them first.
    setMaxLength(text ? field->size() : 32767);
    setText(field ? FieldEditText(*field) : QString());
    setReadOnly(m_fieldReadOnly || !m_link || !m_link->canModify());
    m_showing = false;
}

void DBEdit::textChangedHere()
{
    if (m_showing || !m_link || m_link->isModified())
        return;
    if (!RunGuarded(m_prompts, [this] { m_link->modify(); }))
        m_link->reset();
}

void DBEdit::clearValue()
{
    if (!m_link)
        return;
    // Writing the field itself makes the link drop the pending text and show the null value.
    RunGuarded(m_prompts, [this] {
        m_link->modify();
        if (std::optional<Field> field = m_link->field())
            field->clear();
    });
}

} // namespace tilvo
