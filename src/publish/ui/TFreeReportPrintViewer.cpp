// SPDX-License-Identifier: GPL-3.0-or-later
#include "publish/ui/TFreeReportPrintViewer.h"

#include "common/Prompts.h"
#include "common/TextCatalogue.h"
#include "common/TextHelpers.h"
#include "common/ui/Chrome.h"
#include "common/ui/ErrorGuard.h"
#include "common/ui/SpeedButton.h"
#include "publish/ui/PrintTargets.h"
#include "publish/ui/TReportEditor.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPushButton>
#include <QShowEvent>
#include <QToolButton>
#include <QVBoxLayout>

namespace tilvo {

TFreeReportPrintViewer::TFreeReportPrintViewer(Prompts& prompts, QWidget* parent)
    : QDialog(parent), m_prompts(prompts),
      m_printer(std::make_unique<QPrinter>(QPrinter::HighResolution))
{
    setObjectName(QStringLiteral("FreeReportPrintViewer"));
    m_printer->setFullPage(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    const TitleBarParts bar =
        BuildTitleBar(this, QStringLiteral(" Prévisualisation du rapport"), false, true);
    Title = bar.title;
    layout->addWidget(bar.bar);

    // The code word field and its button lie behind the preview: only the keyboard reaches them.
    auto* area = new QWidget(this);
    auto* stack = new QGridLayout(area);
    stack->setContentsMargins(0, 0, 0, 0);
    auto* hidden = new QWidget(area);
    auto* hiddenLayout = new QHBoxLayout(hidden);
    hiddenLayout->setContentsMargins(0, 0, 0, 0);
    Ed_Key = new QLineEdit(hidden);
    Ed_Key->setObjectName(QStringLiteral("Ed_Key"));
    Ed_Key->setEchoMode(QLineEdit::Password);
    BitBtn1 = new QPushButton(QStringLiteral("OK"), hidden);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setAutoDefault(true);
    hiddenLayout->addWidget(Ed_Key);
    hiddenLayout->addWidget(BitBtn1);
    hiddenLayout->addStretch();
    stack->addWidget(hidden, 0, 0, Qt::AlignTop | Qt::AlignLeft);
    frPreview = new QPrintPreviewWidget(m_printer.get(), area);
    frPreview->setObjectName(QStringLiteral("frPreview"));
    frPreview->setFocusPolicy(Qt::NoFocus);
    stack->addWidget(frPreview, 0, 0);
    frPreview->raise();
    layout->addWidget(area, 1);

    auto* bottom = new QHBoxLayout;
    bottom->setContentsMargins(6, 4, 0, 0);
    bottom->setSpacing(1);
    spbPreviewPrint = SpeedButton(this, "spbPreviewPrint", QStringLiteral(" &Imprimer"),
                                  QStringLiteral("Imprimer le rapport"));
    Btn_Size_OnePage = SpeedButton(this, "Btn_Size_OnePage", QStringLiteral("Page"),
                                   QStringLiteral("Page entière"));
    Btn_Size_PageWidth = SpeedButton(this, "Btn_Size_PageWidth", QStringLiteral("Largeur"),
                                     QStringLiteral("Largeur de la page"));
    Btn_Size_Full = SpeedButton(this, "Btn_Size_Full", QStringLiteral("100 %"),
                                QStringLiteral("Taille réelle"));
    spbPreviewFirst =
        SpeedButton(this, "spbPreviewFirst", QStringLiteral("|<"), QStringLiteral("Première page"));
    spbPreviewPrior = SpeedButton(this, "spbPreviewPrior", QStringLiteral("<"),
                                  QStringLiteral("Page précédente"));
    spbPreviewNext =
        SpeedButton(this, "spbPreviewNext", QStringLiteral(">"), QStringLiteral("Page suivante"));
    spbPreviewLast =
        SpeedButton(this, "spbPreviewLast", QStringLiteral(">|"), QStringLiteral("Dernière page"));
    Lab_Page = new QLabel(this);
    Lab_Page->setObjectName(QStringLiteral("Lab_Page"));
    Lab_Page->setMinimumWidth(70);
    Lab_Page->setAlignment(Qt::AlignCenter);
    Btn_SavePdf = SpeedButton(this, "Btn_SavePdf", QStringLiteral(" En P&DF"),
                              QStringLiteral("Enregistrer le rapport en PDF"));
    Btn_Close = new QPushButton(QStringLiteral(" &Fermer"), this);
    Btn_Close->setObjectName(QStringLiteral("Btn_Close"));
    Btn_Close->setAutoDefault(false);
    Btn_Close->setFocusPolicy(Qt::NoFocus);
    for (QWidget* w : std::initializer_list<QWidget*>{
             spbPreviewPrint, Btn_Size_OnePage, Btn_Size_PageWidth, Btn_Size_Full, spbPreviewFirst,
             spbPreviewPrior, spbPreviewNext, spbPreviewLast, Lab_Page, Btn_SavePdf})
        bottom->addWidget(w);
    bottom->addStretch();
    bottom->addWidget(Btn_Close);
    bottom->addWidget(BuildGrip(this, QStringLiteral("RezisePad")), 0, Qt::AlignBottom);
    layout->addLayout(bottom);
    setTabOrder(Ed_Key, BitBtn1);

    connect(frPreview, &QPrintPreviewWidget::paintRequested, this,
            &TFreeReportPrintViewer::paintPages);
    connect(frPreview, &QPrintPreviewWidget::previewChanged, this,
            &TFreeReportPrintViewer::refreshPageLabel);
    connect(spbPreviewPrint, &QToolButton::clicked, this,
            [this] { RunGuarded(m_prompts, [this] { spbPreviewPrintClick(); }); });
    connect(Btn_SavePdf, &QToolButton::clicked, this,
            [this] { RunGuarded(m_prompts, [this] { Btn_SavePdfClick(); }); });
    connect(BitBtn1, &QPushButton::clicked, this,
            [this] { RunGuarded(m_prompts, [this] { BitBtn1Click(); }); });
    connect(Btn_Size_OnePage, &QToolButton::clicked, frPreview, &QPrintPreviewWidget::fitInView);
    connect(Btn_Size_PageWidth, &QToolButton::clicked, frPreview, &QPrintPreviewWidget::fitToWidth);
    connect(Btn_Size_Full, &QToolButton::clicked, this, [this] {
        frPreview->setZoomMode(QPrintPreviewWidget::CustomZoom);
        frPreview->setZoomFactor(1.0);
    });
    connect(spbPreviewFirst, &QToolButton::clicked, this, [this] {
        frPreview->setCurrentPage(1);
        refreshPageLabel();
    });
    connect(spbPreviewPrior, &QToolButton::clicked, this, [this] {
        frPreview->setCurrentPage(qMax(1, currentPage() - 1));
        refreshPageLabel();
    });
    connect(spbPreviewNext, &QToolButton::clicked, this, [this] {
        frPreview->setCurrentPage(qMin(pageCount(), currentPage() + 1));
        refreshPageLabel();
    });
    connect(spbPreviewLast, &QToolButton::clicked, this, [this] {
        frPreview->setCurrentPage(pageCount());
        refreshPageLabel();
    });
    connect(Btn_Close, &QPushButton::clicked, this, &QDialog::accept);

    resize(622, 508);
    SetUpChrome(this, ChromeOptions{400, 200, SizeButtonKind::Platform});
    TranslateForm(this, QStringLiteral("[FreeReportPrintViewer]"));
}

TFreeReportPrintViewer::~TFreeReportPrintViewer() = default;

void TFreeReportPrintViewer::setReport(PreparedReport report)
{
    m_report = std::move(report);
    m_printer->setPageLayout(m_report.pageLayout());
    m_printer->setDocName(m_report.title());
    frPreview->updatePreview();
}

void TFreeReportPrintViewer::setDesigner(const QString& templatePath,
                                         std::function<PreparedReport()> prepareAgain)
{
    m_templatePath = templatePath;
    m_prepareAgain = std::move(prepareAgain);
}

int TFreeReportPrintViewer::currentPage() const
{
    return frPreview->currentPage();
}

int TFreeReportPrintViewer::pageCount() const
{
    return frPreview->pageCount();
}

void TFreeReportPrintViewer::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TFreeReportPrintViewer::FormShow()
{
    frPreview->fitToWidth();
    ShowCaption(this);
    Ed_Key->setFocus(Qt::OtherFocusReason);
    refreshPageLabel();
}

void TFreeReportPrintViewer::paintPages(QPrinter* printer)
{
    QPainter painter(printer);
    for (int page = 0; page < m_report.pageCount(); ++page) {
        if (page > 0)
            printer->newPage();
        m_report.paintPage(painter, page);
    }
}

void TFreeReportPrintViewer::refreshPageLabel()
{
    const int count = pageCount();
    Lab_Page->setText(count > 0 ? QStringLiteral("Page %1 / %2").arg(currentPage()).arg(count)
                                : QString());
}

void TFreeReportPrintViewer::spbPreviewPrintClick()
{
    // Printed or not, the preview closes afterwards.
    struct CloseAfter
    {
        QDialog* window;
        ~CloseAfter() { window->accept(); }
    } closeAfter{this};
    const int count = m_report.pageCount();
    Prompts::PrintSetup setup;
    setup.minPage = 1;
    setup.maxPage = qMax(1, count);
    setup.fromPage = 1;
    setup.toPage = qMax(1, count);
    const std::optional<Prompts::PrintSetup> chosen = m_prompts.choosePrint(setup);
    if (!chosen)
        return;
    int from = chosen->fromPage;
    int to = chosen->toPage;
    if (chosen->currentPageOnly)
        from = to = currentPage();
    PrintReport(m_report, chosen->target, from, to, chosen->copies);
}

void TFreeReportPrintViewer::Btn_SavePdfClick()
{
    const QString proposed = FileNameSafe(m_report.title()) + QStringLiteral(".pdf");
    const std::optional<QString> file = m_prompts.saveFileName(
        QStringLiteral("Enregistrer le rapport en PDF sous ..."),
        QStringLiteral("Document PDF|*.pdf"), proposed, QStringLiteral("pdf"));
    if (file)
        SaveReportAsPdf(m_report, *file);
}

void TFreeReportPrintViewer::BitBtn1Click()
{
    const bool codeWord = Ed_Key->text() == QLatin1String(DesignerCodeWord);
    Ed_Key->clear();
    if (!codeWord || m_templatePath.isEmpty())
        return;
    TReportEditor editor(
        m_templatePath, m_prompts,
        [this] {
            if (m_prepareAgain)
                setReport(m_prepareAgain());
        },
        this);
    editor.exec();
}

} // namespace tilvo
