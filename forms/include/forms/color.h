#pragma once

#include <QColor>
#include <QtGlobal>

namespace tk {

// A colour as stored by the forms: 0x00BBGGRR, or with the top bit set a system colour by index.
using Color = quint32;

inline constexpr Color systemWindowBackground = 0x80000005;
inline constexpr Color systemWindowText = 0x80000008;
inline constexpr Color systemButtonFace = 0x8000000F;
inline constexpr Color systemButtonText = 0x80000012;

inline constexpr Color rgb(int red, int green, int blue) {
    return Color(red) | Color(green) << 8 | Color(blue) << 16;
}

// System colours follow the user's colour scheme, which here is the application palette.
QColor toQColor(Color color);

} // namespace tk
