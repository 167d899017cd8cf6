#include "game/traytable.h"

#include "runtime/runtimeerror.h"

namespace bitvik {

void TrayTable::makeRoomFor(int count) {
    if (count > size())
        entries.resize(std::size_t(count));
}

common::Int16& TrayTable::operator()(common::Int16 index) {
    if (index < 0 || index.value() >= size())
        throw tk::RuntimeError(
            QStringLiteral("Index %1 ligger utanför tabellen trayOrder (0 till %2).")
                .arg(index.value())
                .arg(size() - 1));
    return entries[std::size_t(index.value())];
}

} // namespace bitvik
