#pragma once

#include <QMessageBox>
#include <QObject>
#include <QStringList>
#include <QTimer>

namespace testsupport {

// Watches for the next modal message box, records what it shows and presses one of its buttons.
class QuestionBox : public QObject {
public:
    explicit QuestionBox(QString press);

    bool seen = false;
    QString title;
    QString text;
    QStringList buttons;
    QString defaultButton;
    QMessageBox::Icon icon = QMessageBox::NoIcon;

private:
    void look();
    QString press;
    QTimer timer;
};

} // namespace testsupport
