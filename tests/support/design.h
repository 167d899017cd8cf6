#pragma once

#include <optional>
#include <QAccessible>
#include <QList>
#include <QRect>
#include <QRectF>
#include <QString>

class QWidget;

namespace testsupport {

// One row of a window's design table (game.design, setup.design beside this file): a control as
// the code names it ("Form1" for the window itself), the control it stands in (empty: the
// window), its caption, its rectangle in twips, and its accessible role and name. What the
// control lacks is left empty.
struct DesignRow {
    QString control;
    QString container;
    std::optional<QString> caption;
    QRectF twips;
    std::optional<QAccessible::Role> role;
    std::optional<QString> name;
};

// A control of a window as a design row names it: its widget (none for a control that the window
// draws itself) and its caption or text as the code holds it.
struct DesignedControl {
    QWidget* widget;
    QString caption;
};

// The rows of "game" or "setup", in the table's order. A table that does not read stops the test.
QList<DesignRow> design(const QString& window);
// The row of the control; one the table lacks stops the test.
const DesignRow& designOf(const QList<DesignRow>& rows, const QString& control);
// Where the design puts a rectangle on a screen of 15 twips a pixel: each edge rounded on its own.
QRect designPixels(const QRectF& twips);

} // namespace testsupport
