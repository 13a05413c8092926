// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCheckBox>

namespace tilvo {

class DataSource;
class FieldLink;
class Prompts;

// A check box bound to a yes/no field (null reads unchecked), following the rules of DBEdit.
class DBCheckBox final : public QCheckBox
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DBCheckBox)

public:
    explicit DBCheckBox(const QString& text, Prompts& prompts, QWidget* parent = nullptr);
    ~DBCheckBox() override;

    void setField(DataSource& dataSource, const QString& fieldName);
    FieldLink* link() const { return m_link; }

private:
    void showField();
    void toggledHere();

    Prompts& m_prompts;
    FieldLink* m_link = nullptr;
    bool m_showing = false;
};

} // namespace tilvo
