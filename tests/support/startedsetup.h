#pragma once

#include "setup/form1.h"
#include "testsupport.h"

#include "design.h"

#include <memory>

namespace testsupport {

// Tralloma started in the current folder.
struct SetupWindow {
    SetupWindow();
    bool started() const { return recorder.reports.isEmpty() && form->isVisible(); }

    RecordingProgram recorder{QStringLiteral("Tralloma")};
    std::unique_ptr<tralloma::Form1> form;
};

// A fresh scratch folder holding one picture, a.bmp of 300 x 200 pixels.
struct OnePictureFolder : ScratchFolder {
    OnePictureFolder();
};

// Tralloma started there.
struct StartedSetup : OnePictureFolder, SetupWindow {};

// A control of the window by the name a design row gives it ("Option2(6)" for an element): its
// widget (none for the preview, which the window draws itself) and its caption or text.
DesignedControl designed(tralloma::Form1& form, const QString& control);

} // namespace testsupport
