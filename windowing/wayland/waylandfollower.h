#pragma once

#include "backdropfollower.h"

#include <QPointer>
#include <QTimer>

namespace windowing {

// Wayland lets a program neither stack its windows nor learn that one was minimised. There the
// other windows become transients of the backdrop, which compositors keep above their parent,
// and a window that has lost the focus and then stops being drawn counts as minimised.
class WaylandFollower : public BackdropFollower {
public:
    explicit WaylandFollower(QWidget& backdrop);

protected:
    bool exposed(QObject* surface) override;
    void shown(QWidget& window) override;
    void deactivated(QWidget& window) override;

    // Asks the compositor for frames of the windows whose drawing tells whether they are away.
    virtual void askForFrames();
    // Whether the backdrop is away for a reason of its own, so that a window not drawn was not
    // minimised.
    virtual bool backdropAway() const { return false; }

private:
    void hideIfUnseen();
    void comeBack(QWidget& window);

    QPointer<QWidget> left; // the window that lost the focus, while it is watched or away
    QTimer repaint;
    QTimer look;
    int looksLeft = 0;
};

} // namespace windowing
