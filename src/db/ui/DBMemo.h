// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPlainTextEdit>

namespace tilvo {

class DataSource;
class FieldLink;
class Prompts;

// A multi-line text bound to a field, following the same rules as DBEdit. Lines are stored
// separated by CR LF. A text longer than the column's declared length is refused by the field
// when the dataset posts.
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

    Prompts& m_prompts;
    FieldLink* m_link = nullptr;
    bool m_showing = false;
};

} // namespace tilvo
