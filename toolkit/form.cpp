#include "form.h"

#include "graphiccontrol.h"
#include "program.h"
#include "taskbar.h"
#include "twips.h"

#include <algorithm>
#include <QApplication>
#include <QCloseEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QWidget>

namespace tk {

class Form::Surface final : public QWidget {
public:
    explicit Surface(Form& form) : owner(form) {}

protected:
    void paintEvent(QPaintEvent* event) override { owner.paint(event); }
    void mousePressEvent(QMouseEvent* event) override { owner.mousePress(event); }
    void mouseReleaseEvent(QMouseEvent* event) override { owner.mouseRelease(event); }
    void closeEvent(QCloseEvent* event) override { owner.closing(event); }

private:
    Form& owner;
};

// A backdrop goes when the last of its program's other windows is minimised and comes back,
// behind it, with the first of them that is restored.
class Form::Follower final : public QObject {
public:
    explicit Follower(QWidget& backdrop) : backdrop(backdrop) { qApp->installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::WindowStateChange) {
            auto* window = qobject_cast<QWidget*>(watched);
            if (window && window->isWindow() && window != &backdrop)
                follow(*window);
        }
        return false;
    }

private:
    void follow(QWidget& window) {
        if (!window.isMinimized()) {
            if (backdrop.isMinimized()) {
                backdrop.setWindowState(restored);
                window.raise();
                window.activateWindow();
            }
            return;
        }
        for (const QWidget* other : QApplication::topLevelWidgets()) {
            if (other != &backdrop && other->isVisible() && !other->isMinimized())
                return;
        }
        // The window system reports a minimised window as minimised only, maximised or not.
        restored = backdrop.windowState() & ~Qt::WindowMinimized;
        backdrop.setWindowState(restored | Qt::WindowMinimized);
    }

    QWidget& backdrop;
    Qt::WindowStates restored;
};

namespace {

// The design platform's frame: the border on each side and the title bar.
constexpr int fixedBorderPixels = 3;
constexpr int sizableBorderPixels = 4;
constexpr int titleBarPixels = 19;

Qt::WindowFlags flagsFor(const FormDesign& design) {
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

} // namespace

Form::Form(Program& program, const FormDesign& formDesign)
    : running(program), design(formDesign), surface(std::make_unique<Surface>(*this)) {
    surface->setWindowFlags(flagsFor(design));
    surface->setWindowTitle(design.caption);
    surface->setAttribute(Qt::WA_OpaquePaintEvent);
    surface->setFont(toQFont(design.font));
    if (!design.icon.isNull())
        surface->setWindowIcon(design.icon);
    const QSize client(pixels(design.clientWidth), pixels(design.clientHeight));
    if (design.borderStyle == BorderStyle::FixedSingle)
        surface->setFixedSize(client);
    else
        surface->resize(client);
    if (design.staysBehind)
        surface->setFocusPolicy(Qt::NoFocus);
}

Form::~Form() = default;

QWidget* Form::widget() const {
    return surface.get();
}

int Form::designFramePixels() const {
    switch (design.borderStyle) {
    case BorderStyle::None:
        return 0;
    case BorderStyle::FixedSingle:
        return 2 * fixedBorderPixels;
    case BorderStyle::Sizable:
        return 2 * sizableBorderPixels;
    }
    return 0;
}

float Form::width() const {
    int frame = surface->frameGeometry().width() - surface->geometry().width();
    if (frame <= 0)
        frame = designFramePixels();
    return design.clientWidth + float(frame) * twipsPerPixel;
}

bool Form::isVisible() const {
    return surface->isVisible();
}

void Form::loadAndShow() {
    running.guard([this] { Form_Load(); });
    if (!running.hasEnded())
        show();
}

void Form::placeAtStart() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect available = screen->geometry();
    if (design.windowState == WindowState::Maximized) {
        surface->setGeometry(available);
        return;
    }
    switch (design.startUpPosition) {
    case StartUpPosition::CenterScreen: {
        // Centred as the design platform's frame would be: the window system adds its own.
        const int title = design.borderStyle == BorderStyle::None ? 0 : titleBarPixels;
        const QSize frame(designFramePixels(), designFramePixels() + title);
        const QSize room = available.size() - (surface->size() + frame);
        surface->move(available.topLeft() + QPoint(room.width() / 2, room.height() / 2));
        break;
    }
    case StartUpPosition::Manual:
        surface->move(pixels(design.left), pixels(design.top));
        break;
    case StartUpPosition::WindowsDefault:
        break;
    }
}

void Form::show() {
    if (surface->isVisible())
        return;
    placeAtStart();
    applyTabOrder();
    if (design.staysBehind && !follower) {
        keepOutOfTaskbar(*surface);
        follower = std::make_unique<Follower>(*surface);
    }
    if (design.windowState == WindowState::Maximized)
        surface->showMaximized();
    else
        surface->show();
    if (!design.staysBehind) {
        surface->raise();
        surface->activateWindow();
        for (const auto& [index, control] : tabStops) {
            if (control->isVisibleTo(surface.get()) && control->isEnabled() &&
                control->focusPolicy() != Qt::NoFocus) {
                control->setFocus(Qt::OtherFocusReason);
                break;
            }
        }
    }
}

void Form::close() {
    surface->close();
}

void Form::closing(QCloseEvent* event) {
    int cancel = 0;
    running.guard([this, &cancel] { Form_Unload(cancel); });
    if (cancel != 0 || running.hasEnded())
        event->ignore();
    else
        event->accept();
}

void Form::addTabStop(QWidget* control, int tabIndex) {
    tabStops.emplace_back(tabIndex, control);
    std::stable_sort(tabStops.begin(), tabStops.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
}

void Form::applyTabOrder() {
    // A container that takes no focus stays out of the chain: Qt would move its children along
    // with it, while their own tab positions may lie elsewhere.
    QWidget* previous = nullptr;
    for (const auto& [index, control] : tabStops) {
        if (control->focusPolicy() == Qt::NoFocus)
            continue;
        if (previous)
            QWidget::setTabOrder(previous, control);
        previous = control;
    }
}

void Form::addAtBottom(GraphicControl& control) {
    layer.insert(layer.begin(), &control);
}

void Form::stackAbove(GraphicControl& control, const GraphicControl& anchor) {
    std::erase(layer, &control);
    const auto at = std::find(layer.begin(), layer.end(), &anchor);
    layer.insert(at == layer.end() ? layer.end() : at + 1, &control);
    repaint();
}

void Form::bringToFront(GraphicControl& control) {
    std::erase(layer, &control);
    layer.push_back(&control);
    repaint();
}

void Form::sendToBack(GraphicControl& control) {
    std::erase(layer, &control);
    layer.insert(layer.begin(), &control);
    repaint();
}

void Form::remove(GraphicControl& control) {
    std::erase(layer, &control);
    if (pressed == &control)
        pressed = nullptr;
    repaint();
}

int Form::stackingPosition(const GraphicControl& control) const {
    const auto at = std::find(layer.begin(), layer.end(), &control);
    return at == layer.end() ? -1 : int(at - layer.begin());
}

GraphicControl* Form::controlAt(const QPointF& twips) const {
    for (auto it = layer.rbegin(); it != layer.rend(); ++it) {
        if ((*it)->takesClickAt(twips))
            return *it;
    }
    return nullptr;
}

void Form::repaint() {
    surface->update();
}

void Form::paint(QPaintEvent* event) {
    QPainter painter(surface.get());
    painter.fillRect(event->rect(), toQColor(design.backColor));
    // Controls draw in device pixels, so pictures land on whole pixels at any scale.
    const qreal ratio = surface->devicePixelRatioF();
    painter.scale(1.0 / ratio, 1.0 / ratio);
    for (const GraphicControl* control : layer) {
        if (control->visible())
            control->paint(painter, ratio);
    }
}

void Form::mousePress(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    pressed = controlAt(event->position() * twipsPerPixel);
}

// A click is a press and a release of the left button over the same control.
void Form::mouseRelease(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !pressed)
        return;
    GraphicControl* control = pressed;
    pressed = nullptr;
    if (controlAt(event->position() * twipsPerPixel) == control)
        running.guard([control] { control->click(); });
}

} // namespace tk
