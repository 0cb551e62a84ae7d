// The framework's one random source: single-precision values in [0, 1), seeded once.
#pragma once

#include <cstdint>
#include <functional>

namespace runtime {

// Next value u, 0 <= u < 1.
float Rnd();
// Seeds from the clock.
void Randomize();
// Seeds with a fixed value (tests, benchmarks).
void RandomizeWith(std::uint32_t seed);
// Replaces the source (tests script exact draws); an empty function restores the
// generator.
void SetRandomSource(std::function<float()> source);

}  // namespace runtime
