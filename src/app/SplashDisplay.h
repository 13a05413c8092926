// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace tilvo {

// The splash window as the start-up drives it: an eight-step gauge and a status text, which
// the update scripts also write their progress into.
class SplashDisplay
{
public:
    virtual ~SplashDisplay() = default;
    virtual void setGauge(int maximum, int position) = 0;
    virtual void setInfo(const QString& text) = 0;
    virtual QString info() const = 0;
    virtual int gaugePosition() const = 0;
};

} // namespace tilvo
