// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QIcon>
#include <QPointer>
#include <QString>
#include <QWidget>

class QLabel;
class QToolButton;

namespace tilvo {

// What every window shares of its frame. Windows are designed without the platform's frame:
// each has its own title bar (`TitleBar`, holding the label `Title` and the picture buttons
// `SysExitBtn` or `Exit`, `SysMaxiBtn`, `SysMiniBtn`) and, where it can be resized, a grip
// (`Image1` or `RezisePad`). The controls are found by these names.
//
// With standard chrome on, the drawn title bar is hidden and the platform's frame takes its
// place; grips named `Image1` keep working. The frame is resizable, down to just above the
// grip's minimums, for the main window and the windows with a `RezisePad`; fixed otherwise.

enum class SizeButtonKind
{
    None,
    Platform,
    WorkArea
};

struct ChromeOptions
{
    int minimumWidth = 0;  // a width from the grip is applied only above this
    int minimumHeight = 0; // likewise for the height
    SizeButtonKind sizeButton = SizeButtonKind::None;
    bool mainWindow = false;
    bool keepOwnChrome = false; // drop-down lists, splash and about windows
    bool centreOnMainWindow = true;
};

// Set once by the start-up; tests set it for each mode.
struct ChromeContext
{
    bool standardChrome = true;
    QPointer<QWidget> mainWindow;
    QIcon applicationIcon;
};
ChromeContext& Chrome();

// The title bar colours of an active and an inactive window.
inline const QColor kActiveTitleStart{0x33, 0x98, 0xFF};
inline const QColor kActiveTitleEnd{0x00, 0x50, 0xD2};
inline const QColor kInactiveTitleStart{0xA0, 0xBE, 0xFA};
inline const QColor kInactiveTitleEnd{0x68, 0x89, 0xCE};
inline const QColor kTitleText{0xFF, 0xFF, 0xFF};

// The drawn title bar: a horizontal gradient in the active or inactive colours.
class TitleBar final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TitleBar)

public:
    explicit TitleBar(QWidget* parent);
    QColor startColor() const;
    QColor endColor() const;

protected:
    void paintEvent(QPaintEvent* event) override;
};

// Builds the title bar of a window: 18 pixels high, the label `Title` (Arial 13 pixels, white)
// and, at its right, the buttons asked for, named and with their hints.
struct TitleBarParts
{
    TitleBar* bar = nullptr;
    QLabel* title = nullptr;
    QToolButton* minimize = nullptr; // SysMiniBtn
    QToolButton* maximize = nullptr; // SysMaxiBtn
    QToolButton* close = nullptr;    // SysExitBtn or Exit
};
TitleBarParts BuildTitleBar(QWidget* window, const QString& titleText, bool minimizeButton,
                            bool maximizeButton, const QString& closeButtonName = "SysExitBtn");
// A resize grip picture for the bottom right corner, named `Image1` or `RezisePad`.
QLabel* BuildGrip(QWidget* parent, const QString& name = "Image1");

// Called by every window when it is created, before it is shown.
void SetUpChrome(QWidget* window, const ChromeOptions& options = ChromeOptions());
// Called by every dialog when it is shown: the caption is the title label's text without its
// leading blanks and with "''" read as "'".
void ShowCaption(QWidget* window);

// Marks a control (besides the title bar and its label) that drags the window.
void AddDragHandle(QWidget* window, QWidget* handle);

// Covering the work area, or back to an 800 × 600 client area centred in it.
void ToggleWorkArea(QWidget* window, const QRect& workArea);
// Maximised or back to normal.
void TogglePlatformSize(QWidget* window);
QRect WorkAreaOf(const QWidget* window);

} // namespace tilvo
