#include "runtime/random.h"

#include <chrono>
#include <random>

namespace runtime {

namespace {
std::mt19937& Engine() {
    static std::mt19937 engine(12345u);
    return engine;
}
std::function<float()>& Override() {
    static std::function<float()> source;
    return source;
}
}  // namespace

float Rnd() {
    if (Override()) return Override()();
    // 24 random bits give every float in [0, 1) on a 2^-24 grid, never 1.
    return static_cast<float>(Engine()() >> 8) * (1.0f / 16777216.0f);
}

void Randomize() {
    const auto now = std::chrono::system_clock::now().time_since_epoch().count();
    Engine().seed(static_cast<std::uint32_t>(now ^ (now >> 32)));
}

void RandomizeWith(std::uint32_t seed) { Engine().seed(seed); }

void SetRandomSource(std::function<float()> source) { Override() = std::move(source); }

}  // namespace runtime
