#include "startedgame.h"

namespace testsupport {

GameWindow::GameWindow(tk::Random random)
    : form(std::make_unique<bitvik::Form1>(recorder.program, std::move(random))) {
    form->loadAndShow();
}

GridFolder::GridFolder(int cols, int rows, int width, int height) {
    savePicture(gridPicture(width, height, cols, rows), QStringLiteral("bild.bmp"));
    writeSettings(cols, rows, "bild.bmp");
}

StartedGame::StartedGame(int cols, int rows, int width, int height, tk::Random random)
    : GridFolder(cols, rows, width, height), GameWindow(std::move(random)) {}

} // namespace testsupport
