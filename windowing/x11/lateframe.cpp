#include "x11/lateframe.h"

#include "placement.h"
#include "x11/frameextents.h"

#include <QObject>
#include <QWidget>

namespace windowing {

namespace {

// A window manager that does not say its frame before the window is mapped (kwin), or says
// another than it then draws (mutter 48 says none, and draws a title bar once its frames client
// has caught up, up to seconds later), says on the window the frame it draws: as soon as that
// differs from the one the window was placed with, the window is centred again in it, once.
// Qt's own frame geometry may never learn of such a late frame, so the window manager's word is
// read itself; a word that cannot be a frame is not taken.
class CentreOnceFramed final : public QObject {
public:
    CentreOnceFramed(QWidget& window, QRect available, std::optional<QMargins> placedWith)
        : QObject(&window), window(window), available(available), placedWith(placedWith) {
        startTimer(lookEveryMs);
    }

protected:
    void timerEvent(QTimerEvent*) override {
        const std::optional<QMargins> sides =
            believableFrame(frameExtentsNow(window), window.size(), available.size());
        if (sides && sides != placedWith) {
            window.setGeometry(centredIn(available, window.size(), *sides));
            deleteLater();
        } else if (++looks == lastLook) {
            deleteLater();
        }
    }

private:
    static constexpr int lookEveryMs = 100;
    static constexpr int lastLook = 100;

    QWidget& window;
    const QRect available;
    const std::optional<QMargins> placedWith;
    int looks = 0;
};

} // namespace

void centreAgainWhenFramed(QWidget& window, QRect available, std::optional<QMargins> placedWith) {
    new CentreOnceFramed(window, available, placedWith);
}

} // namespace windowing
