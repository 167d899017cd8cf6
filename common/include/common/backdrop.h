#pragma once

#include "forms/form.h"

namespace common {

// The backdrop both programs show behind their main window: black, borderless, maximised, with
// no controls and no code.
class Form2 final : public tk::Form {
public:
    explicit Form2(tk::Program& program);
};

} // namespace common
