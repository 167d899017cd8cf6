#pragma once

#include <QObject>

class QWidget;

namespace tk {

// A backdrop is hidden when the last of its program's other windows is minimised and comes back,
// behind it, with the first of them that is restored.
class BackdropFollower final : public QObject {
public:
    explicit BackdropFollower(QWidget& backdrop);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void follow(QWidget& window);

    QWidget& backdrop;
    bool hidden = false;
};

} // namespace tk
