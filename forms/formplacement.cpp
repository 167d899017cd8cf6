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

// A window manager that does not say its frame before the window is mapped (kwin), or says
// another than it draws (mutter 48), draws one all the same: once the window stands inside it,
// the window is centred again with the frame it has.
class CentreOnceFramed final : public QObject {
public:
    CentreOnceFramed(QWidget& window, QRect available)
        : QObject(&window), window(window), available(available) {
        window.installEventFilter(this);
        startTimer(lookEveryMs);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint || event->type() == QEvent::Move)
            centreIfFramed();
        return false;
    }

    // mutter 48 has its frames drawn by a client of its own and says the frame after the window
    // has drawn itself, with no event reaching the window: the frame is looked for.
    void timerEvent(QTimerEvent*) override {
        if (++looks > lastLook)
            deleteLater(); // never framed, or done
        else
            centreIfFramed();
    }

private:
    static constexpr int lookEveryMs = 100;
    static constexpr int lastLook = 50;

    void centreIfFramed() {
        const QSize framed = window.frameGeometry().size();
        if (looks > lastLook || framed == window.size())
            return; // done, or not framed yet
        const QSize room = available.size() - framed;
        const QPoint corner = available.topLeft() + QPoint(room.width() / 2, room.height() / 2);
        if (window.frameGeometry().topLeft() != corner)
            window.move(corner);
        looks = lastLook + 1;
        window.removeEventFilter(this);
        deleteLater();
    }

    QWidget& window;
    const QRect available;
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
        const int border = designFramePixels(design.borderStyle);
        const int title = design.borderStyle == BorderStyle::None ? 0 : titleBarPixels;
        const QSize frame =
            sides ? QSize(sides->left() + sides->right(), sides->top() + sides->bottom())
                  : QSize(border, border + title);
        const QSize room = available.size() - (window.size() + frame);
        const QPoint corner = available.topLeft() + QPoint(room.width() / 2, room.height() / 2);
        // With its frame known the window itself is placed, inside the frame, so that no window
        // manager's reading of a frame's position can shift it.
        if (sides)
            window.setGeometry(QRect(corner + QPoint(sides->left(), sides->top()), window.size()));
        else
            window.move(corner);
        // mutter 48 answers the question with no frame at all, and then draws one.
        if (QGuiApplication::platformName() == QLatin1String("xcb"))
            new CentreOnceFramed(window, available);
        break;
    }
    case StartUpPosition::WindowsDefault:
        break;
    }
}

} // namespace tk
