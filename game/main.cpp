#include "common/settingsfile.h"
#include "common/storlek.h"
#include "forms/application.h"
#include "forms/desktopprogram.h"
#include "game/form1.h"
#include "game/gamesettings.h"
#include "pictures/earlydecode.h"

#include <cstdlib>

namespace {

// The device pixel ratio the window will most likely have, before Qt can say: a wrong guess only
// means the picture is decoded again, at the scale it needs.
double expectedPixelRatio() {
    const char* factor = std::getenv("QT_SCALE_FACTOR");
    const double ratio = factor ? std::atof(factor) : 1.0;
    return ratio > 0 ? ratio : 1.0;
}

} // namespace

int main(int argc, char* argv[]) {
    // Started first, so that the photo decodes while the program connects to the window system.
    tk::EarlyDecode early(bitvik::peekPictureName(common::settingsFileName),
                          common::previewPixels(expectedPixelRatio()));
    tk::Application application(argc, argv, QStringLiteral("bitvik"));
    tk::DesktopProgram program(QStringLiteral("Bitvik"));
    bitvik::Form1 window(program, tk::Random(), bitvik::takingEarlyDecode(early));
    window.loadAndShow();
    return application.exec();
}
