#pragma once

#include "pictures/picture.h"

namespace bitvik {

// The game's own bitmaps, drawn in the 16 standard colours and sharp at any pixel ratio.
tk::Picture shuffleBitmap(); // 31 x 30: two framed pictures with arrows between them
tk::Picture eyeBitmap();     // 33 x 26: an eye
tk::Picture stopBitmap();    // 31 x 30: a stop sign
tk::Picture coverBitmap();   // 77 x 88: every pixel white

} // namespace bitvik
