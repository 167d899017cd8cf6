#pragma once

#include "game/form1.h"
#include "testsupport.h"

#include "design.h"

#include <memory>

namespace testsupport {

// Bitvik started in the current folder.
struct GameWindow {
    explicit GameWindow(tk::Random random = tk::Random());
    bool started() const { return recorder.reports.isEmpty() && form->isVisible(); }

    RecordingProgram recorder;
    std::unique_ptr<bitvik::Form1> form;
};

// A fresh scratch folder holding bild.bmp, a picture whose cols x rows cells each have their own
// colour, and a bitvik.ini naming it.
struct GridFolder : ScratchFolder {
    GridFolder(int cols, int rows, int width, int height);
};

// Bitvik started there.
struct StartedGame : GridFolder, GameWindow {
    StartedGame(int cols, int rows, int width = 400, int height = 300,
                tk::Random random = tk::Random());
};

// A control of the window by the name a design row gives it.
DesignedControl designed(bitvik::Form1& form, const QString& control);

} // namespace testsupport
