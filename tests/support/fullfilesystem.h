#pragma once

#include <QString>

namespace testsupport {

// A small tmpfs mounted over a folder, inside a mount namespace of the test process's own so that
// nothing outside the test sees it. Mounting needs root; where it is not permitted, `skipReason`
// says why and the folder is left as it was. A current directory inside the folder moves onto
// the mounted filesystem.
class SmallFilesystem {
public:
    explicit SmallFilesystem(const QString& folder);
    ~SmallFilesystem();
    SmallFilesystem(const SmallFilesystem&) = delete;
    SmallFilesystem& operator=(const SmallFilesystem&) = delete;

    bool mounted() const { return skipReason.isEmpty(); }
    // Writes a filler file until the filesystem refuses with "no space left"; false if it never
    // did.
    bool fill();

    QString skipReason;

private:
    QString path;
};

} // namespace testsupport
