#include "game/bitvikmodule.h"

#include "common/storlek.h"
#include "game/form1.h"
#include "pictures/picturefile.h"

namespace bitvik {

namespace {

// The top edge of the picture, of the first row and of the tray's first row alike.
constexpr int pictureTop = 70;

} // namespace

tk::Picture decodePicture(const QString& fileName, int drawnWidth) {
    return tk::PictureFile::open(fileName).decode(drawnWidth);
}

OpenPicture takingEarlyDecode(tk::EarlyDecode& early) {
    return [&early](const QString& fileName, int drawnWidth) {
        return tk::PictureFile::open(fileName).decode(drawnWidth, &early);
    };
}

BitvikModule::BitvikModule(Form1& f, OpenPicture open) : form(f), openPicture(std::move(open)) {}

void BitvikModule::ResetBoardState() {
    selectedPiece = -1;
    placedCount = 0;
    pieceCount = 0;
    lastCell = rows * cols - 1;
}

void BitvikModule::storlek(Int32& width, Int32& height) {
    common::storlek(form.Image1, width, height, common::roomAbove(Form1::buttonsTop, pictureTop));
}

void BitvikModule::BuildBoard() {
    tk::Image& Image1 = form.Image1;
    // The window's outer width and the picture's size, read afresh at every use.
    const auto W = [this] { return form.width(); };
    const auto w = [&Image1] { return Image1.width(); };
    const auto h = [&Image1] { return Image1.height(); };

    Image1.setStretch(false);
    Image1.setPicture(openPicture(fileName, common::previewPixels(form.devicePixelRatio())));

    Int32 width = Int32::round(w());
    Int32 height = Int32::round(h());
    storlek(width, height);

    cursorX = Int16::round((W() / 2 - w()) / 2);
    cursorY = pictureTop;

    form.PicClip1.setPicture(Image1.picture());
    form.PicClip1.setRows(rows.value());
    form.PicClip1.setCols(cols.value());

    Image1.setTop(float(cursorY.value()));
    Image1.setLeft(W() / 2 + float(cursorX.value()));

    const Int16 lastRow = rows - 1;
    for (Int16 r = 0; r <= lastRow; r = r + 1) {
        const Int16 lastColumn = cols - 1;
        for (Int16 c = 0; c <= lastColumn; c = c + 1) {
            const int k = pieceCount.value();
            if (pieceCount > 0) {
                form.Image2.load(k);
                form.Image3.load(k);
            }
            tk::Image& piece = form.Image3(k);
            tk::Image& cover = form.Image2(k);
            piece.setPicture(form.PicClip1.cell(k));
            piece.setWidth((w() + 8) / float(cols.value()));
            piece.setHeight(h() / float(rows.value()));
            cover.setWidth(piece.width());
            cover.setHeight(piece.height());
            piece.setTop(float(cursorY.value()));
            piece.setLeft(float(cursorX.value()));
            cover.setTop(float(cursorY.value()));
            cover.setLeft(W() / 2 + float(cursorX.value()));
            cover.setVisible(true);
            piece.setVisible(true);
            pieceCount = pieceCount + 1;
            cursorX = Int16::round(w() / float(cols.value()) + float(cursorX.value()));
        }
        cursorX = Int16::round((W() / 2 - w()) / 2);
        cursorY = Int16::round(h() / float(rows.value()) + float(cursorY.value()));
    }

    form.Shape1.setWidth(form.Image3(0).width() - 100);
    form.Shape1.setHeight(form.Image3(0).height() - 100);
    cursorY = pictureTop;
    Image1.zOrder(1);
    pictureHidden = 1;
}

} // namespace bitvik
