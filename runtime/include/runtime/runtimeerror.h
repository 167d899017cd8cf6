#pragma once

#include <exception>
#include <QByteArray>
#include <QString>

namespace tk {

// A failure that ends the running handler, and with it the program, through the standard error
// report. The message is Swedish and names what failed and the file or value involved.
class RuntimeError : public std::exception {
public:
    explicit RuntimeError(QString message);

    const QString& message() const { return text; }
    const char* what() const noexcept override { return utf8.constData(); }

private:
    QString text;
    QByteArray utf8;
};

} // namespace tk
