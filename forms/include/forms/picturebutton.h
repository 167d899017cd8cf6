#pragma once

#include "forms/windowed.h"
#include "pictures/picture.h"

#include <functional>
#include <memory>
#include <QString>

class QAbstractButton;

namespace tk {

struct PictureButtonDesign {
    Placement placement;
    QString caption;
    FontDesign font;
    Color foreColor = systemButtonText;
    Picture picture;
};

// A push button with a three-dimensional bevel showing a bitmap above its caption.
class PictureButton {
public:
    PictureButton(Form& form, const PictureButtonDesign& design);
    ~PictureButton();

    QString caption() const;
    void setCaption(const QString& caption);
    void setClickHandler(std::function<void()> handler);

    // The tests reach the widget through the forms' own controlwidgets.h.
    friend QAbstractButton* widgetOf(const PictureButton& button);

private:
    class Widget;
    std::unique_ptr<Widget> button;
    std::function<void()> onClick;
};

} // namespace tk
