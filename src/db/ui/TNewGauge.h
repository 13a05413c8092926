// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

class QLabel;
class QProgressBar;
class QPushButton;

namespace tilvo {

// `TNewGauge`: the small stay-on-top window of an update run, with its label `info` and its bar.
class TNewGauge final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TNewGauge)

public:
    TNewGauge();

    QLabel* info;
    QProgressBar* bar;
    QPushButton* Btn_Cancel;
};

} // namespace tilvo
