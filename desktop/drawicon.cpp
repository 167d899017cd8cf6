// Writes the program icon into an icon theme's folders, one PNG file a size, so that menus and
// task bars show the picture the windows carry:
//     drawicon <folder> <side>...   writes <folder>/<side>x<side>/apps/bitvik.png

#include "common/programicon.h"

#include <QDir>
#include <QGuiApplication>
#include <QTextStream>

int main(int argc, char* argv[]) {
    QGuiApplication application(argc, argv);
    QTextStream err(stderr);
    const QStringList arguments = application.arguments();
    if (arguments.size() < 3) {
        err << "usage: drawicon <folder> <side>...\n";
        return 2;
    }
    for (const QString& argument : arguments.mid(2)) {
        bool number = false;
        const int side = argument.toInt(&number);
        if (!number || side < 1 || side > 1024) {
            err << "drawicon: no icon of " << argument << " pixels\n";
            return 1;
        }
        const QString folder = QStringLiteral("%1/%2x%2/apps").arg(arguments[1]).arg(side);
        const QString file = folder + QStringLiteral("/bitvik.png");
        if (!QDir().mkpath(folder) || !common::programIconImage(side).save(file, "PNG")) {
            err << "drawicon: cannot write " << file << "\n";
            return 1;
        }
    }
    return 0;
}
