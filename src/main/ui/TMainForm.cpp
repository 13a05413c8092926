// SPDX-License-Identifier: GPL-3.0-or-later
#include "main/ui/TMainForm.h"

#include "common/Clock.h"
#include "common/DateHelpers.h"
#include "common/Error.h"
#include "common/LetWindowsRepaint.h"
#include "common/ProgramInfo.h"
#include "common/Prompts.h"
#include "common/SqlText.h"
#include "common/TextCatalogue.h"
#include "common/ui/Chrome.h"
#include "common/ui/ErrorGuard.h"
#include "common/ui/InputBlocker.h"
#include "common/ui/WaitWindow.h"
#include "db/DataSetOps.h"
#include "db/TDataModule1.h"
#include "db/ui/DBGrid.h"
#include "db/ui/DatabaseMenuActions.h"
#include "env/Environment.h"
#include "env/Settings.h"
#include "images/Silhouette.h"
#include "main/AccountActions.h"
#include "main/AccountListModel.h"
#include "main/ConsumptionActions.h"
#include "main/DataModuleFormData.h"
#include "main/DossierDeletion.h"
#include "main/Dossiers.h"
#include "main/EntriesDisplay.h"
#include "main/MainWindowHooks.h"
#include "main/ui/AccountListView.h"
#include "main/ui/ExchangeMenu.h"
#include "main/ui/MenuRow.h"
#include "main/ui/TAboutBox.h"
#include "main/ui/TEnterAccount.h"
#include "main/ui/TEnterConsumption.h"
#include "main/ui/TEnterFile.h"
#include "main/ui/TEnterPassWord.h"
#include "main/ui/TFileList.h"
#include "publish/TDataModuleReport.h"
#include "publish/ui/PublishCommands.h"
#include "stats/ui/ChartView.h"
#include "stats/ui/StatisticBar.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QPushButton>
#include <QSplitter>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace tilvo {

namespace {

constexpr int kAccountPanelMinimumWidth = 150;
constexpr int kChartAreaMinimumHeight = 120;
constexpr int kHistoryAreaMinimumHeight = 90;

const QColor kGridHeaderColor{0xD8, 0xD8, 0xD8};
const QColor kGridSelectionColor{0x31, 0x6A, 0xC5};

// The wait cursor for as long as it lives.
class WaitCursor
{
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    Q_DISABLE_COPY_MOVE(WaitCursor)
};

QString ProgramCaption()
{
    return QStringLiteral(" ") + QString::fromUtf8(ProgramTitle) + QStringLiteral(" ") +
           QString::fromLatin1(ProgramVersion);
}

QPushButton* CommandButton(const QString& name, const QString& caption, QWidget* parent)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setFixedHeight(20);
    button->setStyleSheet(QStringLiteral("text-align: left;"));
    return button;
}

QLabel* Heading(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    label->setStyleSheet(QStringLiteral("color: white; background: #0050D2; padding: 2px;"));
    return label;
}

QAction* Entry(QMenu* menu, const QString& name, const QString& caption)
{
    QAction* action = menu->addAction(caption);
    action->setObjectName(name);
    return action;
}

QToolButton* MenuButton(const QString& name, const QString& caption, QMenu* menu, QWidget* parent)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setText(caption);
    button->setMenu(menu);
    button->setPopupMode(QToolButton::InstantPopup);
    button->setAutoRaise(true);
    button->setFixedHeight(21);
    return button;
}

} // namespace

TMainForm::TMainForm(MainFormServices services) : m_services(std::move(services))
{
    setObjectName(QStringLiteral("MainForm"));
    // No application display name is set: the toolkit would append it to every caption.
    buildWindow();

    ChromeOptions options;
    options.minimumWidth = 700;
    options.minimumHeight = 500;
    options.sizeButton = SizeButtonKind::WorkArea;
    options.mainWindow = true;
    SetUpChrome(this, options);
    AddDragHandle(this, Lab_Copyright);
    showTitle(ProgramCaption());

    // The account list starts empty; the amounts take the program's currency.
    m_currency = ProgramCurrencySymbol(QLocale());
    SetPriceDisplay(m_services.data.Consumption(), m_currency);
    Pan_Stat->setMoneyFormat(PriceDisplayFormat(m_currency));

    CurrentDossierId = -1;
    CurrentAccountId = -1;
    OpenFirstDossier();
    m_services.settings.FirstLaunch = false;
    RunGuarded(m_services.prompts, [this] { RefreshCommands(); });
    Lab_Copyright->setText(Lab_Copyright->text().replace(
        QLatin1String("2008"), QString::number(CurrentYear(m_services.clock))));

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, guarded(&TMainForm::Timer1Timer));
    Timer1->start();
}

TMainForm::~TMainForm() = default;

void TMainForm::buildWindow()
{
    resize(798, 598);
    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(0, 0, 0, 0);
    root->setSpacing(0);

    const TitleBarParts parts = BuildTitleBar(this, QString(), true, true);
    TitleBar = parts.bar;
    Title = parts.title;
    SysMiniBtn = parts.minimize;
    SysMaxiBtn = parts.maximize;
    SysExitBtn = parts.close;
    root->addWidget(TitleBar);

    // Menus.
    Popup_File = new QMenu(this);
    Popup_File->setObjectName(QStringLiteral("Popup_File"));
    Popup_File_Add =
        Entry(Popup_File, QStringLiteral("Popup_File_Add"), QStringLiteral("&Créer un dossier"));
    Popup_File_Open =
        Entry(Popup_File, QStringLiteral("Popup_File_Open"), QStringLiteral("&Ouvrir un dossier"));
    Popup_File->addSeparator();
    Popup_File_Close =
        Entry(Popup_File, QStringLiteral("Popup_File_Close"), QStringLiteral("&Fermer ce dossier"));
    Popup_File_Delete = Entry(Popup_File, QStringLiteral("Popup_File_Delete"),
                              QStringLiteral("&Supprimer ce dossier"));
    Popup_File->addSeparator();
    Popup_File_Edit = Entry(Popup_File, QStringLiteral("Popup_File_Edit"),
                            QStringLiteral("&Modifier ce dossier"));
    Popup_File->addSeparator();
    Popup_File_Exit =
        Entry(Popup_File, QStringLiteral("Popup_File_Exit"), QStringLiteral("&Quitter"));
    connect(Popup_File_Add, &QAction::triggered, this, guarded(&TMainForm::Popup_File_AddClick));
    connect(Popup_File_Open, &QAction::triggered, this, guarded(&TMainForm::Popup_File_OpenClick));
    connect(Popup_File_Close, &QAction::triggered, this,
            guarded(&TMainForm::Popup_File_CloseClick));
    connect(Popup_File_Delete, &QAction::triggered, this,
            guarded(&TMainForm::Popup_File_DeleteClick));
    connect(Popup_File_Edit, &QAction::triggered, this, guarded(&TMainForm::Popup_File_EditClick));
    connect(Popup_File_Exit, &QAction::triggered, this, guarded(&TMainForm::Popup_File_ExitClick));

    const auto publishMenu = [this](const QString& prefix, QAction*& stat, QMenu*& list,
                                    QAction*& light, QAction*& full) {
        auto* menu = new QMenu(this);
        menu->setObjectName(prefix);
        stat = Entry(menu, prefix + QStringLiteral("_Stat"), QStringLiteral("&Statistique"));
        list = menu->addMenu(QStringLiteral("&Historique"));
        list->setObjectName(prefix + QStringLiteral("_List"));
        light = Entry(list, prefix + QStringLiteral("_List_Light"),
                      QStringLiteral("&Simple (sans graphiques)"));
        full = Entry(list, prefix + QStringLiteral("_List_Full"),
                     QStringLiteral("&Complet (avec graphiques)"));
        return menu;
    };
    Popup_Report = publishMenu(QStringLiteral("Popup_Report"), Popup_Report_Stat, Popup_Report_List,
                               Popup_Report_List_Light, Popup_Report_List_Full);
    Popup_Html = publishMenu(QStringLiteral("Popup_Html"), Popup_Html_Stat, Popup_Html_List,
                             Popup_Html_List_Light, Popup_Html_List_Full);
    connect(Popup_Report_Stat, &QAction::triggered, this,
            guarded(&TMainForm::Popup_Report_StatClick));
    connect(Popup_Report_List_Light, &QAction::triggered, this,
            guarded(&TMainForm::Popup_Report_List_LightClick));
    connect(Popup_Report_List_Full, &QAction::triggered, this,
            guarded(&TMainForm::Popup_Report_List_FullClick));
    connect(Popup_Html_Stat, &QAction::triggered, this, guarded(&TMainForm::Popup_Html_StatClick));
    connect(Popup_Html_List_Light, &QAction::triggered, this,
            guarded(&TMainForm::Popup_Html_List_LightClick));
    connect(Popup_Html_List_Full, &QAction::triggered, this,
            guarded(&TMainForm::Popup_Html_List_FullClick));

    buildToolsMenu();

    Popup_Help = new QMenu(this);
    Popup_Help->setObjectName(QStringLiteral("Popup_Help"));
    Popup_Help_Doc =
        Entry(Popup_Help, QStringLiteral("Popup_Help_Doc"), QStringLiteral("&Documentation"));
    Popup_Help_Web =
        Entry(Popup_Help, QStringLiteral("Popup_Help_Web"), QStringLiteral("&Site web"));
    Popup_Help_About =
        Entry(Popup_Help, QStringLiteral("Popup_Help_About"), QStringLiteral("&A propos"));
    connect(Popup_Help_Doc, &QAction::triggered, this, guarded(&TMainForm::Popup_Help_DocClick));
    connect(Popup_Help_Web, &QAction::triggered, this, guarded(&TMainForm::Popup_Help_WebClick));
    connect(Popup_Help_About, &QAction::triggered, this,
            guarded(&TMainForm::Popup_Help_AboutClick));

    auto* menuBar = new QWidget(this);
    menuBar->setObjectName(QStringLiteral("MenuBar"));
    menuBar->setFixedHeight(21);
    auto* menuLayout = new QHBoxLayout(menuBar);
    menuLayout->setContentsMargins(2, 0, 2, 0);
    menuLayout->setSpacing(2);
    Menu_File =
        MenuButton(QStringLiteral("Menu_File"), QStringLiteral("&Fichier"), Popup_File, menuBar);
    Menu_Report = MenuButton(QStringLiteral("Menu_Report"), QStringLiteral("&Impression"),
                             Popup_Report, menuBar);
    Menu_Html =
        MenuButton(QStringLiteral("Menu_Html"), QStringLiteral("&Html"), Popup_Html, menuBar);
    Menu_Tools =
        MenuButton(QStringLiteral("Menu_Tools"), QStringLiteral("&Outils"), Popup_Tools, menuBar);
    Menu_Help =
        MenuButton(QStringLiteral("Menu_Help"), QStringLiteral("&Aide"), Popup_Help, menuBar);
    for (QToolButton* b : {Menu_File, Menu_Report, Menu_Html, Menu_Tools, Menu_Help})
        menuLayout->addWidget(b);
    menuLayout->addStretch();
    new MenuRow({Menu_File, Menu_Report, Menu_Html, Menu_Tools, Menu_Help}, this);
    root->addWidget(menuBar);

    auto* body = new QHBoxLayout;
    body->setContentsMargins(0, 0, 0, 0);
    body->setSpacing(0);
    root->addLayout(body, 1);

    // Left bar: today's leaf, the clock and the two publishing buttons.
    BarreLeft = new QWidget(this);
    BarreLeft->setObjectName(QStringLiteral("BarreLeft"));
    BarreLeft->setFixedWidth(50);
    auto* left = new QVBoxLayout(BarreLeft);
    left->setContentsMargins(2, 4, 2, 4);
    Calendar = new QLabel(BarreLeft);
    Calendar->setObjectName(QStringLiteral("Calendar"));
    Calendar->setAlignment(Qt::AlignCenter);
    Calendar->setToolTip(QStringLiteral("Calendrier\r\nperpétuel"));
    Calendar->setEnabled(false);
    Calendar->setText(m_services.clock.today().toString(QStringLiteral("dd\nMM")));
    DigitalTime = new QLabel(QStringLiteral("00:00"), BarreLeft);
    DigitalTime->setObjectName(QStringLiteral("DigitalTime"));
    DigitalTime->setAlignment(Qt::AlignCenter);
    Btn_Report = new QToolButton(BarreLeft);
    Btn_Report->setObjectName(QStringLiteral("Btn_Report"));
    Btn_Report->setText(QStringLiteral("&Imprimer"));
    Btn_Html = new QToolButton(BarreLeft);
    Btn_Html->setObjectName(QStringLiteral("Btn_Html"));
    Btn_Html->setText(QStringLiteral("&Html"));
    QFont buttonFont = Btn_Report->font();
    buttonFont.setPixelSize(9);
    Btn_Report->setIcon(style()->standardIcon(QStyle::SP_FileDialogDetailedView));
    Btn_Html->setIcon(style()->standardIcon(QStyle::SP_FileDialogInfoView));
    for (QToolButton* b : {Btn_Report, Btn_Html}) {
        b->setFixedSize(48, 44);
        b->setFont(buttonFont);
        b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        b->setAutoRaise(true);
    }
    connect(Btn_Report, &QToolButton::clicked, this, guarded(&TMainForm::Btn_ReportClick));
    connect(Btn_Html, &QToolButton::clicked, this, guarded(&TMainForm::Btn_HtmlClick));
    left->addWidget(Calendar);
    left->addWidget(DigitalTime);
    left->addSpacing(12);
    left->addWidget(Btn_Report);
    left->addWidget(Btn_Html);
    left->addStretch();
    body->addWidget(BarreLeft);

    // The splitters share out a new size in proportion to the regions' sizes; no region may
    // be dragged below a size that still shows its headings and buttons.
    Splitter = new QSplitter(Qt::Horizontal, this);
    Splitter->setObjectName(QStringLiteral("Splitter"));
    Splitter->setChildrenCollapsible(false);
    body->addWidget(Splitter, 1);

    // Account panel.
    Pan_Tree = new QWidget(Splitter);
    Pan_Tree->setObjectName(QStringLiteral("Pan_Tree"));
    Pan_Tree->setMinimumWidth(kAccountPanelMinimumWidth);
    auto* tree = new QVBoxLayout(Pan_Tree);
    tree->setContentsMargins(0, 0, 0, 0);
    tree->setSpacing(1);
    m_accounts = new AccountListModel(this);
    Grid_AccountList = new AccountListView(Pan_Tree);
    Grid_AccountList->setObjectName(QStringLiteral("Grid_AccountList"));
    Grid_AccountList->setAccountModel(m_accounts);
    connect(Grid_AccountList, &AccountListView::selectRequested, this,
            guarded(&TMainForm::Grid_AccountListClick));
    connect(Grid_AccountList, &AccountListView::editRequested, this,
            guarded(&TMainForm::Grid_AccountListDblClick));
    Btn_Account_Add = CommandButton(QStringLiteral("Btn_Account_Add"),
                                    QStringLiteral("  &Ajouter un compte"), Pan_Tree);
    Btn_Account_Edit = CommandButton(QStringLiteral("Btn_Account_Edit"),
                                     QStringLiteral("  Mo&difier ce compte"), Pan_Tree);
    Btn_Account_Delete = CommandButton(QStringLiteral("Btn_Account_Delete"),
                                       QStringLiteral("  S&upprimer ce compte"), Pan_Tree);
    tree->addWidget(Grid_AccountList, 1);
    tree->addWidget(Btn_Account_Add);
    tree->addWidget(Btn_Account_Edit);
    tree->addWidget(Btn_Account_Delete);
    connect(Btn_Account_Add, &QPushButton::clicked, this,
            guarded(&TMainForm::Btn_Account_AddClick));
    connect(Btn_Account_Edit, &QPushButton::clicked, this,
            guarded(&TMainForm::Btn_Account_EditClick));
    connect(Btn_Account_Delete, &QPushButton::clicked, this,
            guarded(&TMainForm::Btn_Account_DeleteClick));
    Splitter->addWidget(Pan_Tree);

    // Right area: statistics above, entries below.
    Splitter1 = new QSplitter(Qt::Vertical, Splitter);
    Splitter1->setObjectName(QStringLiteral("Splitter1"));
    Splitter1->setChildrenCollapsible(false);
    auto* top = new QWidget(Splitter1);
    top->setObjectName(QStringLiteral("Pan_Chart"));
    top->setMinimumHeight(kChartAreaMinimumHeight);
    auto* topLayout = new QVBoxLayout(top);
    topLayout->setContentsMargins(0, 0, 0, 0);
    topLayout->setSpacing(1);
    topLayout->addWidget(Heading(QStringLiteral("EVOLUTION GRAPHIQUE DES CONSOMMATIONS"), top));
    Chart1 = new ChartView(top);
    Chart1->setObjectName(QStringLiteral("Chart1"));
    Pan_Stat = new StatisticBar(*Chart1, m_services.data.Query(), m_services.prompts,
                                m_services.clock, top);
    Pan_Stat->computeStatistic = [this] { ComputeStatistic(); };
    Pan_Stat->refreshCommands = [this] { RefreshCommands(); };
    topLayout->addWidget(Pan_Stat);
    topLayout->addWidget(Chart1, 1);
    auto* bottom = new QWidget(Splitter1);
    bottom->setObjectName(QStringLiteral("Pan_History"));
    bottom->setMinimumHeight(kHistoryAreaMinimumHeight);
    auto* bottomLayout = new QVBoxLayout(bottom);
    bottomLayout->setContentsMargins(0, 0, 0, 0);
    bottomLayout->setSpacing(1);
    bottomLayout->addWidget(Heading(QStringLiteral("HISTORIQUE DES CONSOMMATIONS"), bottom));
    Grid_Consumption = new DBGrid(m_services.prompts, bottom);
    Grid_Consumption->setObjectName(QStringLiteral("Grid_Consumption"));
    Grid_Consumption->setHeaderColor(kGridHeaderColor);
    Grid_Consumption->setSelectionColors(kGridSelectionColor);
    Grid_Consumption->setDataSource(&m_services.data.DSConsumption(),
                                    {QStringLiteral("DateAction"), QStringLiteral("Quantity"),
                                     QStringLiteral("Price"), QStringLiteral("Description")});
    connect(Grid_Consumption, &QAbstractItemView::doubleClicked, this,
            guarded(&TMainForm::Grid_ConsumptionDblClick));
    bottomLayout->addWidget(Grid_Consumption, 1);
    auto* entryButtons = new QHBoxLayout;
    Btn_Consumption_Add = CommandButton(QStringLiteral("Btn_Consumption_Add"),
                                        QStringLiteral("  Ajouter une consom."), bottom);
    Btn_Consumption_Edit = CommandButton(QStringLiteral("Btn_Consumption_Edit"),
                                         QStringLiteral("  Mo&difier cette consom."), bottom);
    Btn_Consumption_Delete = CommandButton(QStringLiteral("Btn_Consumption_Delete"),
                                           QStringLiteral("  Supprimer cette consom."), bottom);
    for (QPushButton* b : {Btn_Consumption_Add, Btn_Consumption_Edit, Btn_Consumption_Delete}) {
        b->setFixedWidth(160);
        entryButtons->addWidget(b);
    }
    entryButtons->addStretch();
    connect(Btn_Consumption_Add, &QPushButton::clicked, this,
            guarded(&TMainForm::Btn_Consumption_AddClick));
    connect(Btn_Consumption_Edit, &QPushButton::clicked, this,
            guarded(&TMainForm::Btn_Consumption_EditClick));
    connect(Btn_Consumption_Delete, &QPushButton::clicked, this,
            guarded(&TMainForm::Btn_Consumption_DeleteClick));
    bottomLayout->addLayout(entryButtons);
    Splitter1->addWidget(top);
    Splitter1->addWidget(bottom);
    Splitter1->setSizes({346, 230});
    Splitter->addWidget(Splitter1);
    Splitter->setSizes({216, 532});

    // Bottom bar.
    auto* bottomBar = new QWidget(this);
    bottomBar->setObjectName(QStringLiteral("BottomBar"));
    bottomBar->setFixedHeight(15);
    auto* bottomBarLayout = new QHBoxLayout(bottomBar);
    bottomBarLayout->setContentsMargins(4, 0, 1, 1);
    Lab_Copyright =
        new QLabel(QStringLiteral("© 2008 ") + QString::fromLatin1(MakerName), bottomBar);
    Lab_Copyright->setObjectName(QStringLiteral("Lab_Copyright"));
    QFont small = Lab_Copyright->font();
    small.setPixelSize(10);
    Lab_Copyright->setFont(small);
    Image1 = BuildGrip(bottomBar, QStringLiteral("Image1"));
    bottomBarLayout->addWidget(Lab_Copyright, 1);
    bottomBarLayout->addWidget(Image1);
    root->addWidget(bottomBar);
}

// The menu "&Outils". Its entries come in this order: "&Base de données", then the exchanges
// sub-menu, then the import of a database of the earlier version; each part adds itself below,
// in its own block.
void TMainForm::buildToolsMenu()
{
    Popup_Tools = new QMenu(this);
    Popup_Tools->setObjectName(QStringLiteral("Popup_Tools"));

    // "&Base de données": backup, restore, history, and the compaction after a separator.
    Popup_Tools_DataBase = Popup_Tools->addMenu(QStringLiteral("&Base de données"));
    Popup_Tools_DataBase->setObjectName(QStringLiteral("Popup_Tools_DataBase"));
    Popup_Tools_DataBase_Backup =
        Entry(Popup_Tools_DataBase, QStringLiteral("Popup_Tools_DataBase_Backup"),
              QStringLiteral("&Sauvegarde"));
    Popup_Tools_DataBase_restore =
        Entry(Popup_Tools_DataBase, QStringLiteral("Popup_Tools_DataBase_restore"),
              QStringLiteral("&Restauration"));
    Popup_Tools_DataBase_History =
        Entry(Popup_Tools_DataBase, QStringLiteral("Popup_Tools_DataBase_History"),
              QStringLiteral("&Historique"));
    Popup_Tools_DataBase->addSeparator();
    Popup_Tools_DataBase_Compact =
        Entry(Popup_Tools_DataBase, QStringLiteral("Popup_Tools_DataBase_Compact"),
              QStringLiteral("&Compacter/Réparer"));
    connect(Popup_Tools_DataBase_Backup, &QAction::triggered, this,
            guarded(&TMainForm::Popup_Tools_DataBase_BackupClick));
    connect(Popup_Tools_DataBase_restore, &QAction::triggered, this,
            guarded(&TMainForm::Popup_Tools_DataBase_restoreClick));
    connect(Popup_Tools_DataBase_History, &QAction::triggered, this,
            guarded(&TMainForm::Popup_Tools_DataBase_HistoryClick));
    connect(Popup_Tools_DataBase_Compact, &QAction::triggered, this,
            guarded(&TMainForm::Popup_Tools_DataBase_CompactClick));

    // Bringing over a database of the earlier platform replaces the live one, as a restore does.
    Popup_Tools_DataBase->addSeparator();
    Popup_Tools_DataBase_ImportOld =
        Entry(Popup_Tools_DataBase, QStringLiteral("Popup_Tools_DataBase_ImportOld"),
              QStringLiteral("&Importer une base de l'ancienne version …"));
    connect(Popup_Tools_DataBase_ImportOld, &QAction::triggered, this,
            guarded(&TMainForm::Popup_Tools_DataBase_ImportOldClick));

    // "&Echanges": entries to and from spreadsheet files.
    Popup_Tools_Exchange = AddExchangeMenu(Popup_Tools, [this] {
        return ExchangeContext{
            m_services.data,  m_services.prompts,
            m_services.clock, m_services.env.DataFolder + QStringLiteral("Export/"),
            CurrentDossierId, CurrentAccountId,
            actionHooks(),    this};
    });
}

std::function<void()> TMainForm::guarded(void (TMainForm::*handler)())
{
    return [this, handler] {
        RunGuarded(m_services.prompts, [this, handler] { (this->*handler)(); });
    };
}

void TMainForm::showTitle(const QString& title)
{
    Title->setText(title);
    // "[*]" in a caption is the toolkit's placeholder for the modified mark; doubled, it shows
    // as typed.
    setWindowTitle(TrimLeadingBlanks(title).replace(QLatin1String("[*]"), QLatin1String("[*][*]")));
}

void TMainForm::RefreshCommands()
{
    std::optional<Error> listFailure;
    if (CurrentDossierId == -1) {
        try {
            RebuildAccountList(-1);
        } catch (const Error& e) {
            listFailure = e;
        }
    }
    DataModuleFormData data(m_services.data);
    const CommandDecision decision = DecideCommands(CurrentDossierId, CurrentAccountId, data);
    m_state = decision.state;
    const CommandEnables& e = decision.enables;

    for (QWidget* w : std::initializer_list<QWidget*>{Menu_Report, Menu_Html, Btn_Report, Btn_Html})
        w->setEnabled(e.publishMenus);
    if (e.publishEntries) {
        for (QAction* a : {Popup_Report_Stat, Popup_Html_Stat})
            a->setEnabled(*e.publishEntries);
        for (QMenu* m : {Popup_Report_List, Popup_Html_List})
            m->menuAction()->setEnabled(*e.publishEntries);
    }
    Popup_File_Open->setEnabled(e.fileOpen);
    Popup_File_Add->setEnabled(e.fileAdd);
    for (QAction* a : {Popup_File_Close, Popup_File_Edit, Popup_File_Delete})
        a->setEnabled(e.fileCloseEditDelete);
    Grid_AccountList->setEnabled(e.accountListAndAdd);
    Btn_Account_Add->setEnabled(e.accountListAndAdd);
    Btn_Account_Edit->setEnabled(e.accountEditDelete);
    Btn_Account_Delete->setEnabled(e.accountEditDelete);
    Grid_Consumption->setEnabled(e.consumptionGrid);
    Btn_Consumption_Add->setEnabled(e.consumptionAdd);
    Btn_Consumption_Edit->setEnabled(e.consumptionEditDelete);
    Btn_Consumption_Delete->setEnabled(e.consumptionEditDelete);
    Pan_Stat->setActive(e.statistics);
    // Every control is set before a failed read is reported.
    if (listFailure)
        throw *listFailure;
    if (decision.failure)
        throw *decision.failure;
}

void TMainForm::OpenFirstDossier()
{
    std::optional<DossierRef> first;
    try {
        first = FirstDossierForStartup(m_services.data.MainFile());
    } catch (const Error&) {
        m_services.prompts.showMessage(
            QStringLiteral("INSTABILITE DETECTEE !!\r\rL'exécutable de ce logiciel ne semble pas "
                           "être compatible. Installer une mise à jour peut résoudre ce "
                           "problème.\rTéléchargez et installez la mise à jour gratuite de ce "
                           "logiciel sur le site ") +
                QString::fromLatin1(MakerWebSite) + QStringLiteral(" (rubrique : MISES A JOUR)"),
            Prompts::Icon::Warning);
        Popup_Help_WebClick();
        return;
    }
    if (first)
        RunGuarded(m_services.prompts,
                   [this, &first] { OpenDossier(int(first->id), first->name); });
}

void TMainForm::OpenDossier(int id, const QString& name)
{
    showTitle(ProgramCaption() + QStringLiteral(" - ") + name);
    CurrentDossierId = id;
    ReplaceWhereLine(m_services.data.Account(),
                     QStringLiteral("WHERE Id_File=") + QString::number(id));
    RebuildAccountList(-1);
    RefreshCommands();
}

void TMainForm::CloseDossier()
{
    showTitle(ProgramCaption());
    CurrentDossierId = -1;
    RefreshCommands();
}

void TMainForm::RebuildAccountList(qint64 selectId)
{
    const WaitCursor cursor;
    const InputBlocker blocker(this);
    int row = -1;
    try {
        row = m_accounts->rebuild(m_services.data.Query(), CurrentDossierId, selectId);
    } catch (...) {
        // The list is empty: no account stays selected.
        SelectCurrentAccount();
        throw;
    }
    Grid_AccountList->setCurrentRow(row);
    Grid_AccountList->viewport()->update();
    SelectCurrentAccount();
}

void TMainForm::RefreshAccountEntry(qint64 accountId)
{
    m_accounts->refresh(m_services.data.Query(), accountId);
    Grid_AccountList->viewport()->update();
}

void TMainForm::SelectCurrentAccount()
{
    // Nothing else may start while the entries and the statistic are loaded.
    const InputBlocker blocker(this);
    DataSet& consumption = m_services.data.Consumption();
    if (CurrentDossierId >= 0 && m_accounts->rowCount() > 0) {
        // The list always has a current row while it has rows.
        if (Grid_AccountList->currentRow() < 0)
            Grid_AccountList->setCurrentRow(0);
        const AccountEntry entry = m_accounts->entry(Grid_AccountList->currentRow());
        CurrentAccountId = int(entry.AccountId);
        Pan_Stat->LoadAccountStatistic(entry.PeriodType, entry.StatType, entry.ValueType,
                                       entry.ChartColor, entry.AllColor);
        if (m_services.statistic.loadAccountStatistic)
            m_services.statistic.loadAccountStatistic(entry);
        ShowAccountEntries(consumption, entry);
        Pan_Stat->setQuantityFormat(QuantityDisplayFormat(entry));
        ComputeStatistic();
    } else {
        CurrentAccountId = -1;
        ShowNoEntries(consumption);
    }
}

void TMainForm::ComputeStatistic()
{
    Pan_Stat->Compute(CurrentDossierId, CurrentAccountId, m_accounts->rowCount() > 0);
    if (m_services.statistic.computeStatistic)
        m_services.statistic.computeStatistic();
}

void TMainForm::Grid_AccountListClick()
{
    SelectCurrentAccount();
    RefreshCommands();
}

void TMainForm::Popup_File_AddClick()
{
    const std::optional<DossierRef> created = CreateDossier(m_services.data.MainFile(), [this] {
        TEnterFile dialog(m_services.data.DSMainFile(), m_services.prompts, this);
        return dialog.exec() == QDialog::Accepted;
    });
    if (created)
        OpenDossier(int(created->id), created->name);
    RefreshCommands();
}

void TMainForm::Popup_File_OpenClick()
{
    TFileList list(ListDossiers(m_services.data.MainFile()), this);
    if (list.exec() != QDialog::Accepted || !list.chosen())
        return;
    const DossierRef chosen = *list.chosen();
    const QString stored = ReadDossierPassword(m_services.data.MainFile(), chosen.id);
    if (!stored.isEmpty()) {
        TEnterPassWord dialog(this);
        if (dialog.exec() != QDialog::Accepted)
            return;
        if (!PasswordMatches(stored, dialog.password())) {
            m_services.prompts.showMessage(QStringLiteral("Mot de passe incorrect !"),
                                           Prompts::Icon::Information);
            return;
        }
    }
    OpenDossier(int(chosen.id), chosen.name);
}

void TMainForm::Popup_File_CloseClick()
{
    CloseDossier();
}

void TMainForm::Popup_File_EditClick()
{
    // The title keeps the name the dossier was opened with.
    EditDossier(m_services.data.MainFile(), CurrentDossierId, [this] {
        TEnterFile dialog(m_services.data.DSMainFile(), m_services.prompts, this);
        return dialog.exec() == QDialog::Accepted;
    });
    RefreshCommands();
}

void TMainForm::Popup_File_DeleteClick()
{
    if (!m_services.prompts.askYesNo(
            QStringLiteral("Confirmez-vous la suppression de ce dossier ?"),
            Prompts::Icon::Question))
        return;
    const WaitCursor cursor;
    TWait wait(this);
    DossierDeletionWindows windows{wait, [this](bool enabled) { setEnabled(enabled); },
                                   [] { LetWindowsRepaint(); }, [this] { CloseDossier(); }};
    DeleteDossier(m_services.data, CurrentDossierId, windows);
}

MainWindowHooks TMainForm::actionHooks()
{
    MainWindowHooks hooks;
    hooks.ComputeStatistic = [this] { ComputeStatistic(); };
    hooks.RefreshAccountEntry = [this](int accountId) { RefreshAccountEntry(accountId); };
    hooks.RebuildAccountList = [this](int accountId) { RebuildAccountList(accountId); };
    hooks.SelectCurrentAccount = [this] { SelectCurrentAccount(); };
    hooks.RefreshCommands = [this] { RefreshCommands(); };
    return hooks;
}

int TMainForm::currentListAccountId() const
{
    if (m_accounts->rowCount() == 0 || Grid_AccountList->currentRow() < 0)
        return -1;
    return int(m_accounts->entry(Grid_AccountList->currentRow()).AccountId);
}

namespace {

AccountDialog AccountDialogOf(TDataModule1& data, int dossierId, const MainFormServices& services,
                              QWidget* parent)
{
    return [&data, dossierId, &services, parent](bool) {
        return TEnterAccount::Execute(data, dossierId, services.prompts, services.clock,
                                      services.pictures, parent);
    };
}

EntryDialog EntryDialogOf(const MainFormServices& services, QWidget* parent)
{
    return [&services, parent] {
        return TEnterConsumption::Execute(services.data.DSConsumption(), services.prompts,
                                          services.clock, parent);
    };
}

} // namespace

void TMainForm::Btn_Account_AddClick()
{
    AddAccount(m_services.data, CurrentDossierId, m_services.clock,
               AccountDialogOf(m_services.data, CurrentDossierId, m_services, this), actionHooks());
}

void TMainForm::Btn_Account_EditClick()
{
    EditAccount(m_services.data, CurrentDossierId, currentListAccountId(),
                AccountDialogOf(m_services.data, CurrentDossierId, m_services, this),
                actionHooks());
}

void TMainForm::Btn_Account_DeleteClick()
{
    DeleteAccount(m_services.data, CurrentDossierId, currentListAccountId(), m_services.prompts,
                  actionHooks());
}

void TMainForm::Btn_Consumption_AddClick()
{
    AddEntry(m_services.data, CurrentDossierId, CurrentAccountId, m_services.clock,
             EntryDialogOf(m_services, this), actionHooks());
}

void TMainForm::Btn_Consumption_EditClick()
{
    EditCurrentEntry(m_services.data, CurrentAccountId, EntryDialogOf(m_services, this),
                     actionHooks());
}

void TMainForm::Btn_Consumption_DeleteClick()
{
    DeleteEntry(m_services.data, CurrentAccountId, m_services.prompts, actionHooks());
}

void TMainForm::Grid_AccountListDblClick()
{
    if (Btn_Account_Edit->isEnabled())
        Btn_Account_EditClick();
}

void TMainForm::Grid_ConsumptionDblClick()
{
    if (Btn_Consumption_Edit->isEnabled())
        Btn_Consumption_EditClick();
}

void TMainForm::Timer1Timer()
{
    const QString time = m_services.clock.now().time().toString(QLatin1String(kTimeFormat)).left(5);
    m_colonShown = !m_colonShown;
    DigitalTime->setText(m_colonShown ? time : QString(time).replace(u':', u' '));
}

void TMainForm::Popup_File_ExitClick()
{
    close();
}

void TMainForm::Popup_Help_DocClick()
{
    if (!QFileInfo::exists(m_services.env.HelpFile)) {
        m_services.prompts.showMessage(
            LookupText(QStringLiteral("CommonLib"), QStringLiteral("String1"),
                       QStringLiteral("Le fichier d'aide est introuvable !")),
            Prompts::Icon::None);
        return;
    }
    if (!m_services.openUrl(QUrl::fromLocalFile(m_services.env.HelpFile)))
        m_services.prompts.showMessage(
            QStringLiteral("Le fichier d'aide n'a pas pu être ouvert : aucune application du "
                           "bureau ne prend en charge ce type de fichier.\rVous pouvez l'ouvrir "
                           "vous-même : ") +
                QDir::toNativeSeparators(m_services.env.HelpFile),
            Prompts::Icon::Warning);
}

void TMainForm::Popup_Help_WebClick()
{
    const QString address = LookupText(QStringLiteral("Common"), QStringLiteral("WebSite"),
                                       QString::fromLatin1(MakerWebSite));
    if (!m_services.openUrl(QUrl(address)))
        m_services.prompts.showMessage(
            QStringLiteral("Le site web n'a pas pu être ouvert : aucun navigateur n'est associé "
                           "aux adresses web sur ce bureau.\rVous pouvez vous y rendre vous-même "
                           ": ") +
                address,
            Prompts::Icon::Warning);
}

void TMainForm::Popup_Help_AboutClick()
{
    if (m_about) {
        m_about->raise();
        m_about->activateWindow();
        return;
    }
    m_about = new TAboutBox(CurrentYear(m_services.clock), this);
    m_about->setAttribute(Qt::WA_DeleteOnClose);
    m_about->exec();
}

void TMainForm::popUpBeside(QToolButton* button, QMenu* menu)
{
    menu->popup(button->mapToGlobal(QPoint(50, 0)));
}

void TMainForm::Btn_ReportClick()
{
    popUpBeside(Btn_Report, Popup_Report);
}

void TMainForm::Btn_HtmlClick()
{
    popUpBeside(Btn_Html, Popup_Html);
}

PublishServices TMainForm::publishServices()
{
    TDataModuleReport* reports = m_services.reports;
    if (!reports) {
        if (!m_ownReports)
            m_ownReports = std::make_unique<TDataModuleReport>(m_services.data.ADOConnection1());
        reports = m_ownReports.get();
    }
    return PublishServices{m_services.data.Query(),
                           m_services.data.Consumption(),
                           *reports,
                           Pan_Stat->state(),
                           Pan_Stat->buckets(),
                           m_services.env.DataFolder,
                           m_services.env.ReportsFolder,
                           SilhouettePicture(),
                           m_services.prompts,
                           m_services.clock,
                           this};
}

void TMainForm::Popup_Report_StatClick()
{
    PublishServices services = publishServices();
    PrintStatisticReport(services, CurrentAccountId, Pan_Stat->Lab_StatPeriod->text());
}

void TMainForm::Popup_Report_List_LightClick()
{
    PublishServices services = publishServices();
    PrintHistoryReport(services, CurrentAccountId, QStringLiteral("lightlist"));
}

void TMainForm::Popup_Report_List_FullClick()
{
    PublishServices services = publishServices();
    PrintHistoryReport(services, CurrentAccountId, QStringLiteral("list"));
}

void TMainForm::Popup_Html_StatClick()
{
    PublishServices services = publishServices();
    ShowStatisticPage(services, CurrentAccountId, Pan_Stat->Lab_StatPeriod->text());
}

void TMainForm::Popup_Html_List_LightClick()
{
    PublishServices services = publishServices();
    MakeHistoryPage(services, CurrentAccountId, false);
}

void TMainForm::Popup_Html_List_FullClick()
{
    PublishServices services = publishServices();
    MakeHistoryPage(services, CurrentAccountId, true);
}

DatabaseMenuContext TMainForm::databaseMenuContext()
{
    return DatabaseMenuContext{m_services.data,
                               m_services.prompts,
                               m_services.maintenance,
                               this,
                               [this] { CloseDossier(); },
                               [this] { RefreshCommands(); }};
}

void TMainForm::Popup_Tools_DataBase_BackupClick()
{
    DatabaseBackupAction(databaseMenuContext());
}

void TMainForm::Popup_Tools_DataBase_restoreClick()
{
    DatabaseRestoreAction(databaseMenuContext());
}

void TMainForm::Popup_Tools_DataBase_HistoryClick()
{
    DatabaseHistoryAction(databaseMenuContext());
}

void TMainForm::Popup_Tools_DataBase_CompactClick()
{
    DatabaseCompactAction(databaseMenuContext());
}

void TMainForm::Popup_Tools_DataBase_ImportOldClick()
{
    DatabaseImportOldAction(databaseMenuContext());
}

void TMainForm::setVisible(bool visible)
{
    if (visible && !m_placed) {
        m_placed = true;
        FormShow();
    }
    QWidget::setVisible(visible);
}

void TMainForm::FormShow()
{
    // Placed before it is shown: a position given then is the frame's corner, the same corner
    // the closing stores, so the window comes back where it was left.
    const QRect area = WorkAreaOf(this);
    const WindowPlacement p = RestorePlacement(
        m_services.settings,
        WorkArea{area.left(), area.top(), area.left() + area.width(), area.top() + area.height()});
    move(p.left, p.top);
    resize(p.clientWidth, p.clientHeight);
    if (p.maximized)
        setWindowState(windowState() | Qt::WindowMaximized);
}

void TMainForm::closeEvent(QCloseEvent* event)
{
    RunGuarded(m_services.prompts, [this] { FormClose(); });
    event->accept();
}

void TMainForm::FormClose()
{
    Timer1->stop();
    m_accounts->clear();
    // The frame's corner and the client size; a maximised window leaves the last normal
    // placement in the settings.
    StorePlacement(m_services.settings, WindowPlacement{x(), y(), width(), height(), isMaximized()},
                   isMinimized());
    SaveSettings(m_services.settingsPath, m_services.settings);
}

} // namespace tilvo
