#include "runtime/random.h"

#include <chrono>

namespace tk {

namespace {

std::uint64_t systemTimer() {
    return std::uint64_t(std::chrono::system_clock::now().time_since_epoch().count());
}

} // namespace

Random::Random() : Random(systemTimer) {}

Random::Random(Clock c) : clock(std::move(c)) {}

void Random::randomize() {
    const std::uint64_t now = clock();
    std::seed_seq seed{std::uint32_t(now), std::uint32_t(now >> 32)};
    engine.seed(seed);
}

// 24 random bits over 2^24: every value is exact in a float and the largest is 1 - 2^-24.
float Random::next() {
    return float(engine() >> 8) * 0x1.0p-24f;
}

} // namespace tk
