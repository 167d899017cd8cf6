#pragma once

// Temporary files that a run killed half-way left behind. Another program may be writing one at
// this moment: its file changes within seconds (a thumbnail or a settings file is written and
// renamed within one handler), so only one untouched for much longer than any write is taken for
// abandoned.

#include "runtime/temporaryfile.h"

#include <limits>
#include <sys/types.h>

namespace tk {

// Ten minutes: past the longest write on slow or networked storage, with room for the few
// minutes a file server's clock may stand apart from ours.
inline constexpr long abandonedAfterSeconds = 10 * 60;

// Removes from the open folder the regular files of this user by that naming, no larger than
// `largest` bytes, that are abandoned. Links, folders and anything of another user stay.
void removeLeftovers(int folder, const TemporaryNaming& naming,
                     off_t largest = std::numeric_limits<off_t>::max());

} // namespace tk
