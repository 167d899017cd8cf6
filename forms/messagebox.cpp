#include "forms/messagebox.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <vector>

namespace tk {

namespace {

struct Choice {
    QString text;
    int code;
    QMessageBox::ButtonRole role;
};

std::vector<Choice> choicesFor(int buttons) {
    switch (buttons) {
    case MsgBoxStyle::OkCancel:
        return {{QStringLiteral("OK"), MsgBoxResult::Ok, QMessageBox::AcceptRole},
                {QStringLiteral("Avbryt"), MsgBoxResult::Cancel, QMessageBox::RejectRole}};
    case MsgBoxStyle::YesNoCancel:
        return {{QStringLiteral("&Ja"), MsgBoxResult::Yes, QMessageBox::YesRole},
                {QStringLiteral("&Nej"), MsgBoxResult::No, QMessageBox::NoRole},
                {QStringLiteral("Avbryt"), MsgBoxResult::Cancel, QMessageBox::RejectRole}};
    case MsgBoxStyle::YesNo:
        return {{QStringLiteral("&Ja"), MsgBoxResult::Yes, QMessageBox::YesRole},
                {QStringLiteral("&Nej"), MsgBoxResult::No, QMessageBox::NoRole}};
    default:
        return {{QStringLiteral("OK"), MsgBoxResult::Ok, QMessageBox::AcceptRole}};
    }
}

QMessageBox::Icon iconFor(int icon) {
    switch (icon) {
    case MsgBoxStyle::Critical:
        return QMessageBox::Critical;
    case MsgBoxStyle::Question:
        return QMessageBox::Question;
    case MsgBoxStyle::Exclamation:
        return QMessageBox::Warning;
    case MsgBoxStyle::Information:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

// A box without a cancelling answer waits for one of its buttons: Escape and the window's close
// button would otherwise answer for the user.
class AnswerBox final : public QMessageBox {
public:
    AnswerBox(QMessageBox::Icon icon, const QString& title, const QString& prompt, bool cancels)
        : QMessageBox(icon, title, prompt, QMessageBox::NoButton, QApplication::activeWindow()),
          cancels(cancels) {}

protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (!cancels && event->matches(QKeySequence::Cancel))
            return;
        QMessageBox::keyPressEvent(event);
    }
    void closeEvent(QCloseEvent* event) override {
        if (cancels)
            QMessageBox::closeEvent(event);
        else
            event->ignore();
    }

private:
    bool cancels;
};

} // namespace

int msgBox(const QString& prompt, int style, const QString& title) {
    const std::vector<Choice> choices = choicesFor(style & 0x0F);
    const bool cancels = choices.size() == 1 || choices.back().role == QMessageBox::RejectRole;
    AnswerBox box(iconFor(style & 0x70), title, prompt, cancels);
    box.setTextFormat(Qt::PlainText);
    std::vector<QPushButton*> buttons;
    for (const Choice& choice : choices)
        buttons.push_back(box.addButton(choice.text, choice.role));
    const std::size_t preferred = std::size_t((style & 0x300) >> 8);
    box.setDefaultButton(buttons[preferred < buttons.size() ? preferred : 0]);
    box.exec();
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        if (box.clickedButton() == buttons[i])
            return choices[i].code;
    }
    // Closed without a button (Escape, or the close button where the box has a cancelling
    // answer): the answer that changes nothing.
    return choices.back().code;
}

} // namespace tk
