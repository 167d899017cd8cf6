#include "design.h"

#include <cmath>
#include <QFile>
#include <QMetaEnum>
#include <QRegularExpression>

namespace testsupport {

namespace {

// A quoted text, byte for byte, or "-" for none.
std::optional<QString> text(const QString& field) {
    if (field == u'-')
        return std::nullopt;
    return field.mid(1, field.size() - 2);
}

float twips(const QString& field) {
    bool ok = false;
    const float value = field.toFloat(&ok);
    if (!ok)
        qFatal("design: %s is no length", qPrintable(field));
    return value;
}

} // namespace

QList<DesignRow> design(const QString& window) {
    QFile file(QStringLiteral(BITVIK_DESIGNS "/%1.design").arg(window));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("design: %s: %s", qPrintable(file.fileName()), qPrintable(file.errorString()));
    static const QRegularExpression field(QStringLiteral(R"("[^"]*"|\S+)"));
    const QMetaEnum roles = QMetaEnum::fromType<QAccessible::Role>();
    QList<DesignRow> rows;
    for (const QString& line : QString::fromUtf8(file.readAll()).split(u'\n')) {
        if (line.trimmed().isEmpty() || line.startsWith(u'#'))
            continue;
        QStringList f;
        for (const QRegularExpressionMatch& m : field.globalMatch(line))
            f << m.captured();
        if (f.size() != 9)
            qFatal("design: %s: not 9 fields: %s", qPrintable(window), qPrintable(line));
        std::optional<QAccessible::Role> role;
        if (f[7] != u'-') {
            bool ok = false;
            role = QAccessible::Role(roles.keyToValue(f[7].toLatin1().constData(), &ok));
            if (!ok)
                qFatal("design: %s is no accessible role", qPrintable(f[7]));
        }
        rows << DesignRow{f[0],       f[1] == u'-' ? QString() : f[1],
                          text(f[2]), QRectF(twips(f[3]), twips(f[4]), twips(f[5]), twips(f[6])),
                          role,       text(f[8])};
    }
    return rows;
}

const DesignRow& designOf(const QList<DesignRow>& rows, const QString& control) {
    for (const DesignRow& row : rows) {
        if (row.control == control)
            return row;
    }
    qFatal("design: no row for %s", qPrintable(control));
}

QRect designPixels(const QRectF& twips) {
    const auto pixel = [](qreal t) { return int(std::lround(t / 15)); };
    const int left = pixel(twips.left());
    const int top = pixel(twips.top());
    return {left, top, pixel(twips.left() + twips.width()) - left,
            pixel(twips.top() + twips.height()) - top};
}

} // namespace testsupport
