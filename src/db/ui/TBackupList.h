// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
class QToolButton;

namespace tilvo {

class DBGrid;
class Prompts;
class TDataModule1;

// `TBackupList`: the history of backups, restores and compactions (the dataset Backup) in the
// grid `BFSDBGridColor2`, with the purge button `Btn_Delete` (enabled while the history has a
// row) and `Btn_Close`. The grid's delete key (Delete, or Ctrl+Delete) removes the current row
// after a confirmation. The dataset is opened when the window is created and closed when it
// closes; the archive files are never touched.
class TBackupList final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TBackupList)

public:
    TBackupList(TDataModule1& module, Prompts& prompts, QWidget* parent = nullptr);
    ~TBackupList() override;

    QLabel* Title;
    QToolButton* Exit;
    DBGrid* BFSDBGridColor2;
    QPushButton* Btn_Delete;
    QPushButton* Btn_Close;

    void Btn_DeleteClick();

protected:
    void showEvent(QShowEvent* event) override;
    void done(int result) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void updatePurgeButton();
    void deleteCurrentRow();

    TDataModule1& m_module;
    Prompts& m_prompts;
};

} // namespace tilvo
