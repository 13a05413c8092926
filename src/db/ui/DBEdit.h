// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLineEdit>

namespace tilvo {

class DataSource;
class FieldLink;
class Prompts;

// A one-line edit bound to a field: it shows the current row's value and follows the
// dataset; a change (typed, or set by the program as the drop-downs do) puts the dataset into
// editing, and the text is written into the field when the dataset posts. Text fields take
// at most their column's declared length. Errors go to the prompts.
class DBEdit final : public QLineEdit
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DBEdit)

public:
    explicit DBEdit(Prompts& prompts, QWidget* parent = nullptr);
    ~DBEdit() override;

    void setField(DataSource& dataSource, const QString& fieldName);
    FieldLink* link() const { return m_link; }

    // A code field: the person cannot type in it, but a text set by the program is written.
    void setFieldReadOnly(bool readOnly);
    bool isFieldReadOnly() const { return m_fieldReadOnly; }

    // Puts the dataset into editing and empties the field (null), as the calendar's "clear"
    // does for a bound date.
    void clearValue();

private:
    void showField();
    void textChangedHere();

    Prompts& m_prompts;
    FieldLink* m_link = nullptr;
    bool m_fieldReadOnly = false;
    bool m_showing = false;
};

} // namespace tilvo
