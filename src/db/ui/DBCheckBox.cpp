// SPDX-License-Identifier: GPL-3.0-or-later
#include "db/ui/DBCheckBox.h"

#include "common/ui/ErrorGuard.h"
#include "db/FieldLink.h"

namespace tilvo {

DBCheckBox::DBCheckBox(const QString& text, Prompts& prompts, QWidget* parent)
    : QCheckBox(text, parent), m_prompts(prompts)
{
    connect(this, &QCheckBox::toggled, this, &DBCheckBox::toggledHere);
}

DBCheckBox::~DBCheckBox() = default;

void DBCheckBox::setField(DataSource& dataSource, const QString& fieldName)
{
    delete m_link;
    m_link = new FieldLink(dataSource, fieldName, this);
    m_link->setWriter([this](Field& field) { field.setBoolean(isChecked()); });
    connect(m_link, &FieldLink::refresh, this, &DBCheckBox::showField);
    showField();
}

void DBCheckBox::showField()
{
    m_showing = true;
    const std::optional<Field> field = m_link ? m_link->field() : std::nullopt;
    bool checked = false;
    if (field) {
        // A value that is no yes/no shows unchecked rather than failing the repaint.
        try {
            checked = field->asBoolean();
        } catch (const std::exception&) {
            checked = false;
        }
    }
    setChecked(checked);
    m_showing = false;
}

void DBCheckBox::toggledHere()
{
    if (m_showing || !m_link || m_link->isModified())
        return;
    if (!RunGuarded(m_prompts, [this] { m_link->modify(); }))
        m_link->reset();
}

} // namespace tilvo
