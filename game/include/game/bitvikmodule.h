#pragma once

#include "common/checkedint.h"
#include "traytable.h"

#include <QString>

namespace bitvik {

class Form1;
using common::Int16;
using common::Int32;

// The game's code module: the state its handlers share, and the procedures that reset and
// build the board on the controls of Form1.
class BitvikModule {
public:
    explicit BitvikModule(Form1& form);

    Int16 cols;
    Int16 rows;
    QString fileName;
    Int16 selectedPiece;
    Int16 placedCount;
    Int16 pieceCount;
    Int16 lastCell;
    Int16 cursorX;
    Int16 cursorY;
    Int16 pictureHidden;
    // Tray slot showing each cell after a shuffle; only the shuffle touches it.
    TrayTable trayOrder;

    void ResetBoardState();
    void storlek(Int32& width, Int32& height);
    void BuildBoard();

private:
    Form1& form;
};

} // namespace bitvik
