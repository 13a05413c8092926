// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ui/TMdacMsg.h"

#include "common/ui/Chrome.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace tilvo {

TMdacMsg::TMdacMsg(const QString& programFolder, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TMdacMsg"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    layout->addWidget(
        BuildTitleBar(this, QStringLiteral(" Information"), false, false, QStringLiteral("Exit"))
            .bar);
    WebBrowser1 = new QTextBrowser(this);
    WebBrowser1->setObjectName(QStringLiteral("WebBrowser1"));
    WebBrowser1->setOpenExternalLinks(true);
    WebBrowser1->setSource(QUrl::fromLocalFile(programFolder + QStringLiteral("html/mdac.htm")));
    layout->addWidget(WebBrowser1, 1);
    auto* bottom = new QHBoxLayout;
    bottom->setContentsMargins(6, 0, 0, 0);
    bottom->addStretch();
    CloseBtn = new QPushButton(QStringLiteral(" &Fermer"), this);
    CloseBtn->setObjectName(QStringLiteral("CloseBtn"));
    connect(CloseBtn, &QPushButton::clicked, this, &QDialog::accept);
    bottom->addWidget(CloseBtn);
    bottom->addWidget(BuildGrip(this, QStringLiteral("Image1")), 0, Qt::AlignBottom);
    layout->addLayout(bottom);
    resize(470, 317);
    SetUpChrome(this, ChromeOptions{400, 200});
    ShowCaption(this);
}

} // namespace tilvo
