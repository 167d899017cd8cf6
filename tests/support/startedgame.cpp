#include "startedgame.h"

namespace testsupport {

StartedGame::StartedGame(int cols, int rows, int width, int height, tk::Random random) {
    savePicture(gridPicture(width, height, cols, rows), QStringLiteral("bild.bmp"));
    writeSettings(cols, rows, "bild.bmp");
    form = std::make_unique<bitvik::Form1>(recorder.program, std::move(random));
    form->loadAndShow();
}

} // namespace testsupport
