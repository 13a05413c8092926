// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/SplashDisplay.h"

#include <QWidget>

class QLabel;
class QProgressBar;

namespace tilvo {

// `TSplash`: a borderless 480 × 170 window centred on the screen while the program starts.
class TSplash final : public QWidget, public SplashDisplay
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TSplash)

public:
    explicit TSplash(int currentYear);

    void setGauge(int maximum, int position) override;
    void setInfo(const QString& text) override;
    QString info() const override;
    int gaugePosition() const override;

    QLabel* version_;
    QLabel* Lab_Maker;
    QLabel* info_;
    QProgressBar* barre;

private:
    void letPaint();
};

} // namespace tilvo
