#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QTimer>

class QWidget;

namespace tk {

// A backdrop is hidden when the last of its program's other windows is minimised and comes back,
// behind it, with the first of them that is restored.
//
// Wayland lets a program neither stack its windows nor learn that one was minimised. There the
// other windows become transients of the backdrop, which compositors keep above their parent,
// and a window that has lost the focus and then stops being drawn counts as minimised.
class BackdropFollower final : public QObject {
public:
    explicit BackdropFollower(QWidget& backdrop);

    // Maximised behind the other windows; under sway tiled, without a frame.
    void showBackdrop();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void noteSeen(const QObject* exposed);
    void follow(QWidget& window);
    void stackAbove(QWidget& window);
    void watchAfterLeaving(QWidget& window);
    void hideIfUnseen();
    void comeBack(QWidget& window);
    void dropSwayFrame();
    void drawFirstFrame();
    void focusSway(const QWidget& window);

    QWidget& backdrop;
    const bool wayland;
    const bool sway;
    bool hidden = false;
    QPointer<QWidget> left;        // the window that lost the focus, while it is watched or away
    QList<QPointer<QWidget>> seen; // the windows that have been on the screen
    QTimer repaint;
    QTimer look;
    int looksLeft = 0;
    QTimer frameless;
    int framelessLeft = 0;
};

} // namespace tk
