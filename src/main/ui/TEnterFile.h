// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace tilvo {

class DBEdit;
class DBMemo;
class DataSource;
class Prompts;

// The dossier dialog `EnterFile`, bound to the current row of the dossier dataset: the name
// `Ed_File`, the password `Ed_PassWord` (shown in clear), the owner `Ed_Name` and the remarks
// `Memo_Observation`. " &Ok", enabled only while the name is not empty, posts the row (a
// refusal is shown and the dialog stays open); " &Annuler" drops the change; the close box
// closes without posting, and the row is dropped when the caller closes the dataset.
class TEnterFile final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TEnterFile)

public:
    TEnterFile(DataSource& mainFile, Prompts& prompts, QWidget* parent = nullptr);
    ~TEnterFile() override;

    QLabel* Title;
    DBEdit* Ed_File;
    DBEdit* Ed_PassWord;
    DBEdit* Ed_Name;
    DBMemo* Memo_Observation;
    QPushButton* Btn_Ok;
    QPushButton* Btn_Cancel;

    void Ed_FileChange();
    void Btn_OkClick();
    void Btn_CancelClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    DataSource& m_source;
    Prompts& m_prompts;
};

} // namespace tilvo
