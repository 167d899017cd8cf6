#include "startedgame.h"

#include "controlwidgets.h"

#include <QAbstractButton>

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

DesignedControl designed(bitvik::Form1& form, const QString& control) {
    if (control == u"Form1")
        return {form.widget(), form.widget()->windowTitle()};
    const std::pair<QString, const tk::PictureButton*> buttons[] = {
        {QStringLiteral("Command3D1"), &form.Command3D1},
        {QStringLiteral("Command3D2"), &form.Command3D2},
        {QStringLiteral("Command3D3"), &form.Command3D3}};
    for (const auto& [name, button] : buttons) {
        if (control == name)
            return {widgetOf(*button), button->caption()};
    }
    qFatal("no control %s in the game window", qPrintable(control));
}

} // namespace testsupport
