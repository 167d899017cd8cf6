#include "formplacement.h"

#include "windowing/desktop.h"

#include <QSize>

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
    if (design.windowState == WindowState::Maximized) {
        windowing::placeMaximised(window);
        return;
    }
    switch (design.startUpPosition) {
    case StartUpPosition::CenterScreen: {
        const int border = designFramePixels(design.borderStyle);
        const int title = design.borderStyle == BorderStyle::None ? 0 : titleBarPixels;
        windowing::placeCentred(window, QSize(border, border + title));
        break;
    }
    case StartUpPosition::WindowsDefault:
        break;
    }
}

} // namespace tk
