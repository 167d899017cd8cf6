#pragma once

// File names as the programs show them and as the folder holds them. A name that is not valid
// UTF-8 (a Latin-1 name from an old archive or memory card) is shown decoded as Windows-1252, the
// settings file's code page: saved, it is then the file's own name byte for byte, and the game
// finds the file by it.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace tk {

// The name as shown: UTF-8 when it is valid UTF-8, else Windows-1252.
QString shownFileName(QByteArrayView bytes);

// The bytes of the file that `name` stands for, relative as `name` is. The UTF-8 name wins when
// a file has it; otherwise a file whose own name is the last part in Windows-1252 (and not valid
// UTF-8) is meant. A name that no file has is given in UTF-8.
QByteArray fileNameBytes(const QString& name);

} // namespace tk
