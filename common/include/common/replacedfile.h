#pragma once

#include "runtime/descriptor.h"
#include "runtime/temporaryfile.h"

#include <optional>
#include <QByteArray>
#include <QString>
#include <string>

namespace common {

// Puts new bytes in place of a file so that a reader finds either the old bytes or the new, never
// a mix or nothing: they go to a temporary file beside the one they replace, which is written,
// synced and closed, each step checked, and only then renamed over it. A failure at any step
// leaves the old file as it was and no temporary file behind.
class ReplacedFile {
public:
    // Finds the file to replace and creates the temporary file beside it. A symbolic link is
    // followed only to a regular file, or to a missing name in a folder that exists; anything
    // else is refused without touching it. Temporary files that an earlier save left behind
    // (the program was killed half-way) are removed first, once old enough to be abandoned: a
    // younger one may be another program's save under way.
    explicit ReplacedFile(const QString& fileName);
    // Removes those leftovers alone, so that they do not wait for the next save.
    static void clearLeftovers(const QString& fileName);
    ReplacedFile(const ReplacedFile&) = delete;
    ReplacedFile& operator=(const ReplacedFile&) = delete;

    // Why the file cannot be replaced, in Swedish; empty when the temporary file is ready.
    const QString& failure() const { return refusal; }
    // Writes the bytes and puts them in place; returns why that failed, or an empty string.
    QString commit(const QByteArray& bytes);

private:
    QString fail(int code);

    QString refusal;
    std::string target;
    std::string folderPath;
    tk::Descriptor folder;
    std::optional<tk::TemporaryFile> temporary; // after its folder: gone before it
};

} // namespace common
