#include "forms/form.h"

#include "accessibility.h"
#include "formparts.h"
#include "formplacement.h"
#include "forms/graphiccontrol.h"
#include "forms/twips.h"
#include "runtime/program.h"
#include "windowing/desktop.h"

#include <QCloseEvent>
#include <QMouseEvent>
#include <QPainter>
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

Form::Form(Program& program, const FormDesign& formDesign)
    : running(program), design(formDesign), surface(std::make_unique<Surface>(*this)),
      layer(std::make_unique<Layer>(*surface)), tabOrder(std::make_unique<TabOrder>()) {
    // Marked first: Qt reads the window as soon as its title is set. A backdrop is decoration.
    if (design.staysBehind)
        leaveOutOfAccessibility(*surface);
    else
        readAsWindow(*surface);
    surface->setWindowFlags(windowFlags(design));
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
    // Said to the window manager too, so that a tiling one cannot squeeze the window.
    surface->setMinimumSize(client);
    if (design.staysBehind)
        surface->setFocusPolicy(Qt::NoFocus);
}

Form::~Form() = default;

Layer& layerOf(Form& form) {
    return *form.layer;
}

TabOrder& tabOrderOf(Form& form) {
    return *form.tabOrder;
}

QWidget* Form::widget() const {
    return surface.get();
}

qreal Form::devicePixelRatio() const {
    return surface->devicePixelRatioF();
}

float Form::width() const {
    int frame = surface->frameGeometry().width() - surface->geometry().width();
    if (frame <= 0)
        frame = designFramePixels(design.borderStyle);
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

void Form::show() {
    if (surface->isVisible())
        return;
    placeAtStart(*surface, design);
    tabOrder->apply();
    if (design.staysBehind && !backdrop)
        backdrop = std::make_unique<windowing::Backdrop>(*surface);
    if (backdrop)
        backdrop->show();
    else if (design.windowState == WindowState::Maximized)
        surface->showMaximized();
    else
        surface->show();
    if (!design.staysBehind) {
        surface->raise();
        surface->activateWindow();
        tabOrder->focusFirst(*surface);
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

void Form::paint(QPaintEvent* event) {
    QPainter painter(surface.get());
    painter.fillRect(event->rect(), toQColor(design.backColor));
    // Controls draw in device pixels, so pictures land on whole pixels at any scale.
    const qreal ratio = surface->devicePixelRatioF();
    painter.scale(1.0 / ratio, 1.0 / ratio);
    layer->paint(painter, ratio);
}

void Form::mousePress(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    layer->press(event->position() * twipsPerPixel);
}

// A click is a press and a release of the left button over the same control.
void Form::mouseRelease(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    if (GraphicControl* control = layer->release(event->position() * twipsPerPixel))
        running.guard([control] { control->click(); });
}

} // namespace tk
