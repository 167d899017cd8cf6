#pragma once

#include <QPoint>

class QListWidget;
class QWidget;

namespace testsupport {

// A click at a point of the widget, its middle when none is given.
void click(QWidget* widget, QPoint at = {}, Qt::MouseButton button = Qt::LeftButton,
           Qt::KeyboardModifiers modifiers = {});
// As the window system delivers a double-click: press, release, double-click, release.
void doubleClick(QWidget* widget, QPoint at = {}, Qt::MouseButton button = Qt::LeftButton);
// A click at a point of a window, sent where the window system sends it: to the child lying
// over the point.
void clickInWindow(QWidget* window, QPoint at, Qt::MouseButton button = Qt::LeftButton);
void doubleClickInWindow(QWidget* window, QPoint at, Qt::MouseButton button = Qt::LeftButton);
// On a list's entry, in the middle of it.
void clickEntry(const QListWidget* list, int row, Qt::MouseButton button = Qt::LeftButton,
                Qt::KeyboardModifiers modifiers = {});
void doubleClickEntry(const QListWidget* list, int row);

} // namespace testsupport
