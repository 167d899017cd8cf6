#pragma once

#include "common/backdrop.h"
#include "common/checkedint.h"
#include "forms/controlarray.h"
#include "forms/filelistbox.h"
#include "forms/form.h"
#include "forms/frame.h"
#include "forms/image.h"
#include "forms/optionbutton.h"
#include "forms/pushbutton.h"
#include "forms/textbox.h"
#include "pictures/picturedecoder.h"

#include <memory>

namespace tralloma {

using common::Int32;

// The setup window: the grid size in two groups of option buttons on the left, the folder's
// pictures in the middle with the chosen name above them, the preview to the right.
class Form1 final : public tk::Form {
public:
    explicit Form1(tk::Program& program);
    ~Form1() override;

    // The preview's top edge, and that of "Avbryt", the higher of the two buttons beneath it: a
    // preview that reached under them would hide its own bottom.
    static constexpr int previewTop = 360;
    static constexpr int buttonsTop = 5685;

    // Controls in creation order, which among the child windows is the stacking order, topmost
    // first. Image1 is drawn on the window itself, beneath all of them.
    tk::TextBox Bild;
    tk::Frame Frame2;
    tk::ControlArray<tk::OptionButton> Option2;
    tk::Frame Frame1;
    tk::ControlArray<tk::OptionButton> Option1;
    tk::PushButton Command2;
    tk::FileListBox File1;
    tk::PushButton Command1;
    tk::TextBox Text1;
    tk::Image Image1;

    std::unique_ptr<common::Form2> Form2;

    void Form_Load() override;
    void Form_Unload(int& cancel) override;
    void File1_Click();
    void File1_DblClick();
    void Command1_Click();
    void Command2_Click();

    void storlek(Int32& width, Int32& height);

private:
    tk::Picture preview(const QString& fileName);

    tk::PictureDecoder previews;
};

} // namespace tralloma
