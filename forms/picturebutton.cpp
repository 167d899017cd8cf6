#include "forms/picturebutton.h"

#include "edges.h"
#include "formparts.h"
#include "forms/form.h"
#include "handlers.h"
#include "windowedparts.h"

#include <cmath>
#include <QAbstractButton>
#include <QKeyEvent>
#include <QPainter>
#include <QStyleOptionFocusRect>

namespace tk {

class PictureButton::Widget final : public QAbstractButton {
public:
    Widget(QWidget* parent, Picture bitmap, Color text)
        : QAbstractButton(parent), bitmap(std::move(bitmap)), textColor(text) {
        setFocusPolicy(Qt::StrongFocus);
    }

protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (pressesFocusedButton(*event))
            click();
        else
            QAbstractButton::keyPressEvent(event);
    }

    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        const QRect r = rect();
        painter.fillRect(r, toQColor(systemButtonFace));
        paintBevel(painter, r, isDown());

        const QSize bitmapSize = bitmap.pixelSize();
        const QFontMetrics metrics(font());
        const int gap = 2;
        const int block = bitmapSize.height() + gap + metrics.height();
        const int shift = isDown() ? 1 : 0;
        const int top = (r.height() - block) / 2 + shift;
        if (!bitmap.isNull()) {
            const qreal ratio = devicePixelRatioF();
            const QSize device(int(std::lround(bitmapSize.width() * ratio)),
                               int(std::lround(bitmapSize.height() * ratio)));
            if (rendered.isNull() || rendered.size() != device) {
                rendered = QPixmap::fromImage(bitmap.render(device));
                rendered.setDevicePixelRatio(ratio);
                bitmap.whenRefined(this, [this] {
                    rendered = {};
                    update();
                });
            }
            painter.drawPixmap(QPoint((r.width() - bitmapSize.width()) / 2 + shift, top), rendered);
        }
        const QRect captionRect(shift, top + bitmapSize.height() + gap, r.width(),
                                metrics.height());
        painter.setPen(toQColor(textColor));
        painter.drawText(captionRect, Qt::AlignHCenter | Qt::AlignVCenter, text());
        if (hasFocus()) {
            const int width = metrics.horizontalAdvance(text());
            QStyleOptionFocusRect option;
            option.initFrom(this);
            option.rect = QRect((r.width() - width) / 2 - 2 + shift, captionRect.top(), width + 4,
                                captionRect.height());
            style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
        }
    }

private:
    static void paintBevel(QPainter& painter, const QRect& r, bool down) {
        const QColor light = down ? QColor(128, 128, 128) : Qt::white;
        const QColor dark = down ? Qt::white : QColor(128, 128, 128);
        drawBox(painter, r, Qt::black);
        const QRect face = r.adjusted(1, 1, -1, -1);
        for (int i = 0; i < 2; ++i)
            drawEdges(painter, face.adjusted(i, i, -i, -i), light, dark);
    }

    Picture bitmap;
    Color textColor;
    QPixmap rendered;
};

PictureButton::PictureButton(Form& form, const PictureButtonDesign& design)
    : button(std::make_unique<Widget>(form.widget(), design.picture, design.foreColor)) {
    button->setText(design.caption);
    button->setFont(toQFont(design.font));
    place(*button, tabOrderOf(form), design.placement);
    Program& program = form.program();
    raiseOnClick(*button, program, onClick);
}

PictureButton::~PictureButton() = default;

QString PictureButton::caption() const {
    return button->text();
}

void PictureButton::setCaption(const QString& caption) {
    button->setText(caption);
}

void PictureButton::setClickHandler(std::function<void()> handler) {
    onClick = std::move(handler);
}

QAbstractButton* widgetOf(const PictureButton& button) {
    return button.button.get();
}

} // namespace tk
