// SPDX-License-Identifier: GPL-3.0-or-later
#include "publish/ui/THtmlView.h"

#include "common/ColorHelpers.h"
#include "common/Error.h"
#include "common/FileHelpers.h"
#include "common/Prompts.h"
#include "common/TextCatalogue.h"
#include "common/TextHelpers.h"
#include "common/Windows1252.h"
#include "common/ui/Chrome.h"
#include "common/ui/ErrorGuard.h"
#include "publish/HtmlFolders.h"
#include "publish/HtmlText.h"
#include "publish/ui/PrintTargets.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPdfWriter>
#include <QPrinter>
#include <QPushButton>
#include <QShowEvent>
#include <QTextBrowser>
#include <QTextDocument>
#include <QVBoxLayout>
#include <memory>

namespace tilvo {

namespace {

constexpr int kBackgroundColor = 15132390;

QPushButton* Button(QWidget* parent, const char* name, const QString& caption)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QLatin1String(name));
    button->setAutoDefault(false);
    return button;
}

// Copies one file over another; the old file goes only once the new one is whole.
void CopyReplacing(const QString& source, const QString& target)
{
    if (QFileInfo(source).canonicalFilePath() == QFileInfo(target).canonicalFilePath())
        return;
    const QString partial = target + QStringLiteral(".part");
    QFile::remove(partial);
    if (!QFile::copy(source, partial))
        return;
    QFile::remove(target);
    if (!QFile::rename(partial, target))
        QFile::remove(partial);
}

} // namespace

void SaveHtmlPageWithPictures(const QString& tempFolder, const QString& destination)
{
    const QString temp = WithTrailingBackslash(tempFolder);
    const QString page = temp + QStringLiteral("index.htm");
    if (QFileInfo::exists(page)) {
        const QString target = WithTrailingBackslash(QFileInfo(destination).absolutePath());
        for (const QString& name : ListFiles(temp, QStringLiteral("*.jpg")))
            CopyReplacing(temp + name, target + name);
        for (const QString& name : ListFiles(temp, QStringLiteral("*.htm"))) {
            if (name != QLatin1String("index.htm"))
                CopyReplacing(temp + name, target + name);
        }
    }
    CopyReplacing(page, destination);
}

THtmlView::THtmlView(const QString& dataFolder, Prompts& prompts, QWidget* parent)
    : QDialog(parent), m_dataFolder(WithTrailingBackslash(dataFolder)), m_prompts(prompts)
{
    setObjectName(QStringLiteral("HtmlView"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    const TitleBarParts bar = BuildTitleBar(this, QString(), false, true);
    Title = bar.title;
    layout->addWidget(bar.bar);

    Pan_BackGround = new QWidget(this);
    Pan_BackGround->setObjectName(QStringLiteral("Pan_BackGround"));
    Pan_BackGround->setAutoFillBackground(true);
    QPalette background = Pan_BackGround->palette();
    background.setColor(QPalette::Window, ColorFromWindows(kBackgroundColor));
    Pan_BackGround->setPalette(background);
    // The view stays 10 pixels smaller than its panel, whatever the window's size.
    auto* panel = new QVBoxLayout(Pan_BackGround);
    panel->setContentsMargins(5, 5, 5, 5);
    WebBrowser_Html = new QTextBrowser(Pan_BackGround);
    WebBrowser_Html->setObjectName(QStringLiteral("WebBrowser_Html"));
    WebBrowser_Html->setOpenExternalLinks(true);
    panel->addWidget(WebBrowser_Html);
    layout->addWidget(Pan_BackGround, 1);

    auto* bottom = new QHBoxLayout;
    bottom->setContentsMargins(6, 4, 0, 0);
    bottom->setSpacing(6);
    bottom->addStretch();
    HtmlBtn = Button(this, "HtmlBtn", QStringLiteral(" &Enregistrer"));
    HtmlBtn->setToolTip(QStringLiteral("Enregistrer la page et ses images"));
    PdfBtn = Button(this, "PdfBtn", QStringLiteral(" En &PDF"));
    PdfBtn->setToolTip(QStringLiteral("Enregistrer la page en PDF"));
    ImprimerBtn = Button(this, "ImprimerBtn", QStringLiteral(" &Imprimer"));
    ImprimerBtn->setToolTip(QStringLiteral("Imprimer sur l'imprimante par défaut"));
    Btn_Close = Button(this, "Btn_Close", QStringLiteral(" &Fermer"));
    for (QPushButton* b : {HtmlBtn, PdfBtn, ImprimerBtn, Btn_Close})
        bottom->addWidget(b);
    bottom->addWidget(BuildGrip(this, QStringLiteral("RezisePad")), 0, Qt::AlignBottom);
    layout->addLayout(bottom);

    connect(HtmlBtn, &QPushButton::clicked, this,
            [this] { RunGuarded(m_prompts, [this] { HtmlBtnClick(); }); });
    connect(PdfBtn, &QPushButton::clicked, this,
            [this] { RunGuarded(m_prompts, [this] { PdfBtnClick(); }); });
    connect(ImprimerBtn, &QPushButton::clicked, this,
            [this] { RunGuarded(m_prompts, [this] { ImprimerBtnClick(); }); });
    connect(Btn_Close, &QPushButton::clicked, this, &QDialog::accept);

    resize(720, 488);
    SetUpChrome(this, ChromeOptions{400, 200, SizeButtonKind::Platform});
    TranslateForm(this, QStringLiteral("[HtmlView]"));
}

void THtmlView::setTitle(const QString& title)
{
    Title->setText(title);
}

void THtmlView::setPagePath(const QString& path)
{
    m_pagePath = path;
}

void THtmlView::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void THtmlView::FormShow()
{
    ShowCaption(this);
    loadPage();
}

void THtmlView::loadPage()
{
    QFile file(m_pagePath);
    if (!file.open(QIODevice::ReadOnly)) {
        WebBrowser_Html->setHtml(
            QStringLiteral("<html><body><h3>Page introuvable</h3><p>La page \"") +
            HtmlText(m_pagePath) +
            QStringLiteral("\" n'existe pas ou ne peut pas être lue.</p>"
                           "</body></html>"));
        return;
    }
    const QString html = DecodeWindows1252(file.readAll());
    const QFileInfo info(m_pagePath);
    QTextDocument* document = WebBrowser_Html->document();
    WebBrowser_Html->setSearchPaths({info.absolutePath()});
    // The pictures are given to the document itself, so that printing (which works on a copy
    // of it) finds them as the view does.
    const QString folder = WithTrailingBackslash(info.absolutePath());
    for (const QString& name : ListFiles(folder, QStringLiteral("*.jpg"))) {
        const QImage image(folder + name);
        if (!image.isNull())
            document->addResource(QTextDocument::ImageResource, QUrl(name), image);
    }
    WebBrowser_Html->setHtml(html);
    document->setMetaInformation(QTextDocument::DocumentUrl,
                                 QUrl::fromLocalFile(info.absoluteFilePath()).toString());
}

void THtmlView::printPage(QPagedPaintDevice& device) const
{
    std::unique_ptr<QTextDocument> copy(WebBrowser_Html->document()->clone());
    copy->print(&device);
}

void THtmlView::ImprimerBtnClick()
{
    const std::optional<Prompts::PrintTarget> target = m_prompts.defaultPrintTarget();
    if (!target)
        return;
    QPrinter printer(QPrinter::HighResolution);
    ApplyPrintTarget(printer, *target);
    printer.setDocName(TrimBlanks(Title->text()));
    printPage(printer);
}

void THtmlView::PdfBtnClick()
{
    const std::optional<QString> file = m_prompts.saveFileName(
        QStringLiteral("Enregistrer la page en PDF sous ..."), QStringLiteral("Document PDF|*.pdf"),
        m_dataFolder + QStringLiteral("page.pdf"), QStringLiteral("pdf"));
    if (!file)
        return;
    // The writer reports nothing when it cannot make its file: try it first.
    {
        QFile probe(*file);
        if (!probe.open(QIODevice::WriteOnly))
            throw Error(QStringLiteral("Impossible d'écrire le fichier \"%1\".").arg(*file));
    }
    QPdfWriter writer(*file);
    writer.setTitle(TrimBlanks(Title->text()));
    printPage(writer);
}

void THtmlView::HtmlBtnClick()
{
    const std::optional<QString> file =
        m_prompts.saveFileName(LookupText(QStringLiteral("HtmlView"), QStringLiteral("String1"),
                                          QStringLiteral("Enregistrer la page html sous ...")),
                               QStringLiteral("Page web|*.htm;*.html"),
                               m_dataFolder + QStringLiteral("index.htm"), QStringLiteral("htm"));
    if (!file)
        return;
    SaveHtmlPageWithPictures(HtmlTempFolder(m_dataFolder), *file);
}

} // namespace tilvo
