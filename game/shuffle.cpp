#include "form1.h"

#include <cmath>

namespace bitvik {

void Form1::Command3D3_Click() {
    ShuffleTray();
}

// Deals the cells to the tray slots at random, as long as no piece has been placed.
void Form1::ShuffleTray() {
    if (BITVIK.placedCount != 0)
        return;
    random.randomize();
    TrayTable& trayOrder = BITVIK.trayOrder;
    trayOrder.makeRoomFor(BITVIK.lastCell.value() + 1);

    const Int16 lastToClear = BITVIK.lastCell;
    for (Int16 i = 0; i <= lastToClear; i = i + 1)
        trayOrder(i) = -1;

    const Int16 lastToFill = BITVIK.lastCell;
    for (Int16 i = 0; i <= lastToFill; i = i + 1) {
        Int16 idx;
        do {
            // In single precision, step by step: Int((lastCell + 1) * r + 1) - 1.
            const float r = random.next();
            const float scaled = float((BITVIK.lastCell + 1).value()) * r;
            const float whole = std::floor(scaled + 1.0f);
            idx = Int16::round(whole - 1.0f);
        } while (trayOrder(idx) != -1);
        trayOrder(idx) = i;
    }

    const Int16 lastToDeal = BITVIK.lastCell;
    for (Int16 j = 0; j <= lastToDeal; j = j + 1)
        Image3(trayOrder(j).value()).setPicture(PicClip1.cell(j.value()));

    BITVIK.selectedPiece = -1;
}

} // namespace bitvik
