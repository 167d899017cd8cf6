#include "forms/textbox.h"

#include "accessibility.h"
#include "edges.h"
#include "formparts.h"
#include "forms/form.h"
#include "windowedparts.h"

#include <QLineEdit>
#include <QPainter>

namespace tk {

class TextBox::Widget final : public QLineEdit {
public:
    Widget(QWidget* parent, bool border) : QLineEdit(parent), border(border) {
        setFrame(false);
        // The text starts just inside the line, as in a box drawn by the window system.
        setTextMargins(border ? 2 : 1, 0, 1, 0);
    }

protected:
    void paintEvent(QPaintEvent* event) override {
        QLineEdit::paintEvent(event);
        if (!border)
            return;
        QPainter painter(this);
        drawBox(painter, rect(), Qt::black);
    }

private:
    bool border;
};

TextBox::TextBox(Form& form, const TextBoxDesign& design)
    : box(std::make_unique<Widget>(form.widget(), design.border)) {
    // Marked first: Qt reads the box as soon as its text is set.
    if (design.caption)
        readAsCaption(*box);
    setText(design.text);
    box->setFont(toQFont(design.font));
    box->setAccessibleName(design.accessibleName);
    setColors(*box, design.backColor, design.foreColor);
    place(*box, tabOrderOf(form), design.placement);
}

TextBox::~TextBox() = default;

QString TextBox::text() const {
    return box->text();
}

// A long text shows its beginning, as when the user has not yet moved into it.
void TextBox::setText(const QString& text) {
    box->setText(text);
    box->setCursorPosition(0);
}

QLineEdit* TextBox::widget() const {
    return box.get();
}

} // namespace tk
