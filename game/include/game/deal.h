#pragma once

#include "game/traytable.h"
#include "runtime/random.h"

namespace bitvik {

// The tray slot of each of the cells 0 to lastCell, drawn from `random` as it stands: a cell
// takes the first free slot that a draw names. Nothing but the generator's state decides it.
TrayTable dealTray(tk::Random& random, common::Int16 lastCell);

} // namespace bitvik
