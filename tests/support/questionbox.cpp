#include "questionbox.h"

#include "clicks.h"

#include <algorithm>
#include <QAbstractButton>
#include <QApplication>
#include <QPushButton>
#include <QTest>

namespace testsupport {

namespace {
QString plain(QString text) {
    return text.remove(QLatin1Char('&'));
}
} // namespace

QuestionBox::QuestionBox(QString button) : press(std::move(button)) {
    timer.setInterval(5);
    connect(&timer, &QTimer::timeout, this, &QuestionBox::look);
    timer.start();
}

void QuestionBox::readAccessible(QMessageBox* box) {
    QAccessibleInterface* window = QAccessible::queryAccessibleInterface(box);
    if (!window)
        return;
    accessibleRole = window->role();
    accessibleName = window->text(QAccessible::Name);
    accessibleText = window->text(QAccessible::Value);
    // The buttons stand in a button box inside the box.
    QList<QAccessibleInterface*> pending{window};
    while (!pending.isEmpty()) {
        QAccessibleInterface* node = pending.takeFirst();
        for (int i = 0; i < node->childCount(); ++i) {
            QAccessibleInterface* child = node->child(i);
            if (child->role() == QAccessible::PushButton)
                accessibleButtons << child->text(QAccessible::Name);
            else
                pending << child;
        }
    }
}

void QuestionBox::look() {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box || seen)
        return;
    timer.stop();
    seen = true;
    title = box->windowTitle();
    text = box->text();
    icon = box->icon();
    if (box->defaultButton())
        defaultButton = plain(box->defaultButton()->text());
    readAccessible(box);
    if (escapeFirst) {
        QTest::keyClick(box, Qt::Key_Escape);
        if (box->isVisible())
            box->close();
        closedWithoutButton = !box->isVisible();
        if (closedWithoutButton)
            return;
    }
    // The buttons as they stand on the screen, left to right.
    QList<QAbstractButton*> row = box->buttons();
    std::sort(row.begin(), row.end(), [](const QAbstractButton* a, const QAbstractButton* b) {
        return a->mapToGlobal(QPoint()).x() < b->mapToGlobal(QPoint()).x();
    });
    QAbstractButton* chosen = nullptr;
    for (QAbstractButton* button : row) {
        buttons << plain(button->text());
        if (plain(button->text()) == press)
            chosen = button;
    }
    if (chosen)
        click(chosen);
    else
        box->reject();
}

} // namespace testsupport
