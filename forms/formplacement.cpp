#include "formplacement.h"

#include "forms/twips.h"
#include "frameextents.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace tk {

namespace {

// The design platform's frame: the border on each side and the title bar.
constexpr int fixedBorderPixels = 3;
constexpr int sizableBorderPixels = 4;
constexpr int titleBarPixels = 19;

// Where the window's client area goes for its frame, with the given sides, to be centred.
QRect centredIn(QRect available, QSize client, QMargins sides) {
    const QSize room = available.size() - client.grownBy(sides);
    const QPoint corner = available.topLeft() + QPoint(room.width() / 2, room.height() / 2);
    return QRect(corner + QPoint(sides.left(), sides.top()), client);
}

// A window manager that does not say its frame before the window is mapped (kwin), or says
// another than it then draws (mutter 48 says none, and draws a title bar once its frames client
// has caught up, up to seconds later), says on the window the frame it draws: as soon as that
// differs from the one the window was placed with, the window is centred again in it, once.
// Qt's own frame geometry may never learn of such a late frame, so the window manager's word is
// read itself.
class CentreOnceFramed final : public QObject {
public:
    CentreOnceFramed(QWidget& window, QRect available, std::optional<QMargins> placedWith)
        : QObject(&window), window(window), available(available), placedWith(placedWith) {
        startTimer(lookEveryMs);
    }

protected:
    void timerEvent(QTimerEvent*) override {
        const std::optional<QMargins> sides = frameExtentsNow(window);
        if (sides && sides != placedWith) {
            window.setGeometry(centredIn(available, window.size(), *sides));
            deleteLater();
        } else if (++looks == lastLook) {
            deleteLater();
        }
    }

private:
    static constexpr int lookEveryMs = 100;
    static constexpr int lastLook = 100;

    QWidget& window;
    const QRect available;
    const std::optional<QMargins> placedWith;
    int looks = 0;
};

} // namespace

Qt::WindowFlags windowFlags(const FormDesign& design) {
    Qt::WindowFlags flags = Qt::Window;
    switch (design.borderStyle) {
    case BorderStyle::None:
        flags |= Qt::FramelessWindowHint;
        break;
    case BorderStyle::FixedSingle:
        flags |= Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                 Qt::MSWindowsFixedSizeDialogHint;
        break;
    case BorderStyle::Sizable:
        break;
    }
    if (design.staysBehind)
        flags |= Qt::WindowStaysOnBottomHint | Qt::WindowDoesNotAcceptFocus;
    return flags;
}

int designFramePixels(BorderStyle borderStyle) {
    switch (borderStyle) {
    case BorderStyle::None:
        return 0;
    case BorderStyle::FixedSingle:
        return 2 * fixedBorderPixels;
    case BorderStyle::Sizable:
        return 2 * sizableBorderPixels;
    }
    return 0;
}

void placeAtStart(QWidget& window, const FormDesign& design) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect available = screen->geometry();
    if (design.windowState == WindowState::Maximized) {
        window.setGeometry(available);
        return;
    }
    switch (design.startUpPosition) {
    case StartUpPosition::CenterScreen: {
        // Centred with the frame the window manager will draw; where it does not say, with the
        // design platform's.
        const std::optional<QMargins> sides = frameExtents(window);
        if (sides) {
            // The window itself is placed, inside its frame, so that no window manager's
            // reading of a frame's position can shift it.
            window.setGeometry(centredIn(available, window.size(), *sides));
        } else {
            const int border = designFramePixels(design.borderStyle);
            const int title = design.borderStyle == BorderStyle::None ? 0 : titleBarPixels;
            const QSize framed = window.size() + QSize(border, border + title);
            window.move(centredIn(available, framed, QMargins()).topLeft());
        }
        if (QGuiApplication::platformName() == QLatin1String("xcb"))
            new CentreOnceFramed(window, available, sides);
        break;
    }
    case StartUpPosition::WindowsDefault:
        break;
    }
}

} // namespace tk
