#pragma once

#include "common/checkedint.h"
#include "game/traytable.h"
#include "pictures/picture.h"

#include <functional>
#include <QString>

namespace tk {
class EarlyDecode;
}

namespace bitvik {

class Form1;
using common::Int16;
using common::Int32;

// Opens the board's picture by its file name, decoded fine enough for a drawing `drawnWidth`
// device pixels wide. main() hands the window one that takes a decode started before the
// application; the plain one decodes on the spot.
using OpenPicture = std::function<tk::Picture(const QString& fileName, int drawnWidth)>;
tk::Picture decodePicture(const QString& fileName, int drawnWidth);
// One that takes the picture from `early` when it decoded this very file.
OpenPicture takingEarlyDecode(tk::EarlyDecode& early);

// The game's code module: the state its handlers share, and the procedures that reset and
// build the board on the controls of Form1.
class BitvikModule {
public:
    BitvikModule(Form1& form, OpenPicture openPicture);

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
    OpenPicture openPicture;
};

} // namespace bitvik
