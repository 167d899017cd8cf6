#pragma once

#include <unistd.h>
#include <utility>

namespace tk {

// A file descriptor that closes itself.
class Descriptor {
public:
    explicit Descriptor(int fd = -1) : fd(fd) {}
    ~Descriptor() { close(); }
    Descriptor(Descriptor&& other) noexcept : fd(std::exchange(other.fd, -1)) {}
    Descriptor& operator=(Descriptor&& other) noexcept {
        if (this != &other) {
            close();
            fd = std::exchange(other.fd, -1);
        }
        return *this;
    }

    int get() const { return fd; }
    bool isOpen() const { return fd >= 0; }
    // Closes it now; false (see errno) when the system reports that written bytes may be lost.
    bool close() { return fd < 0 || ::close(std::exchange(fd, -1)) == 0; }

private:
    int fd;
};

} // namespace tk
