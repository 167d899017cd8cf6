#pragma once

#include <QString>

namespace tk {

// Style values of the message box: buttons and icon, added together.
namespace MsgBoxStyle {
inline constexpr int OkOnly = 0;
inline constexpr int YesNo = 4;
inline constexpr int Critical = 16; // the stop icon
} // namespace MsgBoxStyle

// Codes of the button pressed.
namespace MsgBoxResult {
inline constexpr int Ok = 1;
inline constexpr int Yes = 6;
inline constexpr int No = 7;
} // namespace MsgBoxResult

// A modal message box with Swedish buttons, the first of them the default; returns the code of
// the button pressed.
int msgBox(const QString& prompt, int style, const QString& title);

} // namespace tk
