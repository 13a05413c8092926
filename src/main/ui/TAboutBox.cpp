// SPDX-License-Identifier: GPL-3.0-or-later
#include "main/ui/TAboutBox.h"

#include "common/ProgramInfo.h"
#include "common/ui/Chrome.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace tilvo {

TAboutBox::TAboutBox(int currentYear, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("AboutBox"));
    const QString name = QString::fromUtf8(ProgramTitle);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 8);
    layout->addWidget(
        BuildTitleBar(this, QStringLiteral(" A propos de ") + name, false, false).bar);
    auto* program = new QLabel(name, this);
    program->setObjectName(QStringLiteral("ProductName"));
    QFont big = program->font();
    big.setPointSize(big.pointSize() + 6);
    big.setBold(true);
    program->setFont(big);
    program->setAlignment(Qt::AlignCenter);
    auto* version =
        new QLabel(QStringLiteral("Version ") + QString::fromLatin1(ProgramVersion), this);
    version->setObjectName(QStringLiteral("Version"));
    version->setAlignment(Qt::AlignCenter);
    auto* maker =
        new QLabel(QStringLiteral("© %1 ").arg(currentYear) + QString::fromLatin1(MakerName), this);
    maker->setAlignment(Qt::AlignCenter);
    auto* ok = new QPushButton(QStringLiteral(" &Ok"), this);
    ok->setObjectName(QStringLiteral("OKButton"));
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    layout->addSpacing(12);
    layout->addWidget(program);
    layout->addWidget(version);
    layout->addWidget(maker);
    layout->addSpacing(12);
    layout->addWidget(ok, 0, Qt::AlignCenter);
    resize(320, 170);
    ChromeOptions options;
    options.keepOwnChrome = true;
    SetUpChrome(this, options);
    ShowCaption(this);
}

} // namespace tilvo
