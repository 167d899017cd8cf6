#pragma once

#include "forms/color.h"
#include "forms/font.h"

#include <memory>
#include <QIcon>
#include <QString>

class QWidget;
class QCloseEvent;
class QMouseEvent;
class QPaintEvent;

namespace windowing {
class Backdrop;
}

namespace tk {

class Layer;
class Program;
class TabOrder;

enum class BorderStyle { None, FixedSingle, Sizable };
enum class StartUpPosition { CenterScreen, WindowsDefault };
enum class WindowState { Normal, Maximized };
enum class Appearance { Flat, ThreeD };

struct FormDesign {
    QString caption;
    BorderStyle borderStyle = BorderStyle::Sizable;
    float clientWidth = 4680; // twips
    float clientHeight = 3195;
    StartUpPosition startUpPosition = StartUpPosition::WindowsDefault;
    Color backColor = systemButtonFace;
    WindowState windowState = WindowState::Normal;
    FontDesign font;
    QIcon icon;
    // A backdrop stays behind the other windows and takes neither focus nor clicks' attention;
    // it has no taskbar entry and is minimised and restored with the program's other windows.
    bool staysBehind = false;
};

// A top-level window. It paints its lightweight controls itself, in their stacking order, and
// hands a click to the topmost visible control under the pointer that takes clicks; windowed
// controls are child windows above all of them.
class Form {
public:
    Form(Program& program, const FormDesign& design);
    virtual ~Form();
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    Program& program() const { return running; }

    // The outer width in twips: the client area plus the frame the window system reports, or the
    // design platform's frame while it reports none (before the window is shown).
    float width() const;
    float clientWidth() const { return design.clientWidth; }
    float clientHeight() const { return design.clientHeight; }

    // For the start-up window: runs the load handler, then shows the window when it returns.
    void loadAndShow();
    // Shows the window modeless, without an owner.
    void show();
    // Closing by the window system: the unload handler runs and may cancel.
    void close();
    bool isVisible() const;

    virtual void Form_Load() {}
    virtual void Form_Unload(int& cancel) { (void)cancel; }

    // The window's own surface: parent of its child windows, and what tests send events to.
    QWidget* widget() const;
    // Device pixels to a logical pixel on the screen the window is (or will be) on.
    qreal devicePixelRatio() const;

private:
    class Surface;
    friend class Surface;
    // The toolkit's controls reach these through its own formparts.h.
    friend Layer& layerOf(Form& form);
    friend TabOrder& tabOrderOf(Form& form);

    void paint(QPaintEvent* event);
    void mousePress(QMouseEvent* event);
    void mouseRelease(QMouseEvent* event);
    void closing(QCloseEvent* event);

    Program& running;
    FormDesign design;
    std::unique_ptr<Surface> surface;
    std::unique_ptr<Layer> layer;
    std::unique_ptr<TabOrder> tabOrder;
    std::unique_ptr<windowing::Backdrop> backdrop; // a backdrop's, once it is shown
};

} // namespace tk
