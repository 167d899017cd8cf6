#include "clicks.h"

#include <QListWidget>
#include <QTest>

namespace testsupport {

namespace {

QPoint entryCentre(const QListWidget* list, int row) {
    return list->visualItemRect(list->item(row)).center();
}

// The child of the window lying over the point, and the point in its own coordinates.
std::pair<QWidget*, QPoint> receiverAt(QWidget* window, QPoint at) {
    QWidget* child = window->childAt(at);
    QWidget* receiver = child ? child : window;
    return {receiver, receiver->mapFrom(window, at)};
}

} // namespace

void click(QWidget* widget, QPoint at, Qt::MouseButton button, Qt::KeyboardModifiers modifiers) {
    QTest::mouseClick(widget, button, modifiers, at);
}

void doubleClick(QWidget* widget, QPoint at, Qt::MouseButton button) {
    QTest::mouseClick(widget, button, {}, at);
    QTest::mouseDClick(widget, button, {}, at);
    QTest::mouseRelease(widget, button, {}, at);
}

void clickInWindow(QWidget* window, QPoint at, Qt::MouseButton button) {
    const auto [receiver, local] = receiverAt(window, at);
    click(receiver, local, button);
}

void doubleClickInWindow(QWidget* window, QPoint at, Qt::MouseButton button) {
    const auto [receiver, local] = receiverAt(window, at);
    doubleClick(receiver, local, button);
}

void clickEntry(const QListWidget* list, int row, Qt::MouseButton button,
                Qt::KeyboardModifiers modifiers) {
    click(list->viewport(), entryCentre(list, row), button, modifiers);
}

void doubleClickEntry(const QListWidget* list, int row) {
    doubleClick(list->viewport(), entryCentre(list, row));
}

} // namespace testsupport
