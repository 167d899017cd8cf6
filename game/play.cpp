#include "game/form1.h"

#include "forms/messagebox.h"
#include "runtime/program.h"

namespace bitvik {

void Form1::Image3_Click(Int16 index) {
    const tk::Image& piece = Image3(index.value());
    Image4.setPicture(piece.picture());
    Shape1.setLeft(piece.left() + 50);
    Shape1.setTop(piece.top() + 60);
    Shape1.setVisible(true);
    BITVIK.selectedPiece = index;
}

void Form1::Image2_Click(Int16 index) {
    // After a shuffle Image4 still holds the last selected piece's picture; with no piece
    // selected, a board click must not place anything.
    if (BITVIK.selectedPiece == -1)
        return;
    if (!(Image4.picture() == PicClip1.cell(index.value())))
        return;
    Image2(index.value()).setVisible(false);
    Image3(BITVIK.selectedPiece.value()).setVisible(false);
    Shape1.setVisible(false);
    BITVIK.selectedPiece = -1;
    BITVIK.placedCount = BITVIK.placedCount + 1;
}

void Form1::Command3D1_Click() {
    if (BITVIK.pictureHidden == 1) {
        BITVIK.pictureHidden = 0;
        Image1.zOrder(0);
        Command3D1.setCaption(QStringLiteral("Göm bild"));
    } else {
        BITVIK.pictureHidden = 1;
        Image1.zOrder(1);
        Command3D1.setCaption(QStringLiteral("Se bild"));
    }
}

void Form1::Command3D2_Click() {
    ConfirmQuit();
}

void Form1::ConfirmQuit() {
    if (BITVIK.placedCount == BITVIK.pieceCount)
        program().end(0);
    const int answer =
        tk::msgBox(QStringLiteral("       Vill du sluta ?"),
                   tk::MsgBoxStyle::YesNo + tk::MsgBoxStyle::Critical, QStringLiteral("Sluta"));
    if (answer == tk::MsgBoxResult::Yes)
        program().end(0);
}

} // namespace bitvik
