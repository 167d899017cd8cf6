#pragma once

#include "game/form1.h"
#include "testsupport.h"

#include <memory>

namespace testsupport {

// A game started in a scratch folder on a picture whose cols x rows cells each have their own
// colour.
struct StartedGame {
    StartedGame(int cols, int rows, int width = 400, int height = 300,
                tk::Random random = tk::Random());

    ScratchFolder folder;
    RecordingProgram recorder;
    std::unique_ptr<bitvik::Form1> form;
};

} // namespace testsupport
