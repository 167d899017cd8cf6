#include "accessibility.h"

#include <QAccessible>
#include <QAccessibleApplication>
#include <QAccessibleWidget>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QLineEdit>
#include <QWidget>
#include <QWindow>

namespace tk {

namespace {

// Kept on the widget itself, so that the mark lives and dies with it.
constexpr char readingProperty[] = "tkReading";
enum class Reading { AsQtReadsIt, LeftOut, Window, Caption };

Reading readingOf(const QObject& object) {
    return Reading(object.property(readingProperty).toInt());
}

QAccessibleInterface* listedChild(const QObjectList& children, int index) {
    if (index < 0 || index >= children.size())
        return nullptr;
    return QAccessible::queryAccessibleInterface(children.at(index));
}

int indexIn(const QObjectList& children, const QAccessibleInterface* child) {
    return child ? int(children.indexOf(child->object())) : -1;
}

// The program's windows as Qt lists them, but for those left out.
class Application final : public QAccessibleApplication {
public:
    int childCount() const override { return int(windows().size()); }
    QAccessibleInterface* child(int index) const override { return listedChild(windows(), index); }
    int indexOfChild(const QAccessibleInterface* child) const override {
        return indexIn(windows(), child);
    }

private:
    static QObjectList windows() {
        QObjectList kept;
        for (QWindow* window : QGuiApplication::topLevelWindows()) {
            if (window->type() == Qt::Popup || window->type() == Qt::Desktop)
                continue;
            const QAccessibleInterface* root = window->accessibleRoot();
            if (root && root->object() && readingOf(*root->object()) != Reading::LeftOut)
                kept << root->object();
        }
        return kept;
    }
};

// A form's surface: a plain widget to Qt, which reads it as a nameless client area; to a screen
// reader it is the window, announced by its caption when it gets the focus.
class Window final : public QAccessibleWidget {
public:
    explicit Window(QWidget* surface) : QAccessibleWidget(surface, QAccessible::Window) {}

    int childCount() const override { return int(controls().size()); }
    QAccessibleInterface* child(int index) const override { return listedChild(controls(), index); }
    int indexOfChild(const QAccessibleInterface* child) const override {
        return indexIn(controls(), child);
    }

private:
    QObjectList controls() const {
        QObjectList kept;
        for (QObject* child : widget()->children()) {
            const auto* control = qobject_cast<QWidget*>(child);
            if (control && !control->isWindow() && readingOf(*control) != Reading::LeftOut)
                kept << child;
        }
        return kept;
    }
};

// The caption's own text names it. Tab still stops on it, as it always has; a screen reader is
// told it is no control of its own.
class Caption final : public QAccessibleWidget {
public:
    explicit Caption(QLineEdit* box) : QAccessibleWidget(box, QAccessible::StaticText) {}

    QString text(QAccessible::Text kind) const override {
        if (kind == QAccessible::Name)
            return static_cast<const QLineEdit*>(widget())->text().trimmed();
        return QAccessibleWidget::text(kind);
    }
    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.focusable = false;
        return state;
    }
};

// Asked before Qt's own factories, which QApplication installs as it starts.
QAccessibleInterface* interfaceFor(const QString&, QObject* object) {
    if (object == QCoreApplication::instance())
        return qobject_cast<QGuiApplication*>(object) ? new Application : nullptr;
    if (!object || !object->isWidgetType())
        return nullptr;
    auto* widget = static_cast<QWidget*>(object);
    switch (readingOf(*widget)) {
    case Reading::Window:
        return new Window(widget);
    case Reading::Caption:
        if (auto* box = qobject_cast<QLineEdit*>(widget))
            return new Caption(box);
        return nullptr;
    case Reading::AsQtReadsIt:
    case Reading::LeftOut:
        return nullptr;
    }
    return nullptr;
}

// Installed with the first mark, when QApplication has installed Qt's own factories and before
// any window is shown, so that the first reading of the application is ours too.
void mark(QWidget& widget, Reading reading) {
    [[maybe_unused]] static const bool installed = [] {
        QAccessible::installFactory(interfaceFor);
        return true;
    }();
    widget.setProperty(readingProperty, int(reading));
}

} // namespace

void readAsWindow(QWidget& surface) {
    mark(surface, Reading::Window);
}

void leaveOutOfAccessibility(QWidget& widget) {
    mark(widget, Reading::LeftOut);
}

void readAsCaption(QWidget& widget) {
    mark(widget, Reading::Caption);
}

} // namespace tk
