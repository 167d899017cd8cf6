#pragma once

#include "runtime/runtimeerror.h"

#include <cmath>
#include <compare>
#include <cstdint>
#include <limits>
#include <QString>

namespace common {

// A 16- or 32-bit signed integer whose +, -, * and conversion from a real are checked: an
// overflow is a run-time error, never a silent wrap.
template <class Bits> class CheckedInt {
public:
    static constexpr std::int64_t lowest = std::numeric_limits<Bits>::min();
    static constexpr std::int64_t highest = std::numeric_limits<Bits>::max();

    constexpr CheckedInt() = default;
    CheckedInt(std::int64_t value)
        : bits(checked(value, [value] { return QString::number(value); })) {}

    // Rounds to the nearest integer, halves to the even neighbour (772.5 -> 772, 773.5 -> 774).
    static CheckedInt round(double real) {
        const double nearest = std::nearbyint(real);
        if (!(nearest >= double(lowest) && nearest <= double(highest)))
            overflow(QString::number(real, 'g', 10));
        return CheckedInt(std::int64_t(nearest));
    }

    constexpr int value() const { return bits; }

    friend CheckedInt operator+(CheckedInt a, CheckedInt b) {
        return from(std::int64_t(a.bits) + b.bits, a, QStringLiteral("+"), b);
    }
    friend CheckedInt operator-(CheckedInt a, CheckedInt b) {
        return from(std::int64_t(a.bits) - b.bits, a, QStringLiteral("-"), b);
    }
    friend CheckedInt operator*(CheckedInt a, CheckedInt b) {
        return from(std::int64_t(a.bits) * b.bits, a, QStringLiteral("×"), b);
    }
    friend constexpr bool operator==(CheckedInt a, CheckedInt b) { return a.bits == b.bits; }
    friend constexpr auto operator<=>(CheckedInt a, CheckedInt b) { return a.bits <=> b.bits; }

private:
    template <class Describe> static Bits checked(std::int64_t value, Describe describe) {
        if (value < lowest || value > highest)
            overflow(describe());
        return Bits(value);
    }

    static CheckedInt from(std::int64_t result, CheckedInt a, const QString& op, CheckedInt b) {
        CheckedInt c;
        c.bits = checked(result, [&] {
            return QStringLiteral("%1 %2 %3 = %4").arg(a.bits).arg(op).arg(b.bits).arg(result);
        });
        return c;
    }

    [[noreturn]] static void overflow(const QString& what) {
        throw tk::RuntimeError(QStringLiteral("Spill: %1 ryms inte i ett %2-bitars heltal "
                                              "(%3 till %4).")
                                   .arg(what)
                                   .arg(sizeof(Bits) * 8)
                                   .arg(lowest)
                                   .arg(highest));
    }

    Bits bits = 0;
};

using Int16 = CheckedInt<std::int16_t>;
using Int32 = CheckedInt<std::int32_t>;

} // namespace common
