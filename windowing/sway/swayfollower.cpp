#include "sway/swayfollower.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QWidget>
#include <QWindow>

namespace windowing {

namespace {

// sway takes a command for a window only once the window has drawn its first frame.
constexpr int framelessAfterMs = 50;
constexpr int framelessTries = 40;
// The compositor asks a new window for its first frame at once.
constexpr int firstFrameWaitMs = 2000;
constexpr int firstFrameStepMs = 20;

// sway's criteria for this program's windows that also match the given ones.
QByteArray ofThisProgram(const QByteArray& criteria) {
    return "[pid=" + QByteArray::number(QCoreApplication::applicationPid()) + " " + criteria + "]";
}

} // namespace

SwayFollower::SwayFollower(QWidget& backdrop) : WaylandFollower(backdrop) {
    frameless.setSingleShot(true);
    frameless.setInterval(framelessAfterMs);
    connect(&frameless, &QTimer::timeout, this, &SwayFollower::dropFrame);
}

void SwayFollower::showBackdrop() {
    WaylandFollower::showBackdrop();
    drawFirstFrame();
}

bool SwayFollower::exposed(QObject* surface) {
    if (surface != backdrop.windowHandle() || !backdrop.windowHandle()->isExposed())
        return WaylandFollower::exposed(surface);
    framelessLeft = framelessTries;
    dropFrame();
    return true;
}

// sway lifts the floating window it focuses, a click or the pointer over the game included, and so
// hides the question the game waits for; focusing the question lifts it back.
void SwayFollower::activated(QWidget& window) {
    const QWidget* modal = QApplication::activeModalWidget();
    if (modal && modal != &window)
        focus(*modal);
}

void SwayFollower::askForFrames() {
    WaylandFollower::askForFrames();
    backdrop.update();
}

// sway stops drawing the backdrop too where it shows another workspace: nothing was minimised.
bool SwayFollower::backdropAway() const {
    return !backdrop.windowHandle()->isExposed();
}

// sway 1.10 tiles a transient beside a parent that has not drawn yet, as if it had none: the
// program's other windows are shown after the backdrop's first frame.
void SwayFollower::drawFirstFrame() {
    const QDeadlineTimer deadline(firstFrameWaitMs);
    while (!backdrop.windowHandle()->isExposed() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, firstFrameStepMs);
    backdrop.repaint();
}

// sway tiles the backdrop, with a title bar and a border that only its own command takes away, and
// floats the transients above it: tiled windows lie under floating ones, which take the clicks
// from the top down. Over a full-screen window sway 1.7 gives a click to its lowest transient that
// the pointer is in, and sway 1.10 shows none of them.
void SwayFollower::dropFrame() {
    if (ask(ofThisProgram("tiling") + " border none") == SwayAnswer::Refused && --framelessLeft > 0)
        frameless.start();
}

void SwayFollower::focus(const QWidget& window) {
    const QString title = window.windowTitle();
    if (title.isEmpty() || title.contains(QLatin1Char('"')) || title.contains(QLatin1String("\\E")))
        return;
    ask(ofThisProgram("title=\"^\\Q" + title.toUtf8() + "\\E$\"") + " focus");
}

// A sway that lets one command go unanswered (hung, or too busy) is not asked again: the game
// plays on with the backdrop's frame and the focus as sway leaves them.
SwayAnswer SwayFollower::ask(const QByteArray& command) {
    if (!answering)
        return SwayAnswer::Unanswered;
    const SwayAnswer answer = swayCommand(command);
    answering = answer != SwayAnswer::Unanswered;
    return answer;
}

} // namespace windowing
