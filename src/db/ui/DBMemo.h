// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPlainTextEdit>

namespace tilvo {

class DataSource;
class FieldLink;
class Prompts;

// A multi-line text bound to a field, following the same rules as DBEdit. Lines are stored
// separated by CR LF. Text fields take at most their column's declared length, each line
// break counting as the two characters it is stored as: what is typed or pasted past it is
// cut at the cursor.
class DBMemo final : public QPlainTextEdit
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DBMemo)

public:
    explicit DBMemo(Prompts& prompts, QWidget* parent = nullptr);
    ~DBMemo() override;

    void setField(DataSource& dataSource, const QString& fieldName);
    FieldLink* link() const { return m_link; }

    // The text as it is stored: lines separated by CR LF.
    QString storedText() const;

private:
    void showField();
    void textChangedHere();
    void keepWithinLength();

    Prompts& m_prompts;
    FieldLink* m_link = nullptr;
    bool m_showing = false;
    bool m_trimming = false;
};

} // namespace tilvo
