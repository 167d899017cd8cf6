#pragma once

#include <cstdint>
#include <functional>
#include <random>

namespace tk {

// The random generator: reseeded from the system timer, it draws single-precision values r
// with 0 <= r < 1, uniformly.
class Random {
public:
    using Clock = std::function<std::uint64_t()>;

    Random();
    explicit Random(Clock clock); // tests fix the timer

    void randomize();
    float next();

private:
    Clock clock;
    std::mt19937 engine;
};

} // namespace tk
