#pragma once

#include <QByteArray>

namespace testsupport {

// bitvik.ini as Tralloma writes it: the two counts and the quoted name, each line ended by CR LF.
// The name is given in the file's own encoding, Windows-1252.
inline QByteArray settingsBytes(int cols, int rows, const QByteArray& name) {
    return QByteArray::number(cols) + "\r\n" + QByteArray::number(rows) + "\r\n\"" + name +
           "\"\r\n";
}

} // namespace testsupport
