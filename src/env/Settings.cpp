// SPDX-License-Identifier: GPL-3.0-or-later
#include "env/Settings.h"

#include "common/IniFile.h"

#include <cmath>

namespace tilvo {

namespace {

const QString kProperties = QStringLiteral("Properties");
const QString kWindows = QStringLiteral("Windows");
const QString kScan = QStringLiteral("Scan");

int CentredEdge(int farEdge, int size)
{
    return static_cast<int>(std::lround((static_cast<double>(farEdge) - size) / 2.0));
}

} // namespace

Settings LoadSettings(const QString& path)
{
    const IniFile ini(path);
    const Settings d;
    Settings s;
    s.FirstLaunch = ini.readBool(kProperties, QStringLiteral("FirstLaunch"), d.FirstLaunch);
    s.TestMdac = ini.readBool(kProperties, QStringLiteral("TestMdac"), d.TestMdac);
    s.Splash = ini.readBool(kProperties, QStringLiteral("Splash"), d.Splash);
    s.HideBigFontMsg =
        ini.readBool(kProperties, QStringLiteral("HideBigFontMsg"), d.HideBigFontMsg);
    s.ShowCalendar = ini.readBool(kProperties, QStringLiteral("ShowCalendar"), d.ShowCalendar);
    s.Left = ini.readInteger(kWindows, QStringLiteral("Left"), d.Left);
    s.Top = ini.readInteger(kWindows, QStringLiteral("Top"), d.Top);
    s.Width = ini.readInteger(kWindows, QStringLiteral("Width"), d.Width);
    s.Height = ini.readInteger(kWindows, QStringLiteral("Height"), d.Height);
    s.State = ini.readString(kWindows, QStringLiteral("State"), d.State);
    s.Style = ini.readBool(kWindows, QStringLiteral("Style"), d.Style);
    s.TwainSource = ini.readString(kScan, QStringLiteral("TwainSource"), d.TwainSource);
    s.ShowTwainUI = ini.readBool(kScan, QStringLiteral("ShowTwainUI"), d.ShowTwainUI);
    s.MaxWidth = ini.readInteger(kScan, QStringLiteral("MaxWidth"), d.MaxWidth);
    s.JpegQuality = ini.readInteger(kScan, QStringLiteral("JpegQuality"), d.JpegQuality);
    return s;
}

bool SaveSettings(const QString& path, const Settings& s)
{
    IniFile ini(path);
    ini.writeBool(kProperties, QStringLiteral("FirstLaunch"), s.FirstLaunch);
    ini.writeBool(kProperties, QStringLiteral("TestMdac"), s.TestMdac);
    ini.writeBool(kProperties, QStringLiteral("Splash"), s.Splash);
    ini.writeBool(kProperties, QStringLiteral("HideBigFontMsg"), s.HideBigFontMsg);
    ini.writeBool(kProperties, QStringLiteral("ShowCalendar"), s.ShowCalendar);
    ini.writeInteger(kWindows, QStringLiteral("Left"), s.Left);
    ini.writeInteger(kWindows, QStringLiteral("Top"), s.Top);
    ini.writeInteger(kWindows, QStringLiteral("Width"), s.Width);
    ini.writeInteger(kWindows, QStringLiteral("Height"), s.Height);
    ini.writeString(kWindows, QStringLiteral("State"), s.State);
    ini.writeBool(kWindows, QStringLiteral("Style"), s.Style);
    ini.writeString(kScan, QStringLiteral("TwainSource"), s.TwainSource);
    ini.writeBool(kScan, QStringLiteral("ShowTwainUI"), s.ShowTwainUI);
    ini.writeInteger(kScan, QStringLiteral("MaxWidth"), s.MaxWidth);
    ini.writeInteger(kScan, QStringLiteral("JpegQuality"), s.JpegQuality);
    return ini.save();
}

WindowPlacement RestorePlacement(const Settings& s, const WorkArea& area)
{
    WindowPlacement p;
    // A rectangle with no size (an edited or damaged file) is no placement either.
    const bool fits = s.Width > 0 && s.Height > 0 && qint64(s.Left) + s.Width <= area.right &&
                      qint64(s.Top) + s.Height <= area.bottom;
    if (fits) {
        p.left = s.Left;
        p.top = s.Top;
        p.clientWidth = s.Width;
        p.clientHeight = s.Height;
    } else {
        p.clientWidth = 800;
        p.clientHeight = 600;
        p.left = CentredEdge(area.right, p.clientWidth);
        p.top = CentredEdge(area.bottom, p.clientHeight);
    }
    if (p.left < 0)
        p.left = std::max(0, CentredEdge(area.right, p.clientWidth));
    if (p.top < 0)
        p.top = std::max(0, CentredEdge(area.bottom, p.clientHeight));
    p.maximized = s.State == QLatin1String("wsMaximized");
    return p;
}

void StorePlacement(Settings& s, const WindowPlacement& p, bool minimized)
{
    if (!p.maximized) {
        s.Left = p.left;
        s.Top = p.top;
        s.Height = p.clientHeight;
        s.Width = p.clientWidth;
    }
    if (p.maximized)
        s.State = QStringLiteral("wsMaximized");
    else if (minimized)
        s.State = QStringLiteral("wsMinimized");
    else
        s.State = QStringLiteral("wsNormal");
}

} // namespace tilvo
