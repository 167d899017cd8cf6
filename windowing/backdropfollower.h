#pragma once

#include <QList>
#include <QObject>
#include <QPointer>

class QWidget;

namespace windowing {

// A backdrop is hidden when the last of its program's other windows is minimised and comes back,
// behind it, with the first of them that is restored. This is what every platform does with the
// window states Qt reports; what a protocol adds (the X11 taskbar, Wayland's transients and
// unannounced minimising, sway's commands) it adds through the hooks below.
class BackdropFollower : public QObject {
public:
    explicit BackdropFollower(QWidget& backdrop);

    // Maximised behind the other windows.
    virtual void showBackdrop();

protected:
    bool eventFilter(QObject* watched, QEvent* event) final;

    // A surface of the program's became visible or not: true where the hook took the event, which
    // then does not count the window as seen.
    virtual bool exposed(QObject*) { return false; }
    // Of the program's top-level windows: one was activated (the backdrop too), and, of the other
    // ones, one without a parent was shown, or one lost the focus while the backdrop shows.
    virtual void activated(QWidget&) {}
    virtual void shown(QWidget&) {}
    virtual void deactivated(QWidget&) {}

    QWidget& backdrop;
    bool hidden = false;

private:
    void noteSeen(const QObject* exposed);
    void follow(QWidget& window);

    QList<QPointer<QWidget>> seen; // the windows that have been on the screen
};

} // namespace windowing
