#pragma once

// The one way the programs open a file to read it, whatever its role (picture, thumbnail,
// settings file): without blocking, so that a FIFO in its place cannot stall a program; only a
// regular file, so that a link to a device cannot feed it without end; and read with a bound.
// Plain C++, so that code running before the application object exists can use it too.

#include <cstddef>
#include <cstdio>
#include <optional>
#include <string>
#include <sys/stat.h>

namespace tk {

class RegularFile {
public:
    enum class Failure {
        None,
        CannotOpen, // see error()
        NotRegular, // a folder, FIFO, socket or device, or a link to one
    };

    explicit RegularFile(const std::string& path);
    ~RegularFile();
    RegularFile(const RegularFile&) = delete;
    RegularFile& operator=(const RegularFile&) = delete;

    Failure failure() const { return why; }
    bool isOpen() const { return why == Failure::None; }
    // The errno value of a failed open or read.
    int error() const { return code; }
    // The file as it was opened.
    const struct stat& status() const { return info; }

    // Up to `limit` bytes from where reading stands; empty when reading fails.
    std::optional<std::string> read(std::size_t limit);
    // The whole file, when it holds no more than `limit` bytes.
    std::optional<std::string> readAll(std::size_t limit);

    // Hands the open file over to the caller, who closes it: as a descriptor, or as a stream.
    int release();
    std::FILE* releaseStream();

private:
    int fd = -1;
    Failure why = Failure::None;
    int code = 0;
    struct stat info = {};
};

} // namespace tk
