#include "forms/frame.h"

#include "edges.h"
#include "formparts.h"
#include "forms/form.h"
#include "windowedparts.h"

#include <QPainter>
#include <QWidget>

namespace tk {

class Frame::Widget final : public QWidget {
public:
    Widget(QWidget* parent, QString caption) : QWidget(parent), caption(std::move(caption)) {
        setFocusPolicy(Qt::NoFocus);
    }

    const QString caption;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        const QFontMetrics metrics(font());
        // The line runs through the middle of the caption, which sits a little in from the left.
        const int lineY = metrics.height() / 2;
        drawBox(painter, rect().adjusted(0, lineY, 0, 0), Qt::black);
        if (caption.isEmpty())
            return;
        constexpr int captionLeft = 6;
        const QRect text(captionLeft, 0, metrics.horizontalAdvance(caption) + 1, metrics.height());
        painter.fillRect(text, palette().color(QPalette::Window));
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(text, Qt::AlignLeft | Qt::AlignVCenter, caption);
    }
};

Frame::Frame(Form& form, const FrameDesign& design)
    : owner(form), frame(std::make_unique<Widget>(form.widget(), design.caption)) {
    frame->setFont(toQFont(design.font));
    // A screen reader names the group of option buttons by it, without the caption's indent.
    frame->setAccessibleName(design.caption.trimmed());
    setColors(*frame, design.backColor, design.foreColor);
    place(*frame, tabOrderOf(form), design.placement);
}

Frame::~Frame() = default;

QString Frame::caption() const {
    return frame->caption;
}

QWidget* widgetOf(const Frame& frame) {
    return frame.frame.get();
}

} // namespace tk
