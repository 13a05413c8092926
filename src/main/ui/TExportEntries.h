// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
class QRadioButton;

namespace tilvo {

// The export dialog `ExportEntries`: which entries go to the file: the selected account's, all
// of them or those of a period (asked next, in the period dialog), or every account's of the
// open dossier. Without a selected account only the last one is offered.
class TExportEntries final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TExportEntries)

public:
    enum class Scope
    {
        Account,
        AccountPeriod,
        Dossier
    };

    TExportEntries(const QString& accountTitle, bool accountSelected, QWidget* parent = nullptr);

    QLabel* Title;
    QRadioButton* Rb_Account;
    QRadioButton* Rb_Period;
    QRadioButton* Rb_Dossier;
    QPushButton* Btn_Ok;
    QPushButton* Btn_Cancel;

    Scope scope() const;

protected:
    void showEvent(QShowEvent* event) override;
};

} // namespace tilvo
