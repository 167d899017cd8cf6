#include "forms/messagebox.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDialogButtonBox>
#include <QKeyEvent>
#include <QMessageBox>
#include <QProxyStyle>
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
    if (buttons == MsgBoxStyle::YesNo)
        return {{QStringLiteral("&Ja"), MsgBoxResult::Yes, QMessageBox::YesRole},
                {QStringLiteral("&Nej"), MsgBoxResult::No, QMessageBox::NoRole}};
    return {{QStringLiteral("OK"), MsgBoxResult::Ok, QMessageBox::AcceptRole}};
}

// The buttons stand in the order they are given on every desktop; GNOME's would put "Nej" before
// "Ja".
class GivenOrder final : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returned) const override {
        if (hint == SH_DialogButtonLayout)
            return QDialogButtonBox::WinLayout;
        return QProxyStyle::styleHint(hint, option, widget, returned);
    }
};

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
    // Only the lone OK answers nothing, and so may be given by Escape or the close button.
    const bool cancels = choices.size() == 1;
    const QMessageBox::Icon icon =
        (style & 0x70) == MsgBoxStyle::Critical ? QMessageBox::Critical : QMessageBox::NoIcon;
    GivenOrder order;
    AnswerBox box(icon, title, prompt, cancels);
    box.setTextFormat(Qt::PlainText);
    if (auto* row = box.findChild<QDialogButtonBox*>())
        row->setStyle(&order);
    std::vector<QPushButton*> buttons;
    for (const Choice& choice : choices)
        buttons.push_back(box.addButton(choice.text, choice.role));
    box.setDefaultButton(buttons.front());
    box.exec();
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        if (box.clickedButton() == buttons[i])
            return choices[i].code;
    }
    // Closed without a button (Escape or the close button on a lone OK).
    return choices.back().code;
}

} // namespace tk
