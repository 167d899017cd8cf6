#include "sway/swayipc.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <QByteArray>
#include <QDeadlineTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace windowing {

namespace {

constexpr char magic[] = {'i', '3', '-', 'i', 'p', 'c'};
constexpr std::uint32_t runCommand = 0;
constexpr std::size_t headerSize = sizeof magic + 2 * sizeof(std::uint32_t);

// A command's reply is a short list of results; anything longer is not sway's.
constexpr std::uint32_t longestReply = 1 << 16;

// One exchange with sway, every wait in it bounded by one deadline: a socket that answers a byte
// at a time, or never, costs no more than the deadline in all.
class Exchange {
public:
    Exchange(int fd, QDeadlineTimer deadline) : fd(fd), deadline(deadline) {
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    }

    bool send(const QByteArray& bytes) {
        for (qsizetype done = 0; done < bytes.size();) {
            const ssize_t sent = ::send(fd, bytes.constData() + done,
                                        std::size_t(bytes.size() - done), MSG_NOSIGNAL);
            if (sent > 0)
                done += sent;
            else if (!retry(sent, POLLOUT))
                return false;
        }
        return true;
    }

    QByteArray receive(std::size_t size) {
        QByteArray bytes(qsizetype(size), Qt::Uninitialized);
        for (std::size_t done = 0; done < size;) {
            const ssize_t got = ::recv(fd, bytes.data() + done, size - done, 0);
            if (got > 0)
                done += std::size_t(got);
            else if (got == 0 || !retry(got, POLLIN))
                return {};
        }
        return bytes;
    }

private:
    // Waits for the socket to be ready again, where the call only found it not yet ready.
    bool retry(ssize_t result, short ready) {
        if (result < 0 && errno == EINTR)
            return !deadline.hasExpired();
        if (result < 0 && errno != EAGAIN && errno != EWOULDBLOCK)
            return false;
        pollfd wanted{fd, ready, 0};
        const int left = int(deadline.remainingTime());
        return left > 0 && ::poll(&wanted, 1, left) > 0 && (wanted.revents & ready) != 0;
    }

    const int fd;
    const QDeadlineTimer deadline;
};

class Socket {
public:
    Socket() : fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0)) {}
    ~Socket() {
        if (fd >= 0)
            ::close(fd);
    }
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;

    // A listening socket whose queue is full refuses at once rather than keep the caller.
    bool connect(const QByteArray& path) {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        if (fd < 0 || path.isEmpty() || std::size_t(path.size()) >= sizeof address.sun_path)
            return false;
        std::memcpy(address.sun_path, path.constData(), std::size_t(path.size()));
        return ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    }

    int descriptor() const { return fd; }

private:
    const int fd;
};

QByteArray message(std::uint32_t type, const QByteArray& payload) {
    const auto length = std::uint32_t(payload.size());
    QByteArray bytes(magic, sizeof magic);
    bytes.append(reinterpret_cast<const char*>(&length), sizeof length);
    bytes.append(reinterpret_cast<const char*>(&type), sizeof type);
    return bytes + payload;
}

} // namespace

QByteArray swaySocketPath() {
    return qgetenv("SWAYSOCK");
}

SwayAnswer swayCommand(const QByteArray& command) {
    Socket socket;
    if (!socket.connect(swaySocketPath()))
        return SwayAnswer::Unanswered;
    return swayCommandOver(socket.descriptor(), command);
}

SwayAnswer swayCommandOver(int socket, const QByteArray& command,
                           std::chrono::milliseconds patience) {
    Exchange sway(socket, QDeadlineTimer(patience));
    if (!sway.send(message(runCommand, command)))
        return SwayAnswer::Unanswered;
    const QByteArray header = sway.receive(headerSize);
    if (header.size() != qsizetype(headerSize) ||
        !header.startsWith(QByteArray(magic, sizeof magic)))
        return SwayAnswer::Unanswered;
    std::uint32_t length = 0;
    std::memcpy(&length, header.constData() + sizeof magic, sizeof length);
    if (length > longestReply)
        return SwayAnswer::Unanswered;
    // One result a command, each saying whether it ran.
    const QJsonArray results = QJsonDocument::fromJson(sway.receive(length)).array();
    if (results.isEmpty())
        return SwayAnswer::Unanswered;
    for (const auto& result : results) {
        if (!result.toObject().value(QLatin1String("success")).toBool())
            return SwayAnswer::Refused;
    }
    return SwayAnswer::Ran;
}

} // namespace windowing
