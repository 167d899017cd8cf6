// What a camera photo costs against a small BMP, measured in process on the offscreen platform:
// the game's start-up, the setup tool's preview, Qt's own full decode, and painting the game
// window. The whole process on a real X screen is bench/startup.py.
//
//   bitvik-bench [--runs N] [--inputs FOLDER]   figures (inputs generated into FOLDER if missing)
//   bitvik-bench --generate FOLDER              the inputs only

#include "game/form1.h"
#include "photos.h"
#include "runtime/program.h"
#include "setup/form1.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QTemporaryDir>
#include <QThread>
#include <QWidget>
#include <QWindow>
#include <vector>

namespace {

using bench::Input;

[[noreturn]] void fail(const QString& what) {
    std::fprintf(stderr, "bitvik-bench: %s\n", qUtf8Printable(what));
    std::exit(1);
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

double milliseconds(const QElapsedTimer& timer) {
    return double(timer.nsecsElapsed()) / 1e6;
}

// A program whose error report and end are kept, so that a failure shows in the figures' place.
struct QuietProgram {
    explicit QuietProgram(const QString& name)
        : program(
              name, [this](const QString&, const QString& message) { reports << message; },
              [](int) {}) {}
    QStringList reports;
    tk::Program program;
};

void writeSettings(const QString& pictureName) {
    QFile file(QStringLiteral("bitvik.ini"));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        fail(QStringLiteral("kan inte skriva bitvik.ini"));
    file.write("7\r\n7\r\n\"" + pictureName.toLatin1() + "\"\r\n");
}

// A shown window paints once the window system has exposed it.
void waitForExposure(QWidget* window) {
    QElapsedTimer waited;
    waited.start();
    while (!(window->windowHandle() && window->windowHandle()->isExposed())) {
        if (waited.elapsed() > 5000)
            fail(QStringLiteral("the window was never exposed"));
        QApplication::processEvents();
    }
}

// Form1 built with its design values, Form_Load run, the window shown and painted once.
double gameStartUp(const Input& input) {
    writeSettings(input.fileName);
    QuietProgram quiet(QStringLiteral("Bitvik"));
    QElapsedTimer timer;
    timer.start();
    bitvik::Form1 form(quiet.program);
    form.loadAndShow();
    waitForExposure(form.widget());
    form.widget()->repaint();
    const double ms = milliseconds(timer);
    if (!quiet.reports.isEmpty() || !form.isVisible())
        fail(input.label + QStringLiteral(": start-up failed: ") + quiet.reports.value(0));
    return ms;
}

// One File1_Click (the selection raises it), the decode on the tool's thread, and the paint that
// shows the preview.
double preview(tralloma::Form1& form, int entry, const Input& input) {
    QElapsedTimer timer;
    timer.start();
    form.File1.select(entry);
    const tk::Picture placeholder = form.Image1.picture();
    while (form.Image1.picture() == placeholder) {
        if (timer.elapsed() > 5000)
            fail(input.label + QStringLiteral(": the preview's pixels never came"));
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    }
    form.widget()->repaint();
    const double ms = milliseconds(timer);
    if (form.Text1.text() != input.fileName || form.Image1.width() != 4455.0f)
        fail(input.label + QStringLiteral(": no preview"));
    return ms;
}

// Qt's reader with its defaults, every pixel decoded; without the allocation limit, which a
// 50 MP photo exceeds.
double fullDecode(const Input& input) {
    const int limit = QImageReader::allocationLimit();
    QImageReader::setAllocationLimit(0);
    QElapsedTimer timer;
    timer.start();
    QImageReader reader(input.fileName);
    const QImage image = reader.read();
    const double ms = milliseconds(timer);
    QImageReader::setAllocationLimit(limit);
    if (image.size() != input.size)
        fail(input.label + QStringLiteral(": Qt could not decode it: ") + reader.errorString());
    return ms;
}

// The least any JPEG decode of the file costs: at an eighth the decoder keeps only each block's
// average, but it must still read every coefficient of the entropy-coded data to find the next.
double eighthDecode(const Input& input) {
    QElapsedTimer timer;
    timer.start();
    QImageReader reader(input.fileName);
    reader.setScaledSize(input.size / 8);
    const QImage image = reader.read();
    const double ms = milliseconds(timer);
    if (image.size() != input.size / 8)
        fail(input.label + QStringLiteral(": Qt could not decode it at an eighth"));
    return ms;
}

bool decodesAtDefaultLimit(const Input& input) {
    QImageReader reader(input.fileName);
    return !reader.read().isNull();
}

// Repaints of the whole game window with a 7 x 7 board, once everything has been drawn once.
std::vector<double> windowPaints(const Input& input, int paints) {
    writeSettings(input.fileName);
    QuietProgram quiet(QStringLiteral("Bitvik"));
    bitvik::Form1 form(quiet.program);
    form.loadAndShow();
    if (!quiet.reports.isEmpty())
        fail(QStringLiteral("start-up failed: ") + quiet.reports.value(0));
    waitForExposure(form.widget());
    form.widget()->repaint();
    std::vector<double> times;
    for (int i = 0; i < paints; ++i) {
        QElapsedTimer timer;
        timer.start();
        form.widget()->repaint();
        times.push_back(milliseconds(timer));
    }
    return times;
}

QString cpuModel() {
    QFile file(QStringLiteral("/proc/cpuinfo"));
    if (file.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : file.readAll().split('\n')) {
            if (line.startsWith("model name"))
                return QString::fromLatin1(line.mid(line.indexOf(':') + 1).trimmed());
        }
    }
    return QStringLiteral("okänd");
}

void printRow(const QString& label, const std::vector<double>& values) {
    const auto [low, high] = std::minmax_element(values.begin(), values.end());
    std::printf("  %-28s %9.2f   (%.2f .. %.2f)\n", qUtf8Printable(label), median(values), *low,
                *high);
}

struct Options {
    int runs = 7;
    QString inputs;
    bool generateOnly = false;
};

Options parse(const QStringList& arguments) {
    Options options;
    for (int i = 1; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        const QString next = i + 1 < arguments.size() ? arguments[i + 1] : QString();
        if (a == QStringLiteral("--runs") && next.toInt() > 0) {
            options.runs = next.toInt();
            ++i;
        } else if (a == QStringLiteral("--inputs") && !next.isEmpty()) {
            options.inputs = next;
            ++i;
        } else if (a == QStringLiteral("--generate") && !next.isEmpty()) {
            options.inputs = next;
            options.generateOnly = true;
            ++i;
        } else {
            fail(QStringLiteral("usage: bitvik-bench [--runs N] [--inputs FOLDER] | --generate "
                                "FOLDER"));
        }
    }
    return options;
}

} // namespace

// The offscreen platform says at every window shown that it cannot raise it.
void quietPlatform(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (!message.contains(QStringLiteral("does not support raise()")))
        std::fprintf(stderr, "%s\n", qUtf8Printable(qFormatLogMessage(type, context, message)));
}

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(quietPlatform);
    QApplication application(argc, argv);
    const Options options = parse(application.arguments());

    QTemporaryDir scratch;
    const QString folder = options.inputs.isEmpty() ? scratch.path() : options.inputs;
    bench::writeInputs(folder);
    if (options.generateOnly)
        return 0;
    QDir::setCurrent(folder);
    // The setup tool fills a thumbnail cache, which the game's start-up must not find: these
    // figures are of decoding (bench/startup.py measures the thumbnails).
    QTemporaryDir cache;
    qputenv("XDG_CACHE_HOME", QFile::encodeName(cache.path()));

    const QList<Input> inputs = bench::inputs();
    const int n = int(inputs.size());
    std::vector<std::vector<double>> startUp(n), previews(n), decodes(n), eighths(n);

    QuietProgram setupProgram(QStringLiteral("Tralloma"));
    tralloma::Form1 setup(setupProgram.program);
    setup.loadAndShow();
    if (!setupProgram.reports.isEmpty() || setup.File1.listCount() != n)
        fail(QStringLiteral("the setup tool did not start: ") + setupProgram.reports.value(0));

    // Each run measures every input once, so that a busy moment of the machine falls on all.
    for (int run = 0; run < options.runs; ++run) {
        for (int i = 0; i < n; ++i) {
            QDir(cache.filePath(QStringLiteral("thumbnails"))).removeRecursively();
            startUp[i].push_back(gameStartUp(inputs[i]));
            QApplication::processEvents();
            // Entry 0 is selected when the tool starts: begin with entry 1, so that every
            // selection is a change and raises File1_Click.
            const int entry = (i + 1) % n;
            previews[entry].push_back(preview(setup, entry, inputs[entry]));
            decodes[i].push_back(fullDecode(inputs[i]));
            eighths[i].push_back(eighthDecode(inputs[i]));
        }
    }
    const std::vector<double> paints = windowPaints(inputs[2], 25 * options.runs);

    std::printf("Bitvik benchmark: %d runs, milliseconds, median (min .. max)\n", options.runs);
    std::printf("Machine: %d cores, %s; Qt %s, offscreen\n\n", QThread::idealThreadCount(),
                qUtf8Printable(cpuModel()), qVersion());
    for (int i = 0; i < n; ++i) {
        const QFileInfo file(inputs[i].fileName);
        std::printf("%s, %d x %d, %.1f MB%s\n", qUtf8Printable(inputs[i].label),
                    inputs[i].size.width(), inputs[i].size.height(), double(file.size()) / 1e6,
                    decodesAtDefaultLimit(inputs[i]) ? ""
                                                     : " (Qt refuses it at its default limit)");
        printRow(QStringLiteral("game start-up, 7 x 7"), startUp[i]);
        printRow(QStringLiteral("setup preview"), previews[i]);
        printRow(QStringLiteral("Qt full decode"), decodes[i]);
        if (QByteArray(inputs[i].format) == "JPEG")
            printRow(QStringLiteral("Qt decode at an eighth"), eighths[i]);
    }
    std::printf("\nGame window paint, 7 x 7 board (%d paints)\n", int(paints.size()));
    printRow(QStringLiteral("paint"), paints);

    const auto ratio = [&](const std::vector<std::vector<double>>& a, int i, int j) {
        return median(a[i]) / median(a[j]);
    };
    std::printf("\nRatios (medians of this run)\n");
    std::printf("  game start-up, 24 MP / BMP:          %.2f\n", ratio(startUp, 2, 0));
    std::printf("  game start-up, 50 MP / BMP:          %.2f\n", ratio(startUp, 3, 0));
    std::printf("  Qt full decode / preview, 24 MP:     %.2f   (target at least 4)\n",
                median(decodes[2]) / median(previews[2]));
    std::printf("  Qt full decode / preview, 50 MP:     %.2f\n",
                median(decodes[3]) / median(previews[3]));
    std::printf("  preview / decode at an eighth, 24 MP: %.2f\n",
                median(previews[2]) / median(eighths[2]));
    std::printf("  window paint, 7 x 7:                 %.3f ms   (target under 1)\n",
                median(paints));
    return 0;
}
