#include "messagebox.h"

#include <QApplication>
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

} // namespace

int msgBox(const QString& prompt, int style, const QString& title) {
    QMessageBox box(iconFor(style & 0x70), title, prompt, QMessageBox::NoButton,
                    QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    const std::vector<Choice> choices = choicesFor(style & 0x0F);
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
    // Closed without a button (Escape): the answer that changes nothing.
    return choices.back().code;
}

} // namespace tk
