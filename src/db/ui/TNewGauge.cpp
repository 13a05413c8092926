// SPDX-License-Identifier: GPL-3.0-or-later
#include "db/ui/TNewGauge.h"

#include "common/TextCatalogue.h"
#include "common/ui/Chrome.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace tilvo {

TNewGauge::TNewGauge()
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("TNewGauge"));
    setFixedSize(360, 70);
    setStyleSheet(QStringLiteral("TNewGauge { background: white; border: 1px solid #0050D2; }"));
    auto* layout = new QVBoxLayout(this);
    info = new QLabel(this);
    info->setObjectName(QStringLiteral("info"));
    bar = new QProgressBar(this);
    bar->setObjectName(QStringLiteral("bar"));
    bar->setTextVisible(false);
    Btn_Cancel = new QPushButton(QStringLiteral("Annuler"), this);
    Btn_Cancel->setObjectName(QStringLiteral("Btn_Cancel"));
    Btn_Cancel->hide();
    layout->addWidget(info);
    layout->addWidget(bar);
    TranslateForm(this, QStringLiteral("[NewGauge]"));
    const QRect area = WorkAreaOf(this);
    move(area.left() + (area.width() - width()) / 2, area.top() + (area.height() - height()) / 2);
}

} // namespace tilvo
