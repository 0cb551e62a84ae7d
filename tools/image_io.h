// Writers for the picture formats the program carries.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace tools {

struct Rgb8 {
    std::uint8_t r = 0, g = 0, b = 0;
    bool operator==(const Rgb8&) const = default;
};

using Palette = std::vector<Rgb8>;

// Uncompressed 8-bit bitmap: file header, 40-byte info header, 256-entry colour table,
// bottom-up rows padded to four bytes. `indices` is top-down, width * height entries.
bool WriteBmp8(const std::string& path, int width, int height, const Palette& palette,
               const std::vector<std::uint8_t>& indices);

// PNG from 8-bit channels, `channels` 3 (RGB) or 4 (RGBA), top-down rows.
bool WritePng(const std::string& path, int width, int height, int channels,
              const std::vector<std::uint8_t>& pixels);

}  // namespace tools
