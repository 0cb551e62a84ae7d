// Fonts for the text calls: faces found through fontconfig, opened once with FreeType, and
// their 8-bit glyphs rendered once per size and cached.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace os::text {

// An anti-aliased glyph: coverage rows (0..255), placed relative to the pen position on
// the baseline (left to the right, top upwards).
struct Glyph {
    int left = 0, top = 0;
    int width = 0, rows = 0;
    int advance = 0;
    std::vector<std::uint8_t> coverage;  // width * rows
};

struct FontKey {
    std::string face;
    double point_size = 8;
    bool bold = false, italic = false;
    bool operator==(const FontKey&) const = default;
};

// One face at one size.
class Font {
public:
    virtual ~Font() = default;
    int ascent = 0, descent = 0;  // pixels, both positive
    int height() const { return ascent + descent; }
    int average_char_width = 0;
    int underline_offset = 1;     // first underline row, below the baseline
    int underline_thickness = 1;
    // The glyph of a Windows-1252 character (cached).
    virtual const Glyph& GlyphOf(unsigned char c) = 0;
};

// The font for key, loaded on first use; nullptr when no usable face exists.
Font* FontFor(const FontKey& key);

// Unicode code point of a Windows-1252 byte (unassigned bytes map to themselves).
char32_t UnicodeFromCp1252(unsigned char c);

}  // namespace os::text
