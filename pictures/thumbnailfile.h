#pragma once

// Writing one thumbnail into the shared cache, changing nothing the program did not make.

#include <string>
#include <string_view>

namespace tk::thumbnails {

// Puts the bytes in place at `path` (in a size folder of the cache) in one step: written to a
// temporary file beside it, made for the owner only, and renamed. What is missing of the cache's
// folders is made for the owner only; a folder that is there already is left as it is, and one
// reached through a symbolic link is not written in. Temporary files that an earlier run left,
// killed half-way, are cleared first, once they are old enough to be abandoned. A failure only
// means that no thumbnail is written.
void writeFile(const std::string& path, std::string_view bytes);

} // namespace tk::thumbnails
