#include "startedsetup.h"

namespace testsupport {

SetupWindow::SetupWindow() : form(std::make_unique<tralloma::Form1>(recorder.program)) {
    form->loadAndShow();
}

OnePictureFolder::OnePictureFolder() {
    savePicture(gridPicture(300, 200, 1, 1), QStringLiteral("a.bmp"), "BMP");
}

} // namespace testsupport
