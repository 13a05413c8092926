// SPDX-License-Identifier: GPL-3.0-or-later
#include "db/FieldLink.h"

#include "common/Error.h"
#include "db/DataSetOps.h"

namespace tilvo {

namespace {

bool IsEditing(DataSetState state)
{
    return state == DataSetState::Editing || state == DataSetState::Inserting;
}

} // namespace

FieldLink::FieldLink(DataSource& dataSource, const QString& fieldName, QObject* parent)
    : QObject(parent), m_source(&dataSource), m_set(&dataSource.dataSet()), m_fieldName(fieldName)
{
    DataSet* set = m_set.data();
    connect(set, &DataSet::contentChanged, this, &FieldLink::dataSetChanged);
    connect(set, &DataSet::currentChanged, this, &FieldLink::dataSetChanged);
    connect(set, &DataSet::stateChanged, this, &FieldLink::dataSetChanged);
    set->addRecordWriter(this, [this] { updateRecord(); });
    m_shown = currentValue();
}

FieldLink::~FieldLink()
{
    if (m_set)
        m_set->removeRecordWriters(this);
}

std::optional<Field> FieldLink::field() const
{
    if (!m_set || !m_set->isActive())
        return std::nullopt;
    return m_set->findField(m_fieldName);
}

QVariant FieldLink::currentValue() const
{
    const std::optional<Field> f = field();
    return f && !m_set->isEmpty() ? f->value() : QVariant();
}

bool FieldLink::canModify() const
{
    const std::optional<Field> f = field();
    if (!f || !m_set->canModify() || f->isReadOnly())
        return false;
    return IsEditing(m_set->state()) || m_source->autoEdit();
}

void FieldLink::modify()
{
    if (!m_set)
        throw Error(
            QStringLiteral("Le champ '%1' n'est plus relié à des données.").arg(m_fieldName));
    const std::optional<Field> f = field();
    if (!f)
        throw Error(
            QStringLiteral("Champ '%1' non trouvé ou ensemble de données fermé.").arg(m_fieldName));
    if (f->isReadOnly())
        throw Error(QStringLiteral("Le champ '%1' ne peut pas être modifié.").arg(f->name()));
    if (!IsEditing(m_set->state()) && !m_source->autoEdit())
        throw Error(
            QStringLiteral("L'ensemble de données%1 n'est pas en mode édition ou insertion.")
                .arg(m_set->name().isEmpty() ? QString() : u' ' + m_set->name()));
    m_writing = true;
    try {
        EnsureEditing(*m_source, *m_set);
    } catch (...) {
        m_writing = false;
        throw;
    }
    m_writing = false;
    m_modified = true;
    m_shown = currentValue();
}

void FieldLink::updateRecord()
{
    if (!m_modified || !m_writer)
        return;
    std::optional<Field> f = field();
    if (!f)
        throw Error(QStringLiteral("Champ '%1' non trouvé.").arg(m_fieldName));
    m_writing = true;
    try {
        m_writer(*f);
    } catch (...) {
        m_writing = false;
        throw;
    }
    m_writing = false;
    m_modified = false;
    show();
}

void FieldLink::reset()
{
    m_modified = false;
    show();
}

void FieldLink::show()
{
    m_shown = currentValue();
    Q_EMIT refresh();
}

void FieldLink::dataSetChanged()
{
    if (m_writing)
        return;
    if (m_modified) {
        // Keep the pending value while the same editing goes on and nobody else wrote the field.
        if (m_set && IsEditing(m_set->state()) && currentValue() == m_shown)
            return;
        m_modified = false;
    }
    show();
}

} // namespace tilvo
