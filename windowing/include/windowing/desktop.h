#pragma once

#include <memory>
#include <QByteArray>
#include <QList>
#include <QSize>

class QWidget;

namespace windowing {

class BackdropFollower;
class DestroyedWindows;

// The program's arguments, before the application object is made from them, with the platforms
// for Qt to try added unless the user chose one: X11 first where an X server is reachable.
QList<QByteArray> withPlatformChoice(QList<QByteArray> arguments);

// A window not yet shown placed over its whole screen.
void placeMaximised(QWidget& window);
// A window not yet shown placed in the centre of its screen, with the frame the desktop will draw
// around it or, where the desktop does not say, its size grown by `designFrame` (the design's
// borders and title bar); centred so again when a change of the screens leaves it whole on none.
void placeCentred(QWidget& window, QSize designFrame);

// A window that stays behind the program's others: shown maximised, out of the taskbar, hidden
// while they are all minimised and back behind the first one restored.
class Backdrop {
public:
    explicit Backdrop(QWidget& window);
    ~Backdrop();
    Backdrop(const Backdrop&) = delete;
    Backdrop& operator=(const Backdrop&) = delete;

    void show();

private:
    std::unique_ptr<BackdropFollower> follower;
};

// For as long as it lives, a window of the program that another client destroys is closed as the
// window system would close it.
class DestroyedWindowCloser {
public:
    DestroyedWindowCloser();
    ~DestroyedWindowCloser();
    DestroyedWindowCloser(const DestroyedWindowCloser&) = delete;
    DestroyedWindowCloser& operator=(const DestroyedWindowCloser&) = delete;

private:
    std::unique_ptr<DestroyedWindows> destroyed;
};

} // namespace windowing
