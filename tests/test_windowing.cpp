#include "placement.h"
#include "platform.h"
#include "sway/swayipc.h"

#include <atomic>
#include <QElapsedTimer>
#include <QTest>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

using namespace std::chrono_literals;
using windowing::Environment;
using windowing::Platform;
using windowing::SwayAnswer;

Q_DECLARE_METATYPE(Platform)
Q_DECLARE_METATYPE(SwayAnswer)
Q_DECLARE_METATYPE(std::optional<QMargins>)

namespace {

// The two ends of a local stream socket: the program's and the stand-in for sway's.
struct SocketPair {
    int program = -1;
    int sway = -1;
    SocketPair() {
        int ends[2];
        if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) == 0) {
            program = ends[0];
            sway = ends[1];
        }
    }
    ~SocketPair() {
        ::close(program);
        ::close(sway);
    }
    SocketPair(const SocketPair&) = delete;
    SocketPair& operator=(const SocketPair&) = delete;
};

QByteArray le32(std::uint32_t value) {
    QByteArray bytes(4, '\0');
    for (int i = 0; i < 4; ++i)
        bytes[i] = char(value >> (8 * i));
    return bytes;
}

// A reply as sway frames it: magic, payload length and type (0: a command), payload.
QByteArray reply(const QByteArray& payload, std::uint32_t length) {
    return "i3-ipc" + le32(length) + le32(0) + payload;
}
QByteArray reply(const QByteArray& payload) {
    return reply(payload, std::uint32_t(payload.size()));
}

} // namespace

class TestWindowing : public QObject {
    Q_OBJECT

private slots:
    // Each environment as measured on a desktop of that kind.
    void platformChoice_data() {
        QTest::addColumn<Environment>("environment");
        QTest::addColumn<QList<QByteArray>>("arguments");
        QTest::addColumn<QByteArray>("tried"); // empty: Qt's own choice
        const QList<QByteArray> none{"bitvik"};
        QTest::newRow("X11 session")
            << Environment{.display = ":0"} << none << QByteArray("xcb;wayland");
        QTest::newRow("GNOME or KDE on Wayland, with Xwayland")
            << Environment{.display = ":0", .waylandDisplay = "wayland-0"} << none
            << QByteArray("xcb;wayland");
        QTest::newRow("Wayland without Xwayland (weston)")
            << Environment{.waylandDisplay = "wayland-1"} << none << QByteArray("wayland;xcb");
        QTest::newRow("sway, its Xwayland running")
            << Environment{.display = ":1",
                           .waylandDisplay = "wayland-1",
                           .swaySocket = "/run/user/1000/sway-ipc.sock"}
            << none << QByteArray("wayland;xcb");
        QTest::newRow("nothing at all") << Environment{} << none << QByteArray("wayland;xcb");
        QTest::newRow("QT_QPA_PLATFORM chosen")
            << Environment{.display = ":0", .qtPlatform = "wayland"} << none << QByteArray();
        QTest::newRow("-platform given")
            << Environment{.display = ":0"} << QList<QByteArray>{"bitvik", "-platform", "offscreen"}
            << QByteArray();
        QTest::newRow("--platform given")
            << Environment{.swaySocket = "/tmp/s"}
            << QList<QByteArray>{"bitvik", "--platform", "xcb"} << QByteArray();
        QTest::newRow("the program's own name is no option")
            << Environment{.display = ":0"} << QList<QByteArray>{"-platform"}
            << QByteArray("xcb;wayland");
    }
    void platformChoice() {
        QFETCH(Environment, environment);
        QFETCH(QList<QByteArray>, arguments);
        QFETCH(QByteArray, tried);
        QCOMPARE(windowing::platformsToTry(environment, arguments).value_or(QByteArray()), tried);
    }

    void platformTaken_data() {
        QTest::addColumn<QString>("qtPlatform");
        QTest::addColumn<QByteArray>("swaySocket");
        QTest::addColumn<Platform>("platform");
        QTest::newRow("xcb") << "xcb" << QByteArray() << Platform::X11;
        QTest::newRow("xcb under sway") << "xcb" << QByteArray("/tmp/s") << Platform::X11;
        QTest::newRow("wayland") << "wayland" << QByteArray() << Platform::Wayland;
        QTest::newRow("wayland under sway") << "wayland" << QByteArray("/tmp/s") << Platform::Sway;
        QTest::newRow("offscreen") << "offscreen" << QByteArray() << Platform::Other;
    }
    void platformTaken() {
        QFETCH(QString, qtPlatform);
        QFETCH(QByteArray, swaySocket);
        QFETCH(Platform, platform);
        QCOMPARE(windowing::platformOf(qtPlatform, Environment{.swaySocket = swaySocket}),
                 platform);
    }

    // The game's window (629 x 477 pixels of client area) on a 1024 x 768 screen, with the frames
    // the desktops were seen to draw.
    void centring_data() {
        QTest::addColumn<QRect>("screen");
        QTest::addColumn<QMargins>("sides");
        QTest::addColumn<QPoint>("client");
        const QRect screen(0, 0, 1024, 768);
        QTest::newRow("no frame") << screen << QMargins() << QPoint(197, 145);
        QTest::newRow("openbox: 1-pixel sides, 21 above, 4 below")
            << screen << QMargins(1, 21, 1, 4) << QPoint(197, 154);
        QTest::newRow("mutter 48: a 39-pixel title bar alone")
            << screen << QMargins(0, 39, 0, 0) << QPoint(197, 165);
        QTest::newRow("kwin's Breeze: 30 above")
            << screen << QMargins(0, 30, 0, 0) << QPoint(197, 160);
        QTest::newRow("a border on the left alone: the odd pixel right")
            << screen << QMargins(2, 0, 0, 0) << QPoint(198, 145);
        QTest::newRow("the right of two monitors")
            << QRect(1024, 0, 1024, 768) << QMargins(1, 21, 1, 4) << QPoint(1221, 154);
    }
    void centring() {
        QFETCH(QRect, screen);
        QFETCH(QMargins, sides);
        QFETCH(QPoint, client);
        QCOMPARE(windowing::centredIn(screen, QSize(629, 477), sides),
                 QRect(client, QSize(629, 477)));
    }

    // What a desktop says of a frame around the game's window on a 1024 x 768 screen.
    void frameWord_data() {
        QTest::addColumn<std::optional<QMargins>>("said");
        QTest::addColumn<QSize>("client");
        QTest::addColumn<bool>("believed");
        const QSize game(629, 477);
        QTest::newRow("openbox's") << std::optional(QMargins(1, 21, 1, 4)) << game << true;
        QTest::newRow("none said") << std::optional<QMargins>() << game << false;
        QTest::newRow("2^31 on every side, read as int")
            << std::optional(QMargins(INT_MIN, INT_MIN, INT_MIN, INT_MIN)) << game << false;
        QTest::newRow("a top of 5000") << std::optional(QMargins(0, 5000, 0, 0)) << game << false;
        QTest::newRow("a side below zero")
            << std::optional(QMargins(-1, 21, 1, 4)) << game << false;
        QTest::newRow("filling the room exactly")
            << std::optional(QMargins(200, 291, 195, 0)) << game << true;
        QTest::newRow("a pixel past the room")
            << std::optional(QMargins(200, 0, 196, 0)) << game << false;
        QTest::newRow("a window as large as the screen, no frame")
            << std::optional(QMargins()) << QSize(1024, 768) << true;
        QTest::newRow("a window larger than the screen, framed")
            << std::optional(QMargins(0, 30, 0, 0)) << QSize(1200, 900) << false;
    }
    void frameWord() {
        QFETCH(std::optional<QMargins>, said);
        QFETCH(QSize, client);
        QFETCH(bool, believed);
        QCOMPARE(windowing::believableFrame(said, client, QSize(1024, 768)),
                 believed ? said : std::nullopt);
    }

    // sway's reply as it comes, or comes broken, over a local socket.
    void swayReply_data() {
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<SwayAnswer>("expected");
        QTest::newRow("ran") << reply(R"([{"success":true}])") << SwayAnswer::Ran;
        QTest::newRow("two commands, both ran")
            << reply(R"([{"success":true},{"success":true}])") << SwayAnswer::Ran;
        QTest::newRow("one of two refused")
            << reply(R"([{"success":true},{"success":false,"error":"No matching node"}])")
            << SwayAnswer::Refused;
        QTest::newRow("no results") << reply("[]") << SwayAnswer::Unanswered;
        QTest::newRow("not JSON") << reply("ok") << SwayAnswer::Unanswered;
        QTest::newRow("another protocol")
            << "i3-ipX" + reply("[]").mid(6) << SwayAnswer::Unanswered;
        QTest::newRow("a header cut short")
            << reply(R"([{"success":true}])").left(9) << SwayAnswer::Unanswered;
        QTest::newRow("a payload cut short")
            << reply(R"([{"success":true}])").chopped(3) << SwayAnswer::Unanswered;
        QTest::newRow("a length past 64 KiB")
            << reply(R"([{"success":true}])", (1 << 16) + 1) + QByteArray(1 << 16, ' ')
            << SwayAnswer::Unanswered;
        QTest::newRow("nothing, the socket closed") << QByteArray() << SwayAnswer::Unanswered;
    }
    void swayReply() {
        QFETCH(QByteArray, answer);
        QFETCH(SwayAnswer, expected);
        SocketPair socket;
        QVERIFY(socket.program >= 0);
        QCOMPARE(::write(socket.sway, answer.constData(), std::size_t(answer.size())),
                 ssize_t(answer.size()));
        ::shutdown(socket.sway, SHUT_WR);
        QCOMPARE(windowing::swayCommandOver(socket.program, "[pid=7 tiling] border none"),
                 expected);

        const QByteArray command("[pid=7 tiling] border none");
        QByteArray sent(64, '\0');
        sent.resize(::read(socket.sway, sent.data(), std::size_t(sent.size())));
        QCOMPARE(sent, reply(command));
    }

    // A hung or overloaded sway costs the whole exchange's patience at most, however it dribbles.
    void swayThatDoesNotAnswer_data() {
        QTest::addColumn<int>("byteEveryMs"); // 0: never a byte
        QTest::newRow("silent") << 0;
        QTest::newRow("a byte every 40 ms") << 40;
    }
    void swayThatDoesNotAnswer() {
        QFETCH(int, byteEveryMs);
        SocketPair socket;
        QVERIFY(socket.program >= 0);
        std::atomic<bool> done = false;
        std::thread dribble([&] {
            const QByteArray answer = reply(R"([{"success":true}])");
            for (qsizetype i = 0; byteEveryMs > 0 && i < answer.size() && !done; ++i) {
                std::this_thread::sleep_for(std::chrono::milliseconds(byteEveryMs));
                ::send(socket.sway, answer.constData() + i, 1, MSG_NOSIGNAL);
            }
        });
        QElapsedTimer clock;
        clock.start();
        const SwayAnswer answer = windowing::swayCommandOver(socket.program, "focus", 300ms);
        const qint64 waited = clock.elapsed();
        done = true;
        dribble.join();
        QCOMPARE(answer, SwayAnswer::Unanswered);
        QVERIFY2(waited >= 290 && waited < 600, qPrintable(QString::number(waited)));
    }
};

QTEST_GUILESS_MAIN(TestWindowing)
#include "test_windowing.moc"
