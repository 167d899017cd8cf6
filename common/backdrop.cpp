#include "common/backdrop.h"

namespace common {

namespace {

tk::FormDesign backdropDesign() {
    tk::FormDesign design;
    design.caption = QString();
    design.borderStyle = tk::BorderStyle::None;
    design.windowState = tk::WindowState::Maximized;
    design.backColor = tk::rgb(0, 0, 0);
    design.clientWidth = 4680;
    design.clientHeight = 3195;
    design.startUpPosition = tk::StartUpPosition::WindowsDefault;
    design.staysBehind = true;
    return design;
}

} // namespace

Form2::Form2(tk::Program& program) : tk::Form(program, backdropDesign()) {}

} // namespace common
