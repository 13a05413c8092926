// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ui/TSplash.h"

#include "common/LetWindowsRepaint.h"
#include "common/ProgramInfo.h"
#include "common/ui/Chrome.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>
#include <QVBoxLayout>

namespace tilvo {

TSplash::TSplash(int currentYear)
    : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("TSplash"));
    setFixedSize(480, 170);
    setStyleSheet(QStringLiteral("TSplash { background: white; border: 1px solid #0050D2; }"));
    auto* layout = new QHBoxLayout(this);
    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("Image1"));
    picture->setPixmap(QApplication::windowIcon().pixmap(128, 128));
    picture->setFixedSize(140, 140);
    layout->addWidget(picture);

    auto* text = new QVBoxLayout;
    auto* title = new QLabel(QString::fromUtf8(ProgramTitle), this);
    QFont big = title->font();
    big.setPixelSize(32);
    big.setBold(true);
    title->setFont(big);
    title->setStyleSheet(QStringLiteral("color: #0050D2;"));
    version_ = new QLabel(QStringLiteral("Version ") + QString::fromLatin1(ProgramVersion), this);
    version_->setObjectName(QStringLiteral("version_"));
    Lab_Maker = new QLabel(QStringLiteral("© 2008 ") + QString::fromLatin1(MakerName), this);
    Lab_Maker->setObjectName(QStringLiteral("Lab_Maker"));
    Lab_Maker->setText(
        Lab_Maker->text().replace(QLatin1String("2008"), QString::number(currentYear)));
    info_ = new QLabel(QStringLiteral("Chargement ..."), this);
    info_->setObjectName(QStringLiteral("info"));
    barre = new QProgressBar(this);
    barre->setObjectName(QStringLiteral("barre"));
    barre->setTextVisible(false);
    barre->setFixedHeight(6);
    text->addWidget(title);
    text->addWidget(version_);
    text->addWidget(Lab_Maker);
    text->addStretch();
    text->addWidget(info_);
    text->addWidget(barre);
    layout->addLayout(text, 1);

    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        move(area.left() + (area.width() - width()) / 2,
             area.top() + (area.height() - height()) / 2);
    }
}

void TSplash::setGauge(int maximum, int position)
{
    barre->setMaximum(maximum);
    barre->setValue(position);
    letPaint();
}

void TSplash::setInfo(const QString& text)
{
    info_->setText(text);
    letPaint();
}

QString TSplash::info() const
{
    return info_->text();
}

int TSplash::gaugePosition() const
{
    return barre->value();
}

void TSplash::letPaint()
{
    if (isVisible())
        LetWindowsRepaint();
}

} // namespace tilvo
