#include "formplacement.h"

#include "twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace tk {

namespace {

// The design platform's frame: the border on each side and the title bar.
constexpr int fixedBorderPixels = 3;
constexpr int sizableBorderPixels = 4;
constexpr int titleBarPixels = 19;

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
        // Centred as the design platform's frame would be: the window system adds its own.
        const int border = designFramePixels(design.borderStyle);
        const int title = design.borderStyle == BorderStyle::None ? 0 : titleBarPixels;
        const QSize frame(border, border + title);
        const QSize room = available.size() - (window.size() + frame);
        window.move(available.topLeft() + QPoint(room.width() / 2, room.height() / 2));
        break;
    }
    case StartUpPosition::Manual:
        window.move(pixels(design.left), pixels(design.top));
        break;
    case StartUpPosition::WindowsDefault:
        break;
    }
}

} // namespace tk
