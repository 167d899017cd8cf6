#include "keeponscreen.h"

#include "x11/screensize.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QWidget>

namespace windowing {

namespace {

// Qt 6.4 may keep a screen at its old place after another output is turned off and it moved: a
// window is not placed on a screen that the X server says is no longer there.
bool onTheServer(QRect screen) {
    const std::optional<QSize> size = x11ScreenSize();
    return !size || QRect(QPoint(), *size).contains(screen);
}

class PlaceAgainWhenOffScreen final : public QObject {
public:
    PlaceAgainWhenOffScreen(QWidget& window, std::function<void()> placeAgain)
        : QObject(&window), window(window), placeAgain(std::move(placeAgain)) {
        settled.setSingleShot(true);
        settled.setInterval(settleMs);
        connect(&settled, &QTimer::timeout, this, &PlaceAgainWhenOffScreen::check);
        for (QScreen* screen : QGuiApplication::screens())
            watch(screen);
        connect(qApp, &QGuiApplication::screenAdded, this, [this](QScreen* screen) {
            watch(screen);
            changed();
        });
        connect(qApp, &QGuiApplication::screenRemoved, this, &PlaceAgainWhenOffScreen::changed);
        connect(qApp, &QGuiApplication::primaryScreenChanged, this,
                &PlaceAgainWhenOffScreen::changed);
    }

private:
    static constexpr int settleMs = 300;

    void watch(QScreen* screen) {
        connect(screen, &QScreen::geometryChanged, this, &PlaceAgainWhenOffScreen::changed);
    }

    void changed() { settled.start(); }

    void check() {
        const QScreen* primary = QGuiApplication::primaryScreen();
        if (!window.isVisible() || !primary || !onTheServer(primary->geometry()))
            return;
        const QRect frame = window.frameGeometry();
        for (const QScreen* screen : QGuiApplication::screens()) {
            if (screen->geometry().contains(frame))
                return;
        }
        placeAgain();
    }

    QWidget& window;
    const std::function<void()> placeAgain;
    QTimer settled;
};

} // namespace

void placeAgainWhenOffScreen(QWidget& window, std::function<void()> placeAgain) {
    new PlaceAgainWhenOffScreen(window, std::move(placeAgain));
}

} // namespace windowing
