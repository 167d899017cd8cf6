#include "startedsetup.h"

#include "controlwidgets.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>

namespace testsupport {

SetupWindow::SetupWindow() : form(std::make_unique<tralloma::Form1>(recorder.program)) {
    form->loadAndShow();
}

OnePictureFolder::OnePictureFolder() {
    savePicture(gridPicture(300, 200, 1, 1), QStringLiteral("a.bmp"), "BMP");
}

DesignedControl designed(tralloma::Form1& form, const QString& control) {
    static const QRegularExpression element(QStringLiteral(R"(^(Option[12])\((\d)\)$)"));
    if (const QRegularExpressionMatch m = element.match(control); m.hasMatch()) {
        const tk::OptionButton& button =
            (m.captured(1) == u"Option2" ? form.Option2 : form.Option1)(m.captured(2).toInt());
        return {widgetOf(button), button.caption()};
    }
    const std::pair<QString, DesignedControl> controls[] = {
        {QStringLiteral("Form1"), {form.widget(), form.widget()->windowTitle()}},
        {QStringLiteral("Bild"), {widgetOf(form.Bild), form.Bild.text()}},
        {QStringLiteral("Frame2"), {widgetOf(form.Frame2), form.Frame2.caption()}},
        {QStringLiteral("Frame1"), {widgetOf(form.Frame1), form.Frame1.caption()}},
        {QStringLiteral("Command2"), {widgetOf(form.Command2), form.Command2.caption()}},
        {QStringLiteral("File1"), {widgetOf(form.File1), {}}},
        {QStringLiteral("Command1"), {widgetOf(form.Command1), form.Command1.caption()}},
        {QStringLiteral("Text1"), {widgetOf(form.Text1), form.Text1.text()}},
        {QStringLiteral("Image1"), {nullptr, {}}}};
    for (const auto& [name, designed] : controls) {
        if (control == name)
            return designed;
    }
    qFatal("no control %s in the setup window", qPrintable(control));
}

} // namespace testsupport
