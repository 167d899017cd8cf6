#include "runtime/leftovers.h"

#include <ctime>

namespace tk {

bool abandoned(const struct stat& info) {
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    return now.tv_sec - info.st_mtim.tv_sec > abandonedAfterSeconds;
}

} // namespace tk
