// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "db/DataSet.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QVariant>
#include <functional>
#include <optional>

namespace tilvo {

// The bond between one control and one field of a data source's dataset.
//
// The control shows the field again whenever `refresh` is sent: the dataset opened, closed,
// moved, or the row's editing ended. A change made in the control calls modify(), which puts
// the dataset into editing (EnsureEditing rules) and keeps the control's value pending; the
// value is written by the control's writer when the dataset posts (or updateRecord() is
// called). A pending value survives other fields being written while the row is in editing,
// and gives way when the program writes this very field, or when the editing ends.
class FieldLink final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FieldLink)

public:
    FieldLink(DataSource& dataSource, const QString& fieldName, QObject* parent = nullptr);
    ~FieldLink() override;

    DataSource& dataSource() const { return *m_source; }
    const QString& fieldName() const { return m_fieldName; }
    // None while the dataset is closed or has no such field.
    std::optional<Field> field() const;

    // Whether the control may take changes now: the dataset open and updatable, the field
    // writable, and the dataset editing already or the data source allowed to start it.
    bool canModify() const;
    bool isModified() const { return m_modified; }

    // How the control writes its value into the field; refusing it is throwing Error.
    void setWriter(std::function<void(Field&)> writer) { m_writer = std::move(writer); }

    // The control changed. Throws Error, keeping nothing pending, when the dataset cannot be
    // put into editing.
    void modify();
    // Writes the pending value now. Throws Error from the field when it refuses the value;
    // the value then stays pending.
    void updateRecord();
    // Drops the pending value and shows the field again.
    void reset();

Q_SIGNALS:
    void refresh();

private:
    void dataSetChanged();
    void show();
    QVariant currentValue() const;

    DataSource* m_source;
    QPointer<DataSet> m_set;
    QString m_fieldName;
    std::function<void(Field&)> m_writer;
    QVariant m_shown; // the field's value when the control last showed it
    bool m_modified = false;
    bool m_writing = false;
};

} // namespace tilvo
