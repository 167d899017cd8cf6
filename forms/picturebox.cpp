#include "forms/picturebox.h"

#include "accessibility.h"
#include "formparts.h"
#include "windowedparts.h"

#include <QFrame>

namespace tk {

PictureBox::PictureBox(Form& form, const PictureBoxDesign& design) {
    auto frame = std::make_unique<QFrame>(form.widget());
    // Nothing shows it later: hidden at design, it is nothing a screen reader should offer.
    if (!design.placement.visible)
        leaveOutOfAccessibility(*frame);
    frame->setFrameStyle(design.appearance == Appearance::Flat ? QFrame::Box | QFrame::Plain
                                                               : QFrame::Panel | QFrame::Sunken);
    frame->setFocusPolicy(Qt::TabFocus);
    setColors(*frame, design.backColor, design.foreColor);
    place(*frame, tabOrderOf(form), design.placement);
    box = std::move(frame);
}

PictureBox::~PictureBox() = default;

bool PictureBox::visible() const {
    return box->isVisible();
}

} // namespace tk
