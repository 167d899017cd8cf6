#pragma once

#include <QString>

namespace tk {

// The reason a system call gave (an errno value) as a short Swedish phrase that fits after a
// colon in an error report; an unusual code is named by its number and its system text.
QString systemErrorText(int code);

} // namespace tk
