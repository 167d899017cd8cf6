#pragma once

#include <QAccessible>
#include <QMessageBox>
#include <QObject>
#include <QStringList>
#include <QTimer>

namespace testsupport {

// Watches for the next modal message box, records what it shows and presses one of its buttons.
class QuestionBox : public QObject {
public:
    explicit QuestionBox(QString press);

    // Set before the box opens: Escape and the window's close button are tried on it first.
    bool escapeFirst = false;
    // Whether Escape or the close button closed it (and so answered for the user).
    bool closedWithoutButton = false;

    bool seen = false;
    QString title;
    QString text;
    QStringList buttons; // left to right
    QString defaultButton;
    QMessageBox::Icon icon = QMessageBox::NoIcon;

    // What a screen reader is told: the box's role, name and text, and its buttons' names.
    QAccessible::Role accessibleRole = QAccessible::NoRole;
    QString accessibleName;
    QString accessibleText;
    QStringList accessibleButtons;

private:
    void look();
    void readAccessible(QMessageBox* box);
    QString press;
    QTimer timer;
};

} // namespace testsupport
