#pragma once

// A file replaced in one step: the new bytes go to a temporary file beside it, which is written,
// closed and only then renamed over it, so that a reader finds the old bytes or the new, never a
// mix or nothing. Here is what every such writer shares; how it finds its folder, what it checks
// and how it reports a failure are its own.

#include "runtime/descriptor.h"

#include <string>
#include <string_view>
#include <sys/types.h>

namespace tk {

// A writer's temporary files are named prefix, six random letters or digits, suffix: distinct
// enough that no file of the user's is taken for one when leftovers are cleared.
struct TemporaryNaming {
    std::string prefix;
    std::string suffix;

    bool names(std::string_view entry) const;
};

// A file under a fresh name of its naming, created in an open folder, never over an entry that is
// there. It is removed again when it goes, unless it was kept: renamed into place. The folder
// stays open as long as the temporary file lives.
class TemporaryFile {
public:
    TemporaryFile(int folder, const TemporaryNaming& naming, mode_t mode);
    ~TemporaryFile();
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    // The errno value of a failed create; 0 when the file is open for writing.
    int error() const { return failure; }
    int get() const { return file.get(); }
    // Its name in the folder.
    const std::string& name() const { return own; }

    // Writes all of the bytes, however the system splits them; returns 0 or the errno value (a
    // write that makes no progress counts as a full disk).
    int write(std::string_view bytes);
    // Closes it, checked; false (see errno) when bytes may be lost.
    bool close() { return file.close(); }
    // It has been renamed into place: nothing of it is left to remove.
    void keep() { own.clear(); }

private:
    int folder;
    std::string own;
    Descriptor file;
    int failure = 0;
};

} // namespace tk
