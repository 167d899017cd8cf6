#pragma once

// When a temporary file of the programs' own naming counts as left by a run that was killed.
// Another program may be writing one at this moment: its file changes within seconds (a thumbnail
// or a settings file is written and renamed within one handler), so only one untouched for much
// longer than any write is taken for abandoned.

#include <sys/stat.h>

namespace tk {

// Ten minutes: past the longest write on slow or networked storage, with room for the few
// minutes a file server's clock may stand apart from ours.
inline constexpr long abandonedAfterSeconds = 10 * 60;

bool abandoned(const struct stat& info);

} // namespace tk
