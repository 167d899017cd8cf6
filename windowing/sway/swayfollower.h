#pragma once

#include "sway/swayipc.h"
#include "wayland/waylandfollower.h"

#include <QTimer>

namespace windowing {

// sway on Wayland: the backdrop tiled without a frame under the floating windows, the question
// kept focused, through sway's own commands.
class SwayFollower final : public WaylandFollower {
public:
    explicit SwayFollower(QWidget& backdrop);

    void showBackdrop() override;

protected:
    bool exposed(QObject* surface) override;
    void activated(QWidget& window) override;
    void askForFrames() override;
    bool backdropAway() const override;

private:
    void dropFrame();
    void drawFirstFrame();
    void focus(const QWidget& window);
    SwayAnswer ask(const QByteArray& command);

    QTimer frameless;
    int framelessLeft = 0;
    bool answering = true; // false once sway has let a command go unanswered
};

} // namespace windowing
