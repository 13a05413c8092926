// SPDX-License-Identifier: GPL-3.0-or-later
#include "images/ui/TViewImage.h"

#include "common/Prompts.h"
#include "common/TextCatalogue.h"
#include "common/ui/Chrome.h"
#include "images/AccountPictures.h"
#include "images/FitPictureInBox.h"
#include "images/ui/PictureControl.h"

#include <QApplication>
#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QScreen>
#include <QToolButton>
#include <QVBoxLayout>

namespace tilvo {

namespace {

constexpr int kMargin = 10;

} // namespace

TViewImage::TViewImage(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("ViewImage"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    const TitleBarParts bar = BuildTitleBar(this, QStringLiteral("  Visualisation d'une Image"),
                                            false, true, QStringLiteral("Exit"));
    Title = bar.title;
    Exit = bar.close;
    Exit->setToolTip(QStringLiteral("Quitter"));
    SysMaxiBtn = bar.maximize;
    SysMaxiBtn->setToolTip(LookupText(QStringLiteral("Common"), QStringLiteral("MaximizeWindows"),
                                      QStringLiteral("Agrandir")));
    layout->addWidget(bar.bar);

    Panel1 = new QWidget(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Image = new PictureControl(Panel1);
    Image->setObjectName(QStringLiteral("Image"));
    layout->addWidget(Panel1, 1);
    auto* bottom = new QHBoxLayout;
    bottom->setContentsMargins(0, 0, 0, 0);
    bottom->addStretch();
    Image1 = BuildGrip(this, QStringLiteral("Image1"));
    bottom->addWidget(Image1);
    layout->addLayout(bottom);

    ChromeOptions options;
    options.minimumWidth = 200;
    options.minimumHeight = 200;
    options.sizeButton = SizeButtonKind::WorkArea;
    options.centreOnMainWindow = false;
    resize(492, 473 + bar.bar->height());
    SetUpChrome(this, options);
    // Centred on the screen.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.left() + (area.width() - width()) / 2,
             area.top() + (area.height() - height()) / 2);
    }
}

TViewImage::~TViewImage() = default;

void TViewImage::loadFile(const QString& path)
{
    setPicture(LoadSourcePicture(path).toQImage());
}

void TViewImage::setPicture(const QImage& picture)
{
    Image->setPicture(picture);
    FormResize();
}

void TViewImage::FormResize()
{
    const QImage& picture = Image->picture();
    const Placement p =
        FitPictureInBox(Panel1->width() - 2 * kMargin, Panel1->height() - 2 * kMargin,
                        picture.width(), picture.height());
    Image->setStretch(p.scaled);
    Image->setGeometry(p.left + kMargin, p.top + kMargin, p.width, p.height);
}

void TViewImage::showEvent(QShowEvent* event)
{
    ShowCaption(this);
    QDialog::showEvent(event);
    FormResize();
}

void TViewImage::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    FormResize();
}

void ViewPictureFile(const QString& path, Prompts& prompts, QWidget* parent)
{
    if (!QFile::exists(path)) {
        prompts.showMessage(PictureNotViewableMessage(path), Prompts::Icon::Error);
        return;
    }
    TViewImage viewer(parent);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    try {
        viewer.loadFile(path);
    } catch (...) {
        QApplication::restoreOverrideCursor();
        throw;
    }
    QApplication::restoreOverrideCursor();
    viewer.exec();
}

} // namespace tilvo
