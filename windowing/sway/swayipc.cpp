#include "sway/swayipc.h"

#include <cstdint>
#include <cstring>
#include <QByteArray>
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
// sway answers at once; a socket that stays silent longer is not worth the wait.
constexpr timeval patience{1, 0};

class Connection {
public:
    explicit Connection(int fd) : fd(fd) {
        ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &patience, sizeof patience);
        ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &patience, sizeof patience);
    }

    bool send(const QByteArray& bytes) {
        for (qsizetype done = 0; done < bytes.size();) {
            const ssize_t sent = ::send(fd, bytes.constData() + done,
                                        std::size_t(bytes.size() - done), MSG_NOSIGNAL);
            if (sent <= 0)
                return false;
            done += sent;
        }
        return true;
    }

    QByteArray receive(std::size_t size) {
        QByteArray bytes(qsizetype(size), Qt::Uninitialized);
        for (std::size_t done = 0; done < size;) {
            const ssize_t got = ::recv(fd, bytes.data() + done, size - done, 0);
            if (got <= 0)
                return {};
            done += std::size_t(got);
        }
        return bytes;
    }

private:
    const int fd;
};

class Socket {
public:
    Socket() : fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0)) {}
    ~Socket() {
        if (fd >= 0)
            ::close(fd);
    }
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;

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

bool swayCommand(const QByteArray& command) {
    Socket socket;
    return socket.connect(swaySocketPath()) && swayCommandOver(socket.descriptor(), command);
}

bool swayCommandOver(int socket, const QByteArray& command) {
    Connection sway(socket);
    if (!sway.send(message(runCommand, command)))
        return false;
    const QByteArray header = sway.receive(headerSize);
    if (header.size() != qsizetype(headerSize) ||
        !header.startsWith(QByteArray(magic, sizeof magic)))
        return false;
    std::uint32_t length = 0;
    std::memcpy(&length, header.constData() + sizeof magic, sizeof length);
    if (length > longestReply)
        return false;
    // One result a command, each saying whether it ran.
    const QJsonArray results = QJsonDocument::fromJson(sway.receive(length)).array();
    if (results.isEmpty())
        return false;
    for (const auto& result : results) {
        if (!result.toObject().value(QLatin1String("success")).toBool())
            return false;
    }
    return true;
}

} // namespace windowing
