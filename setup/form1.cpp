#include "setup/form1.h"

#include "common/previewpixels.h"
#include "common/programicon.h"
#include "common/settingsfile.h"
#include "common/storlek.h"
#include "pictures/picture.h"
#include "runtime/program.h"
#include "runtime/runtimeerror.h"

namespace tralloma {

namespace {

const tk::FontDesign optionFont{.points = 9.75, .weight = 700};
const tk::FontDesign frameFont{.points = 12, .weight = 700};
const tk::FontDesign buttonFont{.points = 18, .weight = 400};

tk::FormDesign windowDesign() {
    return {
        .caption = QStringLiteral("Hämta"),
        .borderStyle = tk::BorderStyle::Sizable,
        .clientWidth = 9480,
        .clientHeight = 6795,
        .startUpPosition = tk::StartUpPosition::CenterScreen,
        .backColor = tk::rgb(255, 255, 128),
        .font = {.points = 8.25, .weight = 700},
        .icon = common::programIcon(),
    };
}

tk::FrameDesign frame(float left, float width, float height, int tabIndex, const char* caption) {
    return {.placement = {left, 840, width, height, tabIndex},
            .caption = QString::fromUtf8(caption),
            .font = frameFont,
            .backColor = tk::systemWindowBackground,
            .foreColor = tk::systemWindowText};
}

// Element i of either array reads "<letter> = i + 1" and stands 360 twips below element i - 1.
std::unique_ptr<tk::OptionButton> option(tk::Frame& frame, char letter, int i, float width,
                                         float height, int tabIndex) {
    return std::make_unique<tk::OptionButton>(
        frame, tk::OptionButtonDesign{.placement = {120, 480 + 360.0f * i, width, height, tabIndex},
                                      .caption = QStringLiteral("%1 = %2").arg(letter).arg(i + 1),
                                      .font = optionFont,
                                      .backColor = tk::systemWindowBackground,
                                      .foreColor = tk::systemWindowText,
                                      .value = i == 2}); // "x = 3" and "y = 3"
}

struct RowOption {
    float height;
    int tabIndex;
};
// "y = 6" and "y = 7" come late in the Tab order, after the whole " X-led" frame.
constexpr RowOption rowOptions[7] = {{240, 5}, {255, 6},  {240, 7}, {255, 8},
                                     {240, 9}, {240, 18}, {270, 19}};

void requirePictures(const tk::FileListBox& list) {
    if (list.listCount() > 0)
        return;
    QString message =
        QStringLiteral("Mappen %1 innehåller inga bilder av slagen BMP, GIF eller JPEG "
                       "(filnamn som slutar på .bmp, .gif, .jpg eller .jpeg). Lägg en bild i "
                       "mappen och starta Tralloma där igen.")
            .arg(list.path());
    if (!list.unlistable().isEmpty())
        message += QStringLiteral(" Några bildfiler kunde inte listas, eftersom deras namn inte "
                                  "är giltig UTF-8: %1. Byt namn på dem.")
                       .arg(list.unlistable().join(QStringLiteral(", ")));
    throw tk::RuntimeError(message);
}

} // namespace

Form1::Form1(tk::Program& program)
    : tk::Form(program, windowDesign()), Bild(*this, {.placement = {3360, 240, 540, 240, 20},
                                                      .text = QStringLiteral(" Bild"),
                                                      .font = optionFont,
                                                      .border = false,
                                                      .caption = true}),
      Frame2(*this, frame(75, 1260, 3165, 10, " X-led")), Option2(QStringLiteral("Option2")),
      Frame1(*this, frame(1440, 1215, 3135, 4, " Y-led")), Option1(QStringLiteral("Option1")),
      Command2(*this, {.placement = {8130, buttonsTop, 1335, 1110, 3},
                       .caption = QStringLiteral("Avbryt"),
                       .font = buttonFont}),
      File1(*this, {.placement = {2760, 960, 2040, 5430, 0},
                    .pattern = QStringLiteral("*.bmp;*.gif;*.jpg;*.jpeg"),
                    .font = {.points = 12, .weight = 400},
                    .accessibleName = QStringLiteral("Bilder")}),
      Command1(*this, {.placement = {6495, 5700, 1335, 1095, 2},
                       .caption = QStringLiteral("OK"),
                       .font = buttonFont}),
      Text1(*this, {.placement = {2760, 360, 2040, 480, 1},
                    .font = {.points = 13.5, .weight = 400},
                    .accessibleName = QStringLiteral("Bildfilens namn")}),
      Image1(*this, {.bounds = {4920, previewTop, 4455, 1335}, .stretch = false}),
      previews(program) {
    // Each array's elements are created from the last to the first; they stack only among the
    // children of their own frame, so creating them after the frames changes nothing.
    for (int i = 6; i >= 0; --i)
        Option2.add(i, option(Frame2, 'x', i, 800, 255, 11 + i));
    for (int i = 6; i >= 0; --i)
        Option1.add(i, option(Frame1, 'y', i, 820, rowOptions[i].height, rowOptions[i].tabIndex));

    File1.setClickHandler([this] { File1_Click(); });
    File1.setDblClickHandler([this] { File1_DblClick(); });
    Command1.setClickHandler([this] { Command1_Click(); });
    Command2.setClickHandler([this] { Command2_Click(); });
}

Form1::~Form1() = default;

void Form1::Form_Load() {
    Form2 = std::make_unique<common::Form2>(program());
    Form2->show();
    // A save that was killed left its temporary file in the user's folder; Avbryt must not keep it.
    common::ReplacedFile::clearLeftovers(QString::fromLatin1(common::settingsFileName));
    requirePictures(File1);
    // Selecting raises File1_Click, so the window opens with the scaled preview.
    File1.select(0);
    Text1.setText(File1.fileName());
    Image1.setPicture(preview(Text1.text()));
}

void Form1::Form_Unload(int&) {
    Form2.reset();
}

void Form1::File1_Click() {
    Text1.setText(File1.fileName());
    Image1.setStretch(false);
    Image1.setPicture(preview(Text1.text()));
    Int32 width = Int32::round(Image1.width());
    Int32 height = Int32::round(Image1.height());
    storlek(width, height);
}

void Form1::storlek(Int32& width, Int32& height) {
    common::storlek(Image1, width, height, common::roomAbove(buttonsTop, previewTop));
}

void Form1::File1_DblClick() {
    Command1_Click();
}

void Form1::Command1_Click() {
    common::SettingsWriter settings(QString::fromLatin1(common::settingsFileName));
    // The columns always come first, whatever order the user chose them in.
    for (int i = 0; i <= 6; ++i) {
        if (Option2(i).value())
            settings.writeInteger(i + 1);
    }
    for (int i = 0; i <= 6; ++i) {
        if (Option1(i).value())
            settings.writeInteger(i + 1);
    }
    settings.writeString(Text1.text());
    settings.close();
    Command2_Click();
}

void Form1::Command2_Click() {
    // A thumbnail being written is finished, not left under its temporary name.
    previews.stop();
    program().end(0);
}

// The named picture at once, its pixels a moment later: they take the placeholder's place
// only while the preview still shows it.
tk::Picture Form1::preview(const QString& fileName) {
    return previews.request(fileName, common::previewPixels(devicePixelRatio()),
                            [this](const tk::Picture& placeholder, const tk::Picture& decoded) {
                                if (Image1.picture() == placeholder)
                                    Image1.setPicture(decoded);
                            });
}

} // namespace tralloma
