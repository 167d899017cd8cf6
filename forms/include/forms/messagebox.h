#pragma once

#include <QString>

namespace tk {

// Style values of the message box: buttons, icon and default button, added together.
namespace MsgBoxStyle {
inline constexpr int OkOnly = 0;
inline constexpr int OkCancel = 1;
inline constexpr int YesNoCancel = 3;
inline constexpr int YesNo = 4;
inline constexpr int Critical = 16; // the stop icon
inline constexpr int Question = 32;
inline constexpr int Exclamation = 48;
inline constexpr int Information = 64;
inline constexpr int DefaultButton2 = 256;
inline constexpr int DefaultButton3 = 512;
} // namespace MsgBoxStyle

// Codes of the button pressed.
namespace MsgBoxResult {
inline constexpr int Ok = 1;
inline constexpr int Cancel = 2;
inline constexpr int Yes = 6;
inline constexpr int No = 7;
} // namespace MsgBoxResult

// A modal message box with Swedish buttons; returns the code of the button pressed.
int msgBox(const QString& prompt, int style, const QString& title);

} // namespace tk
