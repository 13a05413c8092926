// SPDX-License-Identifier: GPL-3.0-or-later
#include "main/ui/TEnterAccount.h"

#include "common/Clock.h"
#include "common/ColorHelpers.h"
#include "common/DropDownRules.h"
#include "common/Prompts.h"
#include "common/SqlText.h"
#include "common/ui/Chrome.h"
#include "common/ui/ErrorGuard.h"
#include "common/ui/OkCancelRow.h"
#include "db/DataSet.h"
#include "db/TDataModule1.h"
#include "db/ui/DBCheckBox.h"
#include "db/ui/DBEdit.h"
#include "db/ui/DBImage.h"
#include "db/ui/DBMemo.h"
#include "main/AccountActions.h"
#include "main/ColorControls.h"
#include "main/CustomCaptions.h"
#include "main/ui/EditPickList.h"
#include "main/ui/RenameCaption.h"
#include "main/ui/ShowDropDown.h"
#include "stats/ui/ShowDatePicker.h"

#include <QAction>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

namespace tilvo {

namespace {

constexpr int kThumbnailSize = 70;
constexpr int kStripBlock = 20;
constexpr int kRowHeight = 21;

QString Numbered(const char* prefix, int number)
{
    return QLatin1String(prefix) + ZeroPad(number, 2);
}

QToolButton* SmallButton(const QString& name, QWidget* parent, const QString& text,
                         const QString& hint = QString())
{
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setText(text);
    button->setToolTip(hint);
    button->setFixedSize(kRowHeight, kRowHeight);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

// The button that opens a drop-down under its field.
QToolButton* DropButton(const QString& name, QWidget* parent)
{
    QToolButton* button = SmallButton(name, parent, QString());
    button->setArrowType(Qt::DownArrow);
    return button;
}

// A field with its buttons on one line.
QHBoxLayout* FieldRow(QWidget* field, std::initializer_list<QWidget*> buttons)
{
    auto* row = new QHBoxLayout;
    row->setSpacing(1);
    row->addWidget(field, 1);
    for (QWidget* b : buttons)
        row->addWidget(b);
    return row;
}

QLabel* Caption(const QString& text, QWidget* buddy, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setBuddy(buddy);
    return label;
}

void SetPickerColor(QWidget* field)
{
    QPalette p = field->palette();
    p.setColor(QPalette::Base, ColorFromWindows(kPickerColor));
    field->setPalette(p);
}

} // namespace

TEnterAccount::TEnterAccount(TDataModule1& dm, int dossierId, Prompts& prompts, const Clock& clock,
                             QWidget* parent)
    : QDialog(parent), m_dm(dm), m_dossierId(dossierId), m_prompts(prompts), m_clock(clock)
{
    setObjectName(QStringLiteral("EnterAccount"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    const TitleBarParts bar =
        BuildTitleBar(this, QStringLiteral("  Saisie d'un compte"), false, false);
    Title = bar.title;
    layout->addWidget(bar.bar);

    PageControl = new QTabWidget(this);
    PageControl->setObjectName(QStringLiteral("PageControl"));
    PageControl->setTabPosition(QTabWidget::South);
    PageControl->setDocumentMode(true);
    PageControl->addTab(buildGeneralPage(), QStringLiteral("Général"));
    PageControl->addTab(buildCustomPage(), QStringLiteral("Personnalisé"));
    auto* body = new QVBoxLayout;
    body->setContentsMargins(6, 6, 6, 0);
    body->addWidget(PageControl);
    layout->addLayout(body, 1);

    const OkCancelRow buttons = MakeOkCancelRow(this);
    Btn_Ok = buttons.ok;
    Btn_Cancel = buttons.cancel;
    Btn_Ok->setDefault(true);
    Btn_Cancel->setAutoDefault(false);
    layout->addLayout(buttons.layout);

    connect(Btn_Ok, &QPushButton::clicked, this, &TEnterAccount::Btn_OkClick);
    connect(Btn_Cancel, &QPushButton::clicked, this, &QDialog::reject);

    bindFields();
    readCaptions();
    loadCodes();
    resize(480, 520);
    SetUpChrome(this);
    Ed_TitleChange();
    RefreshColorControls();
}

TEnterAccount::~TEnterAccount() = default;

bool TEnterAccount::Execute(TDataModule1& dm, int dossierId, Prompts& prompts, const Clock& clock,
                            const AccountPictureHooks& pictures, QWidget* parent)
{
    TEnterAccount dialog(dm, dossierId, prompts, clock, parent);
    dialog.setPictureHooks(pictures);
    return dialog.exec() == QDialog::Accepted;
}

QWidget* TEnterAccount::buildGeneralPage()
{
    auto* page = new QWidget(this);
    page->setObjectName(QStringLiteral("Page_General"));
    auto* grid = new QGridLayout(page);
    grid->setContentsMargins(8, 8, 8, 8);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(5);

    Ed_Title = new DBEdit(m_prompts, page);
    Ed_Title->setObjectName(QStringLiteral("Ed_Title"));
    Ed_Date = new DBEdit(m_prompts, page);
    Ed_Date->setObjectName(QStringLiteral("Ed_Date"));
    Ed_Date->setFixedWidth(Ed_Date->fontMetrics().horizontalAdvance(QStringLiteral("00/00/00000")) +
                           8);
    Btn_Date = SmallButton(QStringLiteral("Btn_Date"), page, QStringLiteral("..."));

    // The thumbnail in its white frame, with its two buttons and its pop-up menu.
    auto* frame = new QFrame(page);
    frame->setFrameShape(QFrame::Box);
    frame->setLineWidth(1);
    Pan_CadreMatPhoto = frame;
    Pan_CadreMatPhoto->setObjectName(QStringLiteral("Pan_CadreMatPhoto"));
    Pan_CadreMatPhoto->setFixedSize(kThumbnailSize + 2, kThumbnailSize + 2);
    Pan_CadreMatPhoto->setAutoFillBackground(true);
    QPalette white = Pan_CadreMatPhoto->palette();
    white.setColor(QPalette::Window, Qt::white);
    white.setColor(QPalette::WindowText, QColor(0xA0, 0xA0, 0xA0));
    Pan_CadreMatPhoto->setPalette(white);
    ImgDB_Photo_Mini = new DBImage(Pan_CadreMatPhoto);
    ImgDB_Photo_Mini->setObjectName(QStringLiteral("ImgDB_Photo_Mini"));
    ImgDB_Photo_Mini->setGeometry(1, 1, kThumbnailSize, kThumbnailSize);
    ImgDB_Photo_Mini->setContextMenuPolicy(Qt::CustomContextMenu);
    Btn_Select_Img = new QPushButton(QStringLiteral("Sélection"), page);
    Btn_Select_Img->setObjectName(QStringLiteral("Btn_Select_Img"));
    Btn_Select_Img->setToolTip(QStringLiteral("Sélectionner une image"));
    Btn_Select_Img->setAutoDefault(false);
    Btn_Delete_Img = new QPushButton(QStringLiteral("Supprimer"), page);
    Btn_Delete_Img->setObjectName(QStringLiteral("Btn_Delete_Img"));
    Btn_Delete_Img->setToolTip(QStringLiteral("Supprimer cette image"));
    Btn_Delete_Img->setAutoDefault(false);
    Popup_Img = new QMenu(this);
    Popup_Img->setObjectName(QStringLiteral("Popup_Img"));
    const auto entry = [this](const char* name, const QString& text) {
        QAction* action = Popup_Img->addAction(text);
        action->setObjectName(QLatin1String(name));
        return action;
    };
    Popup_Img_Select = entry("Popup_Img_Select", QStringLiteral("&Sélectionner une image"));
    Popup_Img_Delete = entry("Popup_Img_Delete", QStringLiteral("Su&pprimer cette image"));
    Popup_Img->addSeparator();
    Popup_Img_FullSize = entry("Popup_Img_FullSize", QStringLiteral("&Visualiser l'image"));
    Popup_Img_Print = entry("Popup_Img_Print", QStringLiteral("&Imprimer l'image"));
    Popup_Img->addSeparator();
    Popup_Img_Save = entry("Popup_Img_Save", QStringLiteral("&Enregistrer l'image sous .."));

    Ed_Description = new DBEdit(m_prompts, page);
    Ed_Description->setObjectName(QStringLiteral("Ed_Description"));
    Ed_Unit = new DBEdit(m_prompts, page);
    Ed_Unit->setObjectName(QStringLiteral("Ed_Unit"));
    Btn_Edit_Unit = SmallButton(QStringLiteral("Btn_Edit_Unit"), page, QStringLiteral("..."),
                                QStringLiteral("Modifier la liste des unités"));
    Btn_Unit = DropButton(QStringLiteral("Btn_Unit"), page);
    Ed_Decimal = new DBEdit(m_prompts, page);
    Ed_Decimal->setObjectName(QStringLiteral("Ed_Decimal"));
    Ed_Decimal->setFixedWidth(32);
    // Chosen from their lists, as the code fields are.
    SetPickerColor(Ed_Unit);
    SetPickerColor(Ed_Decimal);
    Btn_Decimal = DropButton(QStringLiteral("Btn_Decimal"), page);
    Check_Count = new DBCheckBox(QStringLiteral("Compteur"), m_prompts, page);
    Check_Count->setObjectName(QStringLiteral("Check_Count"));
    Ed_Count = new DBEdit(m_prompts, page);
    Ed_Count->setObjectName(QStringLiteral("Ed_Count"));
    DBMemo1 = new DBMemo(m_prompts, page);
    DBMemo1->setObjectName(QStringLiteral("DBMemo1"));

    auto* heading = new QLabel(QStringLiteral("PARAMETRES GRAPHIQUES PAR DEFAUT"), page);
    heading->setObjectName(QStringLiteral("Lab_Graph"));
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);
    heading->setContentsMargins(0, 6, 0, 0);
    const auto codeField = [page](const char* name) {
        auto* field = new QLineEdit(page);
        field->setObjectName(QLatin1String(name));
        field->setReadOnly(true);
        SetPickerColor(field);
        SetChosenIndex(field, -1);
        return field;
    };
    Ed_PeriodType = codeField("Ed_PeriodType");
    Btn_PeriodType = DropButton(QStringLiteral("Btn_PeriodType"), page);
    Ed_StatType = codeField("Ed_StatType");
    Btn_StatType = DropButton(QStringLiteral("Btn_StatType"), page);
    Ed_ValueType = codeField("Ed_ValueType");
    Btn_ValueType = DropButton(QStringLiteral("Btn_ValueType"), page);
    Check_SetColor = new DBCheckBox(QStringLiteral("Couleur"), m_prompts, page);
    Check_SetColor->setObjectName(QStringLiteral("Check_SetColor"));

    // The swatch lies over a strip of four colours, seen whenever the swatch is hidden.
    Pan_ColorStrip = new QWidget(page);
    Pan_ColorStrip->setObjectName(QStringLiteral("Pan_ColorStrip"));
    Pan_ColorStrip->setFixedSize(4 * kStripBlock, kRowHeight);
    const QColor strip[] = {QColor(0x00, 0x00, 0x80), QColor(0xFF, 0x00, 0x00),
                            QColor(0x00, 0xFF, 0x00), QColor(0xFF, 0xFF, 0x00)};
    for (int i = 0; i < 4; ++i) {
        auto* block = new QWidget(Pan_ColorStrip);
        block->setGeometry(i * kStripBlock, 0, kStripBlock, kRowHeight);
        block->setAutoFillBackground(true);
        QPalette p = block->palette();
        p.setColor(QPalette::Window, strip[i]);
        block->setPalette(p);
    }
    Pan_Color = new QWidget(Pan_ColorStrip);
    Pan_Color->setObjectName(QStringLiteral("Pan_Color"));
    Pan_Color->setGeometry(0, 0, 4 * kStripBlock, kRowHeight);
    Pan_Color->setAutoFillBackground(true);
    Btn_Color = SmallButton(QStringLiteral("Btn_Color"), page, QStringLiteral("..."),
                            QStringLiteral("Choisir la couleur"));
    Check_AllColor =
        new DBCheckBox(QStringLiteral("Pour toutes les statistiques"), m_prompts, page);
    Check_AllColor->setObjectName(QStringLiteral("Check_AllColor"));

    // Labels in the first column, fields in the second; the picture and the counter on the
    // right.
    int row = 0;
    grid->addWidget(Caption(QStringLiteral("Titre"), Ed_Title, page), row, 0);
    grid->addWidget(Ed_Title, row, 1, 1, 4);
    ++row;
    grid->addWidget(Caption(QStringLiteral("Date de créat."), Ed_Date, page), row, 0);
    auto* date = new QHBoxLayout;
    date->setSpacing(1);
    date->addWidget(Ed_Date);
    date->addWidget(Btn_Date);
    date->addStretch();
    grid->addLayout(date, row, 1, Qt::AlignTop);
    auto* icon = new QHBoxLayout;
    icon->setSpacing(6);
    auto* iconLabel = new QLabel(QStringLiteral("Icône"), page);
    icon->addWidget(iconLabel, 0, Qt::AlignTop);
    icon->addWidget(Pan_CadreMatPhoto, 0, Qt::AlignTop);
    auto* iconButtons = new QVBoxLayout;
    iconButtons->setSpacing(4);
    iconButtons->addWidget(Btn_Select_Img);
    iconButtons->addWidget(Btn_Delete_Img);
    iconButtons->addStretch();
    icon->addLayout(iconButtons);
    grid->addLayout(icon, row, 2, 2, 3, Qt::AlignRight | Qt::AlignTop);
    ++row;
    grid->setRowMinimumHeight(row, kThumbnailSize + 2 - kRowHeight - 5);
    ++row;
    grid->addWidget(Caption(QStringLiteral("Description"), Ed_Description, page), row, 0);
    grid->addWidget(Ed_Description, row, 1, 1, 4);
    ++row;
    grid->addWidget(Caption(QStringLiteral("Unité"), Ed_Unit, page), row, 0);
    grid->addLayout(FieldRow(Ed_Unit, {Btn_Edit_Unit, Btn_Unit}), row, 1);
    grid->addWidget(Caption(QStringLiteral("Décimal"), Ed_Decimal, page), row, 2, Qt::AlignRight);
    auto* decimals = new QHBoxLayout;
    decimals->setSpacing(1);
    decimals->addWidget(Ed_Decimal);
    decimals->addWidget(Btn_Decimal);
    grid->addLayout(decimals, row, 3);
    auto* counter = new QVBoxLayout;
    counter->setSpacing(2);
    counter->addWidget(Check_Count);
    counter->addWidget(Ed_Count);
    Ed_Count->setFixedWidth(90);
    grid->addLayout(counter, row, 4, 2, 1, Qt::AlignTop);
    ++row;
    ++row;
    grid->addWidget(Caption(QStringLiteral("Notes"), DBMemo1, page), row, 0, Qt::AlignTop);
    grid->addWidget(DBMemo1, row, 1, 1, 4);
    grid->setRowStretch(row, 1);
    ++row;
    grid->addWidget(heading, row, 0, 1, 5);
    ++row;
    grid->addWidget(Caption(QStringLiteral("Période"), Ed_PeriodType, page), row, 0);
    grid->addLayout(FieldRow(Ed_PeriodType, {Btn_PeriodType}), row, 1);
    auto* color = new QHBoxLayout;
    color->setSpacing(4);
    color->addWidget(Check_SetColor);
    color->addSpacing(6);
    color->addWidget(Pan_ColorStrip);
    color->addWidget(Btn_Color);
    color->addStretch();
    grid->addLayout(color, row, 2, 1, 3);
    ++row;
    grid->addWidget(Caption(QStringLiteral("Type de graphique"), Ed_StatType, page), row, 0);
    grid->addLayout(FieldRow(Ed_StatType, {Btn_StatType}), row, 1);
    grid->addWidget(Check_AllColor, row, 2, 1, 3);
    ++row;
    grid->addWidget(Caption(QStringLiteral("Valeur"), Ed_ValueType, page), row, 0);
    grid->addLayout(FieldRow(Ed_ValueType, {Btn_ValueType}), row, 1);
    grid->setColumnStretch(1, 1);

    for (QLineEdit* field :
         {static_cast<QLineEdit*>(Ed_Date), static_cast<QLineEdit*>(Ed_Unit),
          static_cast<QLineEdit*>(Ed_Decimal), Ed_PeriodType, Ed_StatType, Ed_ValueType})
        field->installEventFilter(this);

    connect(Ed_Title, &QLineEdit::textChanged, this, &TEnterAccount::Ed_TitleChange);
    connect(Btn_Date, &QToolButton::clicked, this,
            [this] { guarded([this] { Btn_DateClick(); }); });
    connect(Btn_Unit, &QToolButton::clicked, this,
            [this] { guarded([this] { Btn_UnitClick(); }); });
    connect(Btn_Edit_Unit, &QToolButton::clicked, this,
            [this] { guarded([this] { Btn_Edit_UnitClick(); }); });
    connect(Btn_Decimal, &QToolButton::clicked, this,
            [this] { guarded([this] { Btn_DecimalClick(); }); });
    connect(Btn_PeriodType, &QToolButton::clicked, this,
            [this] { guarded([this] { Btn_PeriodTypeClick(); }); });
    connect(Btn_StatType, &QToolButton::clicked, this,
            [this] { guarded([this] { Btn_StatTypeClick(); }); });
    connect(Btn_ValueType, &QToolButton::clicked, this,
            [this] { guarded([this] { Btn_ValueTypeClick(); }); });
    connect(Ed_StatType, &QLineEdit::textChanged, this, &TEnterAccount::RefreshColorControls);
    for (DBCheckBox* box : {Check_Count, Check_SetColor, Check_AllColor})
        connect(box, &QCheckBox::clicked, this, &TEnterAccount::RefreshColorControls);
    connect(Btn_Color, &QToolButton::clicked, this,
            [this] { guarded([this] { Btn_ColorClick(); }); });
    connect(Btn_Select_Img, &QPushButton::clicked, this,
            [this] { guarded([this] { Btn_Select_ImgClick(); }); });
    connect(Btn_Delete_Img, &QPushButton::clicked, this,
            [this] { guarded([this] { Btn_Delete_ImgClick(); }); });
    connect(Popup_Img_Select, &QAction::triggered, this,
            [this] { guarded([this] { Btn_Select_ImgClick(); }); });
    connect(Popup_Img_Delete, &QAction::triggered, this,
            [this] { guarded([this] { Btn_Delete_ImgClick(); }); });
    connect(Popup_Img_FullSize, &QAction::triggered, this,
            [this] { guarded([this] { ImgDB_Photo_MiniDblClick(); }); });
    connect(Popup_Img_Print, &QAction::triggered, this,
            [this] { guarded([this] { Popup_Img_PrintClick(); }); });
    connect(Popup_Img_Save, &QAction::triggered, this,
            [this] { guarded([this] { Popup_Img_SaveClick(); }); });
    connect(ImgDB_Photo_Mini, &DBImage::doubleClicked, this,
            [this] { guarded([this] { ImgDB_Photo_MiniDblClick(); }); });
    connect(ImgDB_Photo_Mini, &DBImage::pictureChanged, this, &TEnterAccount::RefreshColorControls);
    connect(ImgDB_Photo_Mini, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        Popup_ImgPopup();
        Popup_Img->popup(ImgDB_Photo_Mini->mapToGlobal(at));
    });
    return page;
}

QWidget* TEnterAccount::buildCustomPage()
{
    auto* page = new QWidget(this);
    page->setObjectName(QStringLiteral("Page_Custom"));
    auto* column = new QVBoxLayout(page);
    column->setContentsMargins(8, 8, 8, 8);
    column->setSpacing(1);
    for (int i = 0; i < 7; ++i) {
        auto* caption = new QLabel(page);
        caption->setObjectName(Numbered("Lab_Misc", i + 1));
        caption->setToolTip(QStringLiteral("Double-cliquez\r\npour modifier"));
        caption->installEventFilter(this);
        Lab_Misc[size_t(i)] = caption;
    }
    for (int i = 0; i < 5; ++i) {
        const int number = i + 1;
        auto* field = new DBEdit(m_prompts, page);
        field->setObjectName(Numbered("Ed_Misc", number));
        field->installEventFilter(this);
        Ed_Misc[size_t(i)] = field;
        Btn_Edit_Misc[size_t(i)] =
            SmallButton(Numbered("Btn_Edit_Misc", number), page, QStringLiteral("..."),
                        QStringLiteral("Modifier la liste"));
        Btn_Misc[size_t(i)] = DropButton(Numbered("Btn_Misc", number), page);
        connect(Btn_Misc[size_t(i)], &QToolButton::clicked, this,
                [this, number] { guarded([this, number] { Btn_MiscClick(number); }); });
        connect(Btn_Edit_Misc[size_t(i)], &QToolButton::clicked, this,
                [this, number] { guarded([this, number] { Btn_Edit_MiscClick(number); }); });
        column->addWidget(Lab_Misc[size_t(i)]);
        column->addLayout(FieldRow(field, {Btn_Edit_Misc[size_t(i)], Btn_Misc[size_t(i)]}));
        column->addSpacing(5);
    }
    Memo_Misc06 = new DBMemo(m_prompts, page);
    Memo_Misc06->setObjectName(QStringLiteral("Memo_Misc06"));
    Memo_Divers07 = new DBMemo(m_prompts, page);
    Memo_Divers07->setObjectName(QStringLiteral("Memo_Divers07"));
    column->addWidget(Lab_Misc[5]);
    column->addWidget(Memo_Misc06, 1);
    column->addSpacing(5);
    column->addWidget(Lab_Misc[6]);
    column->addWidget(Memo_Divers07, 1);
    return page;
}

void TEnterAccount::bindFields()
{
    DataSource& source = m_dm.DSAccount();
    Ed_Title->setField(source, QStringLiteral("Title"));
    Ed_Date->setField(source, QStringLiteral("CreateDate"));
    ImgDB_Photo_Mini->setField(source, QStringLiteral("ImgMini1"));
    Ed_Description->setField(source, QStringLiteral("Description"));
    Ed_Unit->setField(source, QStringLiteral("Unit"));
    Ed_Unit->setFieldReadOnly(true);
    Ed_Decimal->setField(source, QStringLiteral("Decimal"));
    Ed_Decimal->setFieldReadOnly(true);
    Check_Count->setField(source, QStringLiteral("IncCount"));
    Ed_Count->setField(source, QStringLiteral("Count"));
    DBMemo1->setField(source, QStringLiteral("Remark1"));
    Check_SetColor->setField(source, QStringLiteral("SetColor"));
    Check_AllColor->setField(source, QStringLiteral("AllColor"));
    for (int i = 0; i < 5; ++i)
        Ed_Misc[size_t(i)]->setField(source, Numbered("Misc", i + 1));
    Memo_Misc06->setField(source, QStringLiteral("Misc06"));
    Memo_Divers07->setField(source, QStringLiteral("Misc07"));
}

void TEnterAccount::readCaptions()
{
    const QStringList captions = ReadCustomCaptions(m_dm.Query(), m_dossierId);
    for (int i = 0; i < 7 && i < captions.size(); ++i)
        Lab_Misc[size_t(i)]->setText(captions.at(i));
}

void TEnterAccount::loadCodes()
{
    const AccountCodes codes = ReadAccountCodes(m_dm.Account());
    const auto show = [](QLineEdit* field, const QString& lines, int index) {
        SetChosenIndex(field, index);
        field->setText(CodeLineText(lines, index));
    };
    show(Ed_PeriodType, PeriodTypeLines(), codes.periodTypeIndex);
    show(Ed_StatType, StatTypeLines(), codes.statTypeIndex);
    show(Ed_ValueType, ValueTypeLines(), codes.valueTypeIndex);
    m_color = codes.color;
    paintSwatch();
}

void TEnterAccount::paintSwatch()
{
    QPalette p = Pan_Color->palette();
    p.setColor(QPalette::Window, ColorFromWindows(m_color));
    Pan_Color->setPalette(p);
}

AccountCodes TEnterAccount::codes() const
{
    AccountCodes c;
    c.periodTypeIndex = ChosenIndex(Ed_PeriodType);
    c.statTypeIndex = ChosenIndex(Ed_StatType);
    c.valueTypeIndex = ChosenIndex(Ed_ValueType);
    c.color = m_color;
    return c;
}

void TEnterAccount::guarded(const std::function<void()>& handler)
{
    RunGuarded(m_prompts, handler);
}

void TEnterAccount::showEvent(QShowEvent* event)
{
    ShowCaption(this);
    Ed_TitleChange();
    RefreshColorControls();
    QDialog::showEvent(event);
}

void TEnterAccount::Ed_TitleChange()
{
    Btn_Ok->setEnabled(!Ed_Title->text().isEmpty());
}

void TEnterAccount::RefreshColorControls()
{
    const ColorControls c = DecideColorControls(
        Check_SetColor->isChecked(), ChosenIndex(Ed_StatType), ImgDB_Photo_Mini->hasPicture());
    Btn_Color->setEnabled(c.colorButtonEnabled);
    if (c.swatchVisible)
        Pan_Color->setVisible(*c.swatchVisible);
    if (c.uncheckAllColor && Check_AllColor->isChecked())
        Check_AllColor->setChecked(false);
    Check_AllColor->setEnabled(c.allColorEnabled);
    Btn_Delete_Img->setEnabled(c.deletePictureEnabled);
}

void TEnterAccount::Btn_DateClick()
{
    ShowDatePicker(Ed_Date, m_clock);
}

void TEnterAccount::Btn_UnitClick()
{
    ShowDropDown(Ed_Unit, true, QString(), &m_dm.DSAccount(), &m_dm.ComboItems(),
                 QStringLiteral("Account_Unit"));
}

void TEnterAccount::Btn_Edit_UnitClick()
{
    EditPickList(m_dm.DSComboItems(), QStringLiteral("Unités"), QStringLiteral("Account_Unit"),
                 m_prompts, this);
}

void TEnterAccount::Btn_DecimalClick()
{
    ShowDropDown(Ed_Decimal, true, DecimalLines(), &m_dm.DSAccount());
}

void TEnterAccount::Btn_PeriodTypeClick()
{
    ShowDropDown(Ed_PeriodType, false, PeriodTypeLines());
}

void TEnterAccount::Btn_StatTypeClick()
{
    ShowDropDown(Ed_StatType, false, StatTypeLines());
}

void TEnterAccount::Btn_ValueTypeClick()
{
    ShowDropDown(Ed_ValueType, false, ValueTypeLines());
}

void TEnterAccount::Btn_MiscClick(int number)
{
    ShowDropDown(Ed_Misc.at(size_t(number - 1)), true, QString(), &m_dm.DSAccount(),
                 &m_dm.ComboItems(), Numbered("Account_Misc", number));
}

void TEnterAccount::Btn_Edit_MiscClick(int number)
{
    EditPickList(m_dm.DSComboItems(), Lab_Misc.at(size_t(number - 1))->text(),
                 Numbered("Account_Misc", number), m_prompts, this);
}

void TEnterAccount::Lab_MiscDblClick(QLabel* caption)
{
    RenameCaption(caption, m_dm.Query(), m_dossierId, m_prompts, this);
}

void TEnterAccount::Btn_ColorClick()
{
    if (const std::optional<QColor> chosen = m_prompts.chooseColor(ColorFromWindows(m_color))) {
        m_color = WindowsColor(*chosen);
        paintSwatch();
    }
}

void TEnterAccount::Btn_Select_ImgClick()
{
    if (m_pictures.select)
        m_pictures.select(this);
    RefreshColorControls();
}

void TEnterAccount::Btn_Delete_ImgClick()
{
    if (m_pictures.remove)
        m_pictures.remove(this);
    RefreshColorControls();
}

void TEnterAccount::ImgDB_Photo_MiniDblClick()
{
    if (ImgDB_Photo_Mini->hasPicture() && m_pictures.view)
        m_pictures.view(this);
}

void TEnterAccount::Popup_ImgPopup()
{
    const bool shown = Btn_Delete_Img->isVisibleTo(this);
    const bool enabled = Btn_Delete_Img->isEnabled();
    Popup_Img_Select->setVisible(shown);
    Popup_Img_Delete->setVisible(shown);
    for (QAction* action : {Popup_Img_Delete, Popup_Img_FullSize, Popup_Img_Print, Popup_Img_Save})
        action->setEnabled(enabled);
}

void TEnterAccount::Popup_Img_PrintClick()
{
    if (m_pictures.print)
        m_pictures.print(this);
}

void TEnterAccount::Popup_Img_SaveClick()
{
    if (m_pictures.saveCopy)
        m_pictures.saveCopy(this);
}

void TEnterAccount::Btn_OkClick()
{
    if (Ed_Title->text().isEmpty())
        return;
    if (!RunGuarded(m_prompts,
                    [this] { ConfirmAccount(m_dm.DSAccount(), m_dm.Account(), codes()); }))
        return;
    accept();
}

bool TEnterAccount::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type == QEvent::MouseButtonDblClick) {
        if (auto* caption = qobject_cast<QLabel*>(watched);
            caption && std::find(Lab_Misc.begin(), Lab_Misc.end(), caption) != Lab_Misc.end()) {
            guarded([this, caption] { Lab_MiscDblClick(caption); });
            return true;
        }
        if (watched == Ed_Unit) {
            guarded([this] { Btn_Edit_UnitClick(); });
            return true;
        }
        for (int i = 0; i < 5; ++i) {
            if (watched == Ed_Misc[size_t(i)]) {
                guarded([this, i] { Btn_Edit_MiscClick(i + 1); });
                return true;
            }
        }
    } else if (type == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key != Qt::Key_Return && key != Qt::Key_Enter)
            return QDialog::eventFilter(watched, event);
        // Enter in a field opens its calendar or its drop-down.
        std::function<void()> open;
        if (watched == Ed_Date)
            open = [this] { Btn_DateClick(); };
        else if (watched == Ed_Unit)
            open = [this] { Btn_UnitClick(); };
        else if (watched == Ed_Decimal)
            open = [this] { Btn_DecimalClick(); };
        else if (watched == Ed_PeriodType)
            open = [this] { Btn_PeriodTypeClick(); };
        else if (watched == Ed_StatType)
            open = [this] { Btn_StatTypeClick(); };
        else if (watched == Ed_ValueType)
            open = [this] { Btn_ValueTypeClick(); };
        for (int i = 0; i < 5 && !open; ++i) {
            if (watched == Ed_Misc[size_t(i)])
                open = [this, i] { Btn_MiscClick(i + 1); };
        }
        if (open) {
            guarded(open);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace tilvo
