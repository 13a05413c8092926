// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace tilvo {

// The user's options and the main window's placement, kept in the data folder's settings
// file (tilvo.ini) between runs.
struct Settings
{
    // [Properties]
    bool FirstLaunch = true;
    bool TestMdac = false;
    bool Splash = true;
    bool HideBigFontMsg = false;
    bool ShowCalendar = false;
    // [Windows]
    int Left = -1;
    int Top = -1;
    int Width = -1;  // client width
    int Height = -1; // client height
    QString State;
    bool Style = false;
    // [Scan]
    QString TwainSource;
    bool ShowTwainUI = false;
    int MaxWidth = 5000;
    int JpegQuality = 100;
};

// A missing file, key or unreadable value gives its default.
Settings LoadSettings(const QString& path);
// Writes the fifteen keys in order; every other line of the file stays. False when the
// file cannot be written.
bool SaveSettings(const QString& path, const Settings& settings);

// The desktop's work area, edges as the placement rules compare them (right = left + width).
struct WorkArea
{
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

struct WindowPlacement
{
    int left = 0;
    int top = 0;
    int clientWidth = 800;
    int clientHeight = 600;
    bool maximized = false;
};

// Where the main window goes when it is shown: the saved rectangle when it fits the work
// area, otherwise 800 × 600 centred.
WindowPlacement RestorePlacement(const Settings& settings, const WorkArea& area);
// What the window's placement leaves in the settings when it closes: the rectangle only
// when the window is not maximised, the state always.
void StorePlacement(Settings& settings, const WindowPlacement& placement, bool minimized);

} // namespace tilvo
