#include "game/deal.h"

#include <cmath>

namespace bitvik {

using common::Int16;

TrayTable dealTray(tk::Random& random, Int16 lastCell) {
    TrayTable trayOrder;
    trayOrder.makeRoomFor(lastCell.value() + 1);
    for (Int16 i = 0; i <= lastCell; i = i + 1)
        trayOrder(i) = -1;

    for (Int16 i = 0; i <= lastCell; i = i + 1) {
        Int16 idx;
        do {
            // In single precision, step by step: Int((lastCell + 1) * r + 1) - 1.
            const float r = random.next();
            const float scaled = float((lastCell + 1).value()) * r;
            const float whole = std::floor(scaled + 1.0f);
            idx = Int16::round(whole - 1.0f);
            // The largest r rounds up to name the slot past the last one when the cells are a
            // power of two; that slot is drawn again, as a taken one is, rather than written.
        } while (idx > lastCell || trayOrder(idx) != -1);
        trayOrder(idx) = i;
    }
    return trayOrder;
}

} // namespace bitvik
