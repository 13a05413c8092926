// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/ui/Chrome.h"

#include "common/SqlText.h"
#include "common/TextCatalogue.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QStyle>
#include <QToolButton>
#include <cmath>

namespace tilvo {

namespace {

constexpr int kTitleBarHeight = 18;

QString MaximizeHint()
{
    return LookupText(QStringLiteral("Common"), QStringLiteral("MaximizeWindows"),
                      QStringLiteral("Agrandir"));
}

QString MinimizeHint()
{
    return LookupText(QStringLiteral("Common"), QStringLiteral("MinimizeWindows"),
                      QStringLiteral("Réduire"));
}

QWidget* Find(QWidget* window, const char* name)
{
    return window->findChild<QWidget*>(QLatin1String(name));
}

QWidget* CloseButton(QWidget* window)
{
    QWidget* button = Find(window, "SysExitBtn");
    return button ? button : Find(window, "Exit");
}

// Mouse handling of one window: dragging by its title bar, resizing by its grip.
class ChromeController final : public QObject
{
public:
    ChromeController(QWidget* window, const ChromeOptions& options, bool standard)
        : QObject(window), m_window(window), m_options(options), m_standard(standard)
    {
        setObjectName(QStringLiteral("ChromeController"));
        window->installEventFilter(this);
    }

    void addDrag(QWidget* handle)
    {
        if (handle && !m_standard)
            handle->installEventFilter(this);
    }

    void addGrip(QWidget* grip)
    {
        if (!grip)
            return;
        m_grips.append(grip);
        grip->setCursor(Qt::SizeAllCursor);
        grip->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == m_window) {
            if (event->type() == QEvent::WindowActivate ||
                event->type() == QEvent::WindowDeactivate) {
                if (QWidget* bar = Find(m_window, "TitleBar"))
                    bar->update();
            }
            return false;
        }
        auto* widget = static_cast<QWidget*>(watched);
        const bool grip = m_grips.contains(widget);
        switch (event->type()) {
        case QEvent::MouseButtonPress: {
            auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() != Qt::LeftButton)
                return false;
            m_pressed = true;
            m_pressPoint = mouse->globalPosition().toPoint();
            m_pressGeometry = QRect(m_window->pos(), m_window->size());
            return true;
        }
        case QEvent::MouseMove: {
            if (!m_pressed)
                return false;
            const QPoint delta =
                static_cast<QMouseEvent*>(event)->globalPosition().toPoint() - m_pressPoint;
            if (grip)
                resizeBy(delta);
            else
                m_window->move(m_pressGeometry.topLeft() + delta);
            return true;
        }
        case QEvent::MouseButtonRelease:
            if (!m_pressed)
                return false;
            m_pressed = false;
            return true;
        default:
            return false;
        }
    }

private:
    void resizeBy(const QPoint& delta)
    {
        QSize size = m_window->size();
        const int width = m_pressGeometry.width() + delta.x();
        const int height = m_pressGeometry.height() + delta.y();
        if (width > m_options.minimumWidth)
            size.setWidth(width);
        if (height > m_options.minimumHeight)
            size.setHeight(height);
        // A fixed frame still follows its grip.
        if (m_window->minimumSize() == m_window->maximumSize())
            m_window->setFixedSize(size);
        else
            m_window->resize(size);
    }

    QWidget* m_window;
    ChromeOptions m_options;
    bool m_standard;
    QList<QWidget*> m_grips;
    bool m_pressed = false;
    QPoint m_pressPoint;
    QRect m_pressGeometry;
};

} // namespace

ChromeContext& Chrome()
{
    static ChromeContext context;
    return context;
}

TitleBar::TitleBar(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("TitleBar"));
    setFixedHeight(kTitleBarHeight);
}

QColor TitleBar::startColor() const
{
    return window()->isActiveWindow() ? kActiveTitleStart : kInactiveTitleStart;
}

QColor TitleBar::endColor() const
{
    return window()->isActiveWindow() ? kActiveTitleEnd : kInactiveTitleEnd;
}

void TitleBar::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    QLinearGradient gradient(0, 0, width(), 0);
    gradient.setColorAt(0, startColor());
    gradient.setColorAt(1, endColor());
    painter.fillRect(rect(), gradient);
}

TitleBarParts BuildTitleBar(QWidget* window, const QString& titleText, bool minimizeButton,
                            bool maximizeButton, const QString& closeButtonName)
{
    TitleBarParts parts;
    parts.bar = new TitleBar(window);
    auto* layout = new QHBoxLayout(parts.bar);
    layout->setContentsMargins(0, 0, 1, 0);
    layout->setSpacing(1);

    parts.title = new QLabel(titleText, parts.bar);
    parts.title->setObjectName(QStringLiteral("Title"));
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(13);
    font.setBold(true);
    parts.title->setFont(font);
    QPalette palette = parts.title->palette();
    palette.setColor(QPalette::WindowText, kTitleText);
    parts.title->setPalette(palette);
    layout->addWidget(parts.title, 1);

    const auto button = [&](const QString& name, const QString& hint, QStyle::StandardPixmap icon) {
        auto* b = new QToolButton(parts.bar);
        b->setObjectName(name);
        b->setToolTip(hint);
        b->setAutoRaise(true);
        b->setFixedSize(16, 16);
        b->setIcon(window->style()->standardIcon(icon));
        b->setIconSize(QSize(12, 12));
        layout->addWidget(b);
        return b;
    };
    if (minimizeButton)
        parts.minimize = button(QStringLiteral("SysMiniBtn"), QStringLiteral("Minimiser"),
                                QStyle::SP_TitleBarMinButton);
    if (maximizeButton)
        parts.maximize = button(QStringLiteral("SysMaxiBtn"), QStringLiteral("Agrandir"),
                                QStyle::SP_TitleBarMaxButton);
    parts.close =
        button(closeButtonName, QStringLiteral("Quitter"), QStyle::SP_TitleBarCloseButton);
    return parts;
}

QLabel* BuildGrip(QWidget* parent, const QString& name)
{
    auto* grip = new QLabel(parent);
    grip->setObjectName(name);
    grip->setFixedSize(12, 12);
    grip->setPixmap(parent->style()->standardIcon(QStyle::SP_TitleBarNormalButton).pixmap(12, 12));
    return grip;
}

void SetUpChrome(QWidget* window, const ChromeOptions& options)
{
    const ChromeContext& context = Chrome();
    const bool standard = context.standardChrome && !options.keepOwnChrome;
    auto* controller = new ChromeController(window, options, standard);

    QWidget* titleBar = Find(window, "TitleBar");
    auto* titleLabel = window->findChild<QLabel*>(QStringLiteral("Title"));
    QWidget* closeButton = CloseButton(window);
    QWidget* maximize = Find(window, "SysMaxiBtn");
    QWidget* minimize = Find(window, "SysMiniBtn");
    QWidget* resizePad = Find(window, "RezisePad");

    // Centre dialogs on the main window rather than on the screen.
    if (!options.mainWindow && options.centreOnMainWindow && context.mainWindow &&
        context.mainWindow != window) {
        const QRect main = context.mainWindow->frameGeometry();
        window->move(main.left() + (main.width() - window->width()) / 2,
                     main.top() + (main.height() - window->height()) / 2);
    }

    const Qt::WindowFlags kind = qobject_cast<QDialog*>(window) ? Qt::Dialog : Qt::Window;
    if (standard) {
        if (titleLabel)
            window->setWindowTitle(TrimLeadingBlanks(titleLabel->text()));
        Qt::WindowFlags flags = kind | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
        if (closeButton && !closeButton->isHidden())
            flags |= Qt::WindowCloseButtonHint;
        if (minimize && !minimize->isHidden())
            flags |= Qt::WindowMinimizeButtonHint;
        if (maximize && !maximize->isHidden())
            flags |= Qt::WindowMaximizeButtonHint;
        window->setWindowFlags(flags);
        const int hidden = titleBar ? titleBar->height() : 0;
        if (titleBar)
            titleBar->hide();
        if (!context.applicationIcon.isNull())
            window->setWindowIcon(context.applicationIcon);
        const QSize client(window->width(), window->height() - hidden);
        window->resize(client);
        // The main window is sized by its frame too: a fixed frame would refuse the saved
        // placement and the window manager's maximise.
        const bool resizable = resizePad || options.mainWindow;
        window->setProperty("tilvoFrame", resizable ? "resizable" : "fixed");
        if (resizable)
            window->setMinimumSize(options.minimumWidth > 0 ? options.minimumWidth + 1 : 0,
                                   options.minimumHeight > 0 ? options.minimumHeight + 1 : 0);
        else
            window->setFixedSize(client);
    } else {
        window->setWindowFlags(kind | Qt::FramelessWindowHint);
        window->setProperty("tilvoFrame", "none");
        controller->addDrag(titleBar);
        controller->addDrag(titleLabel);
        if (resizePad)
            controller->addGrip(resizePad);
    }
    controller->addGrip(Find(window, "Image1"));

    if (auto* button = qobject_cast<QToolButton*>(closeButton)) {
        QObject::connect(button, &QToolButton::clicked, window, [window] {
            if (auto* dialog = qobject_cast<QDialog*>(window))
                dialog->reject();
            else
                window->close();
        });
    }
    if (auto* button = qobject_cast<QToolButton*>(minimize)) {
        QObject::connect(button, &QToolButton::clicked, window,
                         [window] { window->showMinimized(); });
    }
    if (auto* button = qobject_cast<QToolButton*>(maximize)) {
        const SizeButtonKind kindOfButton = options.sizeButton;
        QObject::connect(button, &QToolButton::clicked, window, [window, kindOfButton] {
            if (kindOfButton == SizeButtonKind::WorkArea)
                ToggleWorkArea(window, WorkAreaOf(window));
            else if (kindOfButton == SizeButtonKind::Platform)
                TogglePlatformSize(window);
        });
    }
}

void ShowCaption(QWidget* window)
{
    if (auto* title = window->findChild<QLabel*>(QStringLiteral("Title"))) {
        QString caption = TrimLeadingBlanks(title->text());
        caption.replace(QLatin1String("''"), QLatin1String("'"));
        window->setWindowTitle(caption);
    }
}

void AddDragHandle(QWidget* window, QWidget* handle)
{
    if (auto* controller = window->findChild<ChromeController*>(QStringLiteral("ChromeController"),
                                                                Qt::FindDirectChildrenOnly))
        controller->addDrag(handle);
}

QRect WorkAreaOf(const QWidget* window)
{
    const QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect(0, 0, 800, 600);
}

void ToggleWorkArea(QWidget* window, const QRect& area)
{
    auto* button = Find(window, "SysMaxiBtn");
    const bool covers = window->pos() == area.topLeft() && window->size() == area.size();
    if (covers) {
        window->showNormal();
        const QSize client(800, 600);
        int left =
            static_cast<int>(std::lround((area.left() + area.width() - client.width()) / 2.0));
        int top =
            static_cast<int>(std::lround((area.top() + area.height() - client.height()) / 2.0));
        window->resize(client);
        window->move(std::max(left, 0), std::max(top, 0));
        if (button)
            button->setToolTip(MaximizeHint());
    } else {
        window->move(area.topLeft());
        window->resize(area.size());
        if (button)
            button->setToolTip(MinimizeHint());
    }
}

void TogglePlatformSize(QWidget* window)
{
    auto* button = Find(window, "SysMaxiBtn");
    if (window->isMaximized()) {
        window->showNormal();
        if (button)
            button->setToolTip(MaximizeHint());
    } else {
        window->showMaximized();
        if (button)
            button->setToolTip(MinimizeHint());
    }
}

} // namespace tilvo
