#include "game/form1.h"

#include "game/deal.h"

namespace bitvik {

void Form1::Command3D3_Click() {
    ShuffleTray();
}

// Deals the cells to the tray slots at random, as long as no piece has been placed.
void Form1::ShuffleTray() {
    if (BITVIK.placedCount != 0)
        return;
    random.randomize();
    BITVIK.trayOrder = dealTray(random, BITVIK.lastCell);

    const Int16 lastToDeal = BITVIK.lastCell;
    for (Int16 j = 0; j <= lastToDeal; j = j + 1)
        Image3(BITVIK.trayOrder(j).value()).setPicture(PicClip1.cell(j.value()));

    BITVIK.selectedPiece = -1;
}

} // namespace bitvik
