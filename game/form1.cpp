#include "game/form1.h"

#include "common/programicon.h"
#include "common/settingsfile.h"
#include "game/bitmaps.h"

namespace bitvik {

namespace {

using tk::Appearance;
using tk::BorderStyle;

const tk::FontDesign buttonFont{.points = 9.75, .weight = 700};

tk::FormDesign windowDesign() {
    return {
        .caption = QStringLiteral("Bitvik"),
        .borderStyle = BorderStyle::FixedSingle,
        .clientWidth = 9510,
        .clientHeight = 6825,
        .startUpPosition = tk::StartUpPosition::CenterScreen,
        .backColor = tk::rgb(255, 255, 128),
        .font = {.points = 8.25, .weight = 700},
        .icon = common::programIcon(),
    };
}

tk::PictureBoxDesign hiddenBox(float left, float top, float width, float height, int tabIndex,
                               tk::Color foreColor = tk::systemWindowText) {
    return {.placement = {left, top, width, height, tabIndex, false},
            .appearance = Appearance::Flat,
            .backColor = tk::systemWindowBackground,
            .foreColor = foreColor};
}

// A count read from the settings file must leave at least one cell on the board.
void requireCount(Int16 count, const QString& what) {
    if (count < 1)
        throw tk::RuntimeError(QStringLiteral("Inställningsfilen \"%1\" anger %2 som %3; det "
                                              "måste vara minst 1.")
                                   .arg(QString::fromLatin1(common::settingsFileName), what)
                                   .arg(count.value()));
}

} // namespace

Form1::Form1(tk::Program& program, tk::Random generator, OpenPicture openPicture)
    : tk::Form(program, windowDesign()),
      Command3D3(*this, {.placement = {4200, buttonsTop, 1800, 900, 6},
                         .caption = QStringLiteral("Blanda"),
                         .font = buttonFont,
                         .foreColor = tk::systemWindowText,
                         .picture = shuffleBitmap()}),
      Command3D2(*this, {.placement = {7785, buttonsTop, 1740, 900, 5},
                         .caption = QStringLiteral("Sluta"),
                         .font = buttonFont,
                         .foreColor = tk::systemWindowText,
                         .picture = stopBitmap()}),
      Command3D1(*this, {.placement = {6000, buttonsTop, 1800, 900, 4},
                         .caption = QStringLiteral("Se bild"),
                         .font = buttonFont,
                         .foreColor = tk::systemWindowText,
                         .picture = eyeBitmap()}),
      Picture4(*this, hiddenBox(1035, 915, 900, 825, 3)),
      Picture3(QStringLiteral("Picture3"),
               std::make_unique<tk::PictureBox>(
                   *this, hiddenBox(300, 960, 555, 825, 2, tk::rgb(255, 0, 0)))),
      Picture2(QStringLiteral("Picture2"),
               std::make_unique<tk::PictureBox>(*this, hiddenBox(1020, 90, 660, 705, 1))),
      Picture1(*this, hiddenBox(225, 75, 675, 765, 0)),
      Shape1(*this, {.bounds = {840, 2280, 1335, 1455},
                     .visible = false,
                     .borderColor = tk::rgb(255, 0, 0),
                     .borderWidth = 6}),
      Image4(*this, {.bounds = {2880, 1680, 615, 735},
                     .visible = false,
                     .stretch = false,
                     .borderStyle = BorderStyle::FixedSingle,
                     .appearance = Appearance::Flat}),
      Image3(QStringLiteral("Image3"),
             std::make_unique<tk::Image>(*this,
                                         tk::ImageDesign{.bounds = {1560, 1920, 735, 855},
                                                         .stretch = true,
                                                         .borderStyle = BorderStyle::FixedSingle,
                                                         .appearance = Appearance::ThreeD})),
      Image2(QStringLiteral("Image2"),
             std::make_unique<tk::Image>(*this,
                                         tk::ImageDesign{.bounds = {360, 1920, 855, 975},
                                                         .stretch = true,
                                                         .borderStyle = BorderStyle::FixedSingle,
                                                         .appearance = Appearance::ThreeD,
                                                         .picture = coverBitmap()})),
      Image1(*this, {.bounds = {3360, 120, 975, 855},
                     .stretch = false,
                     .borderStyle = BorderStyle::FixedSingle,
                     .appearance = Appearance::Flat}),
      BITVIK(*this, std::move(openPicture)), random(std::move(generator)) {
    Command3D3.setClickHandler([this] { Command3D3_Click(); });
    Command3D1.setClickHandler([this] { Command3D1_Click(); });
    Command3D2.setClickHandler([this] { Command3D2_Click(); });
    Image3.setClickHandler([this](int index) { Image3_Click(index); });
    Image2.setClickHandler([this](int index) { Image2_Click(index); });
}

Form1::~Form1() = default;

void Form1::Form_Load() {
    Form2 = std::make_unique<common::Form2>(program());
    Form2->show();
    BITVIK.fileName = QString::fromLatin1(common::settingsFileName);
    common::SettingsReader settings(BITVIK.fileName);
    BITVIK.cols = settings.readInteger(QStringLiteral("antal kolumner"));
    BITVIK.rows = settings.readInteger(QStringLiteral("antal rader"));
    BITVIK.fileName = settings.readString(QStringLiteral("bildfilens namn"));
    settings.close();
    requireCount(BITVIK.cols, QStringLiteral("antalet kolumner"));
    requireCount(BITVIK.rows, QStringLiteral("antalet rader"));
    BITVIK.ResetBoardState();
    BITVIK.BuildBoard();
}

void Form1::Form_Unload(int&) {
    Form2.reset();
}

} // namespace bitvik
