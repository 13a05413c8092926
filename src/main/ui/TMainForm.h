// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "main/CommandStates.h"
#include "main/StatisticHooks.h"

#include <QPointer>
#include <QUrl>
#include <QWidget>
#include <functional>

class QAction;
class QLabel;
class QMenu;
class QPushButton;
class QSplitter;
class QTimer;
class QToolButton;

namespace tilvo {

class AccountListModel;
class AccountListView;
class Clock;
class DBGrid;
class Prompts;
class TAboutBox;
class TDataModule1;
struct Environment;
struct Settings;

// What the main window needs from the rest of the program.
struct MainFormServices
{
    Environment& env;
    Settings& settings;
    QString settingsPath; // where the settings are saved when the window closes
    Prompts& prompts;
    const Clock& clock;
    TDataModule1& data; // the shared data module
    // Opens a file or an address with the desktop's handler.
    std::function<bool(const QUrl&)> openUrl;
    StatisticHooks statistic;
};

// The main window: menus, the account panel, the statistics and the entries of the selected
// account, and the enabling pass that decides which commands are available.
class TMainForm final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TMainForm)

public:
    explicit TMainForm(MainFormServices services);
    ~TMainForm() override;

    int CurrentDossierId = -1;
    int CurrentAccountId = -1;

    // The enabling pass; every action of the window ends with it.
    void RefreshCommands();
    CommandState currentState() const { return m_state; }

    // Makes dossier `id` the open one: the title, the accounts of the dossier, the first of
    // them selected, the enabling pass.
    void OpenDossier(int id, const QString& name);
    // No dossier open any more; the enabling pass empties the lists.
    void CloseDossier();

    // The account list: rebuilt from the database with account `selectId` selected (-1: the
    // first row); one entry built again in its place; the highlighted row made the selected
    // account, its entries shown in the entries grid and its statistic loaded.
    void RebuildAccountList(qint64 selectId);
    void RefreshAccountEntry(qint64 accountId);
    void SelectCurrentAccount();
    AccountListModel* accountList() const { return m_accounts; }

    // Recomputes and redraws the statistic of the selected account.
    void ComputeStatistic();

    // The currency symbol of the amounts ("€" for a locale that says "F", "FF" or "FR").
    const QString& currencySymbol() const { return m_currency; }

    // Title bar and menu bar.
    QWidget* TitleBar;
    QLabel* Title;
    QToolButton* SysMiniBtn;
    QToolButton* SysMaxiBtn;
    QToolButton* SysExitBtn;
    QToolButton* Menu_File;
    QToolButton* Menu_Report;
    QToolButton* Menu_Html;
    QToolButton* Menu_Tools;
    QToolButton* Menu_Help;
    QMenu* Popup_File;
    QAction* Popup_File_Add;
    QAction* Popup_File_Open;
    QAction* Popup_File_Close;
    QAction* Popup_File_Delete;
    QAction* Popup_File_Edit;
    QAction* Popup_File_Exit;
    QMenu* Popup_Report;
    QAction* Popup_Report_Stat;
    QMenu* Popup_Report_List;
    QAction* Popup_Report_List_Simple;
    QAction* Popup_Report_List_Full;
    QMenu* Popup_Html;
    QAction* Popup_Html_Stat;
    QMenu* Popup_Html_List;
    QAction* Popup_Html_List_Simple;
    QAction* Popup_Html_List_Full;
    QMenu* Popup_Tools;
    QMenu* Popup_Tools_DataBase;
    QAction* Popup_Tools_DataBase_Backup;
    QAction* Popup_Tools_DataBase_restore;
    QAction* Popup_Tools_DataBase_History;
    QAction* Popup_Tools_DataBase_Compact;
    QMenu* Popup_Help;
    QAction* Popup_Help_Doc;
    QAction* Popup_Help_Web;
    QAction* Popup_Help_About;

    // Left bar.
    QWidget* BarreLeft;
    QLabel* Calendar;
    QLabel* DigitalTime;
    QToolButton* Btn_Report;
    QToolButton* Btn_Html;

    // Account panel, statistics and entries.
    QWidget* Pan_Tree;
    AccountListView* Grid_AccountList;
    QPushButton* Btn_Account_Add;
    QPushButton* Btn_Account_Edit;
    QPushButton* Btn_Account_Delete;
    QSplitter* Splitter;
    QSplitter* Splitter1;
    QWidget* Pan_Stat;
    QWidget* Chart1;
    DBGrid* Grid_Consumption;
    QPushButton* Btn_Consumption_Add;
    QPushButton* Btn_Consumption_Edit;
    QPushButton* Btn_Consumption_Delete;

    // Bottom bar.
    QLabel* Lab_Copyright;
    QLabel* Image1;

    // Clock.
    QTimer* Timer1;
    void Timer1Timer();

    void Popup_File_AddClick();
    void Popup_File_OpenClick();
    void Popup_File_CloseClick();
    void Popup_File_DeleteClick();
    void Popup_File_EditClick();
    void Popup_File_ExitClick();
    void Grid_AccountListClick();
    void Popup_Help_DocClick();
    void Popup_Help_WebClick();
    void Popup_Help_AboutClick();
    void Btn_ReportClick();
    void Btn_HtmlClick();

    // The placement is restored just before the window first shows.
    void setVisible(bool visible) override;

protected:
    void closeEvent(QCloseEvent* event) override;

private Q_SLOTS:
    // Account and entry commands; the account and entry dialogs are wired here.
    void Btn_Account_AddClick();
    void Btn_Account_EditClick();
    void Btn_Account_DeleteClick();
    void Btn_Consumption_AddClick();
    void Btn_Consumption_EditClick();
    void Btn_Consumption_DeleteClick();
    void Grid_AccountListDblClick();
    void Grid_ConsumptionDblClick();

private:
    void buildWindow();
    void showTitle(const QString& title);
    // Opens the first dossier when it has no password; a dossier table that cannot be read
    // is reported as an incompatible program.
    void OpenFirstDossier();
    void FormShow();
    void FormClose();
    void popUpBeside(QToolButton* button, QMenu* menu);
    // The handler run through the error guard, for connecting to a control's signal.
    std::function<void()> guarded(void (TMainForm::*handler)());

    MainFormServices m_services;
    AccountListModel* m_accounts = nullptr;
    QString m_currency;
    CommandState m_state = CommandState::S0;
    bool m_placed = false;
    bool m_colonShown = true;
    QPointer<TAboutBox> m_about;
};

} // namespace tilvo
