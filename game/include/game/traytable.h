#pragma once

#include "common/checkedint.h"

#include <vector>

namespace bitvik {

// A table of 16-bit entries, zero at start, every index checked. It holds 51 entries, and as
// many as a larger board has cells once it is made room for.
class TrayTable {
public:
    static constexpr int minimumSize = 51;

    TrayTable() : entries(minimumSize) {}

    void makeRoomFor(int count);
    int size() const { return int(entries.size()); }

    common::Int16& operator()(common::Int16 index);

private:
    std::vector<common::Int16> entries;
};

} // namespace bitvik
