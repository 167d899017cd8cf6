#pragma once

#include "forms/windowed.h"

#include <memory>
#include <QString>

class QLineEdit;

namespace tk {

struct TextBoxDesign {
    Placement placement;
    QString text;
    FontDesign font;
    Color backColor = systemWindowBackground;
    Color foreColor = systemWindowText;
    // A flat single line around the text, or none.
    bool border = true;
    // What a screen reader calls the box, which has no caption of its own to be read.
    QString accessibleName;
    // A box whose only role is a caption: a screen reader reads its text as a label.
    bool caption = false;
};

// A single-line text box.
class TextBox {
public:
    TextBox(Form& form, const TextBoxDesign& design);
    ~TextBox();

    QString text() const;
    void setText(const QString& text);

    QLineEdit* widget() const;

private:
    class Widget;
    std::unique_ptr<Widget> box;
};

} // namespace tk
