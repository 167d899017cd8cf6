#include "questionbox.h"

#include <QAbstractButton>
#include <QApplication>
#include <QPushButton>
#include <QTest>

namespace testsupport {

namespace {
QString plain(QString text) { return text.remove(QLatin1Char('&')); }
} // namespace

QuestionBox::QuestionBox(QString button) : press(std::move(button)) {
    timer.setInterval(5);
    connect(&timer, &QTimer::timeout, this, &QuestionBox::look);
    timer.start();
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
    QAbstractButton* chosen = nullptr;
    for (QAbstractButton* button : box->buttons()) {
        buttons << plain(button->text());
        if (plain(button->text()) == press)
            chosen = button;
    }
    if (chosen)
        QTest::mouseClick(chosen, Qt::LeftButton);
    else
        box->reject();
}

} // namespace testsupport
