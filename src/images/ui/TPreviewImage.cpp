// SPDX-License-Identifier: GPL-3.0-or-later
#include "images/ui/TPreviewImage.h"

#include "common/Error.h"
#include "common/Prompts.h"
#include "common/TextCatalogue.h"
#include "common/ui/Chrome.h"
#include "common/ui/ErrorGuard.h"
#include "common/ui/SpeedButton.h"
#include "images/AccountPictures.h"
#include "images/FitPictureInBox.h"
#include "images/JpegFile.h"
#include "images/ui/PictureControl.h"
#include "images/ui/PictureReport.h"

#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>

namespace tilvo {

namespace {

constexpr int kMargin = 10;
constexpr int kWheelStep = 4; // pixels per notch

// A navigation button on its own panel, the panel hidden until the preview is opened.
QWidget* OnPanel(QWidget* parent, const char* name, QToolButton* button)
{
    auto* panel = new QWidget(parent);
    panel->setObjectName(QLatin1String(name));
    auto* layout = new QHBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    button->setParent(panel);
    layout->addWidget(button);
    panel->hide();
    return panel;
}

QString MaximizeHint(bool maximized)
{
    return maximized ? LookupText(QStringLiteral("Common"), QStringLiteral("MinimizeWindows"),
                                  QStringLiteral("Réduire"))
                     : LookupText(QStringLiteral("Common"), QStringLiteral("MaximizeWindows"),
                                  QStringLiteral("Agrandir"));
}

} // namespace

TPreviewImage::TPreviewImage(Connection& connection, Prompts& prompts, QWidget* parent)
    : QDialog(parent), m_prompts(prompts),
      m_query(std::make_unique<DataSet>(connection, QStringLiteral("QueryImg")))
{
    setObjectName(QStringLiteral("PreviewImage"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    const TitleBarParts bar =
        BuildTitleBar(this, QStringLiteral("  Image"), false, true, QStringLiteral("Exit"));
    Title = bar.title;
    bar.close->setToolTip(QStringLiteral("Quitter"));
    SysMaxiBtn = bar.maximize;
    SysMaxiBtn->setToolTip(MaximizeHint(false));
    layout->addWidget(bar.bar);

    Cadre = new QScrollArea(this);
    Cadre->setObjectName(QStringLiteral("Cadre"));
    Cadre->setWidgetResizable(false);
    Cadre->setFrameShape(QFrame::NoFrame);
    QPalette grey = Cadre->palette();
    grey.setColor(QPalette::Window, QColor(0x80, 0x80, 0x80));
    Cadre->setPalette(grey);
    Cadre->setBackgroundRole(QPalette::Window);
    Canvas = new QWidget;
    Canvas->setObjectName(QStringLiteral("Canvas"));
    Canvas->setPalette(grey);
    Canvas->setAutoFillBackground(true);
    Image = new PictureControl(Canvas);
    Image->setObjectName(QStringLiteral("Image"));
    Image->setCursor(Qt::OpenHandCursor);
    Pan_F = new QWidget(Canvas);
    Pan_F->setObjectName(QStringLiteral("Pan_F"));
    Pan_F->setFixedSize(10, 10);
    Pan_F->hide();
    Cadre->setWidget(Canvas);
    layout->addWidget(Cadre, 1);

    auto* bottom = new QHBoxLayout;
    bottom->setContentsMargins(6, 4, 0, 0);
    bottom->setSpacing(1);
    Btn_Print =
        SpeedButton(this, "Btn_Print", QStringLiteral(" &Imprimer"), QStringLiteral("Imprimer"));
    Btn_Save = SpeedButton(this, "Btn_Save", QStringLiteral(" &Enregistrer"),
                           QStringLiteral("Enregistrer l'image sous ..."));
    LMDShapeButton2 = SpeedButton(this, "LMDShapeButton2", QStringLiteral("Image"),
                                  QStringLiteral("Image entière"));
    spbPreviewWidth = SpeedButton(this, "spbPreviewWidth", QStringLiteral("Largeur"),
                                  QStringLiteral("Largeur de la page"));
    spbPreview100Percent = SpeedButton(this, "spbPreview100Percent", QStringLiteral("100 %"),
                                       QStringLiteral("Taille réelle"));
    Btn_First =
        SpeedButton(this, "Btn_First", QStringLiteral("|<"), QStringLiteral("Première image"));
    Btn_Prior =
        SpeedButton(this, "Btn_Prior", QStringLiteral("<"), QStringLiteral("Image précédente"));
    Btn_Next = SpeedButton(this, "Btn_Next", QStringLiteral(">"), QStringLiteral("Image suivante"));
    Btn_Last =
        SpeedButton(this, "Btn_Last", QStringLiteral(">|"), QStringLiteral("Dernière image"));
    Pan_First = OnPanel(this, "Pan_First", Btn_First);
    Pan_Prior = OnPanel(this, "Pan_Prior", Btn_Prior);
    Pan_Next = OnPanel(this, "Pan_Next", Btn_Next);
    Pan_Last = OnPanel(this, "Pan_Last", Btn_Last);
    Btn_Close = new QPushButton(QStringLiteral(" &Fermer"), this);
    Btn_Close->setObjectName(QStringLiteral("Btn_Close"));
    Btn_Close->setAutoDefault(false);
    Btn_Close->setFocusPolicy(Qt::NoFocus);
    for (QWidget* w :
         {static_cast<QWidget*>(Btn_Print), static_cast<QWidget*>(Btn_Save),
          static_cast<QWidget*>(LMDShapeButton2), static_cast<QWidget*>(spbPreviewWidth),
          static_cast<QWidget*>(spbPreview100Percent), Pan_First, Pan_Prior, Pan_Next, Pan_Last})
        bottom->addWidget(w);
    bottom->addStretch();
    bottom->addWidget(Btn_Close);
    Pan_RezisePad = new QWidget(this);
    Pan_RezisePad->setObjectName(QStringLiteral("Pan_RezisePad"));
    auto* padLayout = new QHBoxLayout(Pan_RezisePad);
    padLayout->setContentsMargins(0, 0, 0, 0);
    padLayout->addWidget(BuildGrip(Pan_RezisePad, QStringLiteral("RezisePad")), 0, Qt::AlignBottom);
    bottom->addWidget(Pan_RezisePad, 0, Qt::AlignBottom);
    layout->addLayout(bottom);

    const auto connectButton = [this](QToolButton* button, void (TPreviewImage::*handler)()) {
        connect(button, &QToolButton::clicked, this, [this, handler] { guarded(handler); });
    };
    connectButton(Btn_First, &TPreviewImage::Btn_FirstClick);
    connectButton(Btn_Prior, &TPreviewImage::Btn_PriorClick);
    connectButton(Btn_Next, &TPreviewImage::Btn_NextClick);
    connectButton(Btn_Last, &TPreviewImage::Btn_LastClick);
    connectButton(LMDShapeButton2, &TPreviewImage::LMDShapeButton2Click);
    connectButton(spbPreviewWidth, &TPreviewImage::spbPreviewWidthClick);
    connectButton(spbPreview100Percent, &TPreviewImage::spbPreview100PercentClick);
    connectButton(Btn_Print, &TPreviewImage::Btn_PrintClick);
    connectButton(Btn_Save, &TPreviewImage::Btn_SaveClick);
    connect(Btn_Close, &QPushButton::clicked, this, &QDialog::reject);

    Cadre->viewport()->installEventFilter(this);
    Image->installEventFilter(this);

    ChromeOptions options;
    options.minimumWidth = 300;
    options.minimumHeight = 200;
    options.sizeButton = SizeButtonKind::WorkArea;
    options.centreOnMainWindow = false;
    resize(800, 600);
    SetUpChrome(this, options);
    connect(SysMaxiBtn, &QToolButton::clicked, this,
            [this] { SysMaxiBtn->setToolTip(MaximizeHint(geometry() == WorkAreaOf(this))); });
}

TPreviewImage::~TPreviewImage()
{
    m_query->close();
}

void TPreviewImage::guarded(void (TPreviewImage::*handler)())
{
    RunGuarded(m_prompts, [this, handler] { (this->*handler)(); });
}

void TPreviewImage::OpenPicturePreview(int startId, int windowMode)
{
    setWindowState(Qt::WindowNoState);
    const QRect area = WorkAreaOf(this);
    if (windowMode == 2) {
        setGeometry(area);
        SysMaxiBtn->setToolTip(MaximizeHint(true));
    } else {
        // The drawn title bar lies above the client area; a platform frame has its own.
        resize(800, 600 + (Chrome().standardChrome ? 0 : Title->parentWidget()->height()));
        move(area.left() + (area.width() - width()) / 2,
             area.top() + (area.height() - height()) / 2);
        SysMaxiBtn->setToolTip(MaximizeHint(false));
    }
    for (QWidget* panel : {Pan_First, Pan_Prior, Pan_Next, Pan_Last})
        panel->show();
    m_query->close();
    m_query->setSqlText(QueryText);
    m_query->open();
    if (startId < 0 || !m_query->locate(QStringLiteral("Id"), startId))
        m_query->first();
    LoadCurrentRow();
}

QString TPreviewImage::missingMessage() const
{
    return LookupText(QStringLiteral("PreviewImage"), QStringLiteral("Message1"),
                      QStringLiteral("IMPOSSIBLE D'IMPRIMER L'IMAGE !{CR}Le fichier \"%1\" a sans "
                                     "doute été supprimé manuellement et n'est plus accessible."))
        .replace(QStringLiteral("%1"), m_picturePath);
}

void TPreviewImage::LoadCurrentRow()
{
    loadRow(true);
}

void TPreviewImage::loadRow(bool showMissing)
{
    const bool hasRow = m_query->isActive() && !m_query->isEmpty();
    const qint64 id = hasRow ? m_query->fieldByName(QStringLiteral("ID")).asInteger() : 0;
    const QString title =
        hasRow ? m_query->fieldByName(QStringLiteral("TITLE")).asText() : QString();
    m_picturePath = PictureFolder + FilePrefix + QString::number(id) + QStringLiteral(".jpg");
    Image->setPicture(QImage());
    if (QFile::exists(m_picturePath)) {
        try {
            Image->setPicture(LoadSourcePicture(m_picturePath).toQImage());
        } catch (const Error& e) {
            // A damaged file shows as no picture; the row stays reachable.
            m_prompts.showMessage(e.text(), Prompts::Icon::Error);
        }
    } else if (showMissing && hasRow) {
        m_prompts.showMessage(missingMessage(), Prompts::Icon::Error);
    }
    Title->setText(QStringLiteral("  ") + TitleWord + QStringLiteral(" (") + title +
                   QStringLiteral(")"));
    ShowCaption(this);
    UpdateButtons();
}

void TPreviewImage::UpdateButtons()
{
    const bool several = m_query->isActive() && m_query->recordCount() >= 2;
    Btn_First->setEnabled(several && !m_query->bof());
    Btn_Prior->setEnabled(several && !m_query->bof());
    Btn_Next->setEnabled(several && !m_query->eof());
    Btn_Last->setEnabled(several && !m_query->eof());
    const bool exists = QFile::exists(m_picturePath);
    Btn_Print->setEnabled(exists);
    Btn_Save->setEnabled(exists);
}

void TPreviewImage::FormShow()
{
    Title->setText(QStringLiteral("  ") + TitleWord);
    ShowCaption(this);
    // OpenPicturePreview has loaded this row already and said when its file has gone.
    loadRow(false);
    FormResize();
}

void TPreviewImage::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        guarded(&TPreviewImage::FormShow);
}

void TPreviewImage::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    Pan_RezisePad->setVisible(geometry() != WorkAreaOf(this) && !isMaximized());
    FormResize();
}

void TPreviewImage::resetScroll()
{
    Cadre->horizontalScrollBar()->setValue(0);
    Cadre->verticalScrollBar()->setValue(0);
}

void TPreviewImage::FormResize()
{
    resetScroll();
    const QImage& picture = Image->picture();
    const QSize box = Cadre->size();
    const QSize viewport = Cadre->viewport()->size();
    if (box.width() < 1 || box.height() < 1 || picture.width() < 1 || picture.height() < 1) {
        Canvas->resize(viewport);
        return;
    }
    QRect placed;
    if (DisplayMode == PageWidth) {
        const int h =
            int(static_cast<long double>(picture.height()) / picture.width() * (box.width() - 20));
        const Placement p =
            FitPictureInBox(box.width() - 45, h - 25, picture.width(), picture.height());
        Image->setStretch(p.scaled);
        placed = QRect(p.left + kMargin, p.top + kMargin, p.width, p.height);
    } else if (DisplayMode == ActualSize) {
        Image->setStretch(false);
        placed = QRect(kMargin, kMargin, picture.width(), picture.height());
    } else {
        const Placement p =
            FitPictureInBox(box.width() - 25, box.height() - 25, picture.width(), picture.height());
        Image->setStretch(p.scaled);
        placed = QRect(p.left + kMargin, p.top + kMargin, p.width, p.height);
    }
    Image->setGeometry(placed);
    if (DisplayMode == WholePicture) {
        Pan_F->hide();
        Canvas->resize(viewport);
        return;
    }
    // The spacer at the picture's bottom-right corner keeps a margin in the scrolled area.
    Pan_F->move(placed.right() + 1, placed.bottom() + 1);
    Pan_F->show();
    Canvas->resize(qMax(viewport.width(), Pan_F->geometry().right() + 1),
                   qMax(viewport.height(), Pan_F->geometry().bottom() + 1));
}

void TPreviewImage::setDisplayMode(int mode)
{
    DisplayMode = mode;
    FormResize();
}

void TPreviewImage::Btn_FirstClick()
{
    m_query->first();
    LoadCurrentRow();
    FormResize();
}

void TPreviewImage::Btn_PriorClick()
{
    m_query->prior();
    LoadCurrentRow();
    FormResize();
}

void TPreviewImage::Btn_NextClick()
{
    m_query->next();
    LoadCurrentRow();
    FormResize();
}

void TPreviewImage::Btn_LastClick()
{
    m_query->last();
    LoadCurrentRow();
    FormResize();
}

void TPreviewImage::LMDShapeButton2Click()
{
    setDisplayMode(WholePicture);
}

void TPreviewImage::spbPreviewWidthClick()
{
    setDisplayMode(PageWidth);
}

void TPreviewImage::spbPreview100PercentClick()
{
    setDisplayMode(ActualSize);
}

bool TPreviewImage::prepareCurrentPage(std::vector<std::pair<PreparedReport, int>>& pages,
                                       int copies)
{
    if (!QFile::exists(m_picturePath)) {
        m_prompts.showMessage(missingMessage(), Prompts::Icon::Error);
        return false;
    }
    resetScroll();
    Picture picture;
    if (!ReadJpegFile(picture, m_picturePath))
        throw Error(QStringLiteral("L'image « %1 » est illisible : le fichier est endommagé ou "
                                   "n'est pas une image JPEG.")
                        .arg(m_picturePath));
    pages.emplace_back(PreparePictureReport(picture.toBgr24().toQImage(), Title->text()), copies);
    return true;
}

void TPreviewImage::Btn_PrintClick()
{
    const int rows = m_query->isActive() ? m_query->recordCount() : 0;
    if (rows < 1)
        return;
    Prompts::PrintSetup setup;
    setup.minPage = 1;
    setup.maxPage = rows;
    setup.fromPage = 1;
    setup.toPage = rows;
    setup.currentPageOffered = rows >= 2;
    setup.currentPageOnly = setup.currentPageOffered;
    const std::optional<Prompts::PrintSetup> chosen = m_prompts.choosePrint(setup);
    if (!chosen)
        return;
    const int copies = qMax(1, chosen->copies);
    std::vector<std::pair<PreparedReport, int>> pages;
    if (chosen->currentPageOnly) {
        LoadCurrentRow();
        FormResize();
        if (prepareCurrentPage(pages, copies))
            PrintPictureReports(pages, chosen->target);
        return;
    }
    const int from = qMax(1, chosen->fromPage);
    const int to = qMin(rows, chosen->toPage);
    hide();
    // Whatever happens, the preview closes once the range has been walked.
    struct CloseAfterwards
    {
        TPreviewImage* window;
        ~CloseAfterwards() { window->reject(); }
    } closeAfterwards{this};
    m_query->first();
    for (int position = 1; position <= rows; ++position) {
        if (position > 1)
            m_query->next();
        if (position < from || position > to)
            continue;
        // The printing says it when the file has gone; loading stays quiet here.
        loadRow(false);
        FormResize();
        prepareCurrentPage(pages, copies);
    }
    PrintPictureReports(pages, chosen->target);
}

void TPreviewImage::Btn_SaveClick()
{
    if (!QFile::exists(m_picturePath)) {
        m_prompts.showMessage(missingMessage(), Prompts::Icon::Error);
        return;
    }
    const QString title = m_query->isActive() && !m_query->isEmpty()
                              ? m_query->fieldByName(QStringLiteral("TITLE")).asText()
                              : QString();
    SavePictureCopyAs(m_picturePath, ProposedPictureName(title), m_prompts);
}

bool TPreviewImage::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Cadre->viewport() && event->type() == QEvent::Wheel) {
        const int delta = static_cast<QWheelEvent*>(event)->angleDelta().y();
        const int notches = qMax(1, qAbs(delta) / 120);
        QScrollBar* bar = Cadre->verticalScrollBar();
        // Turning the wheel toward the user scrolls down.
        bar->setValue(bar->value() + (delta < 0 ? 1 : -1) * notches * kWheelStep);
        return true;
    }
    if (watched == Image) {
        switch (event->type()) {
        case QEvent::MouseButtonPress: {
            auto* mouse = static_cast<QMouseEvent*>(event);
            m_dragging = true;
            m_dragStart = mouse->globalPosition().toPoint();
            m_scrollStart =
                QPoint(Cadre->horizontalScrollBar()->value(), Cadre->verticalScrollBar()->value());
            return true;
        }
        case QEvent::MouseMove:
            if (m_dragging) {
                const QPoint moved =
                    static_cast<QMouseEvent*>(event)->globalPosition().toPoint() - m_dragStart;
                Cadre->horizontalScrollBar()->setValue(m_scrollStart.x() - moved.x());
                Cadre->verticalScrollBar()->setValue(m_scrollStart.y() - moved.y());
                return true;
            }
            break;
        case QEvent::MouseButtonRelease:
            m_dragging = false;
            return true;
        default:
            break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace tilvo
