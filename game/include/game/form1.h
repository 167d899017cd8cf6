#pragma once

#include "common/backdrop.h"
#include "forms/controlarray.h"
#include "forms/form.h"
#include "forms/image.h"
#include "forms/picturebox.h"
#include "forms/picturebutton.h"
#include "forms/shape.h"
#include "game/bitvikmodule.h"
#include "pictures/pictureclip.h"
#include "runtime/random.h"

#include <memory>

namespace bitvik {

// The puzzle window: a tray of loose pieces on the left, white covers over the hidden picture on
// the right, three picture buttons along the bottom.
class Form1 final : public tk::Form {
public:
    explicit Form1(tk::Program& program, tk::Random random = tk::Random(),
                   OpenPicture openPicture = decodePicture);
    ~Form1() override;

    // The top edge of the row of buttons along the bottom; the board is laid out above it.
    static constexpr int buttonsTop = 5930;

    // Controls in creation order; among the lightweight ones this is the stacking order, topmost
    // first.
    tk::PictureButton Command3D3;
    tk::PictureButton Command3D2;
    tk::PictureButton Command3D1;
    tk::PictureBox Picture4;
    tk::ControlArray<tk::PictureBox> Picture3;
    tk::ControlArray<tk::PictureBox> Picture2;
    tk::PictureClip PicClip1;
    tk::PictureBox Picture1;
    tk::Shape Shape1;
    tk::Image Image4;
    tk::ControlArray<tk::Image> Image3;
    tk::ControlArray<tk::Image> Image2;
    tk::Image Image1;

    BitvikModule BITVIK;
    std::unique_ptr<common::Form2> Form2;

    void Form_Load() override;
    void Form_Unload(int& cancel) override;

    void Command3D3_Click();
    void Image3_Click(Int16 index);
    void Image2_Click(Int16 index);
    void Command3D1_Click();
    void Command3D2_Click();

private:
    void ShuffleTray();
    void ConfirmQuit();

    tk::Random random;
};

} // namespace bitvik
