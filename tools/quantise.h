// Reduction of true-colour pictures to a 256-colour palette (median cut).
#pragma once

#include <cstdint>
#include <vector>

#include "image_io.h"

namespace tools {

// A palette that starts with the `reserved` colours and fills the rest (up to 256 in all)
// with colours chosen by median cut over `samples`.
Palette BuildPalette(const std::vector<Rgb8>& samples, const Palette& reserved);

// Index of the palette entry nearest to `colour`, searching from entry `first` on (so that
// reserved entries can be kept for exact use only).
std::uint8_t Nearest(const Palette& palette, Rgb8 colour, size_t first = 0);

// The classic 16-colour palette of early colour displays.
const Palette& ClassicPalette16();

}  // namespace tools
