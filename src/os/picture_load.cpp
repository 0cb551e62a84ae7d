// Picture decoding (BMP, PNG, GIF) into surfaces. Only those three decoders are compiled.
#include <climits>

#include "os/gdi.h"

#define STBI_ONLY_BMP
#define STBI_ONLY_PNG
#define STBI_ONLY_GIF
#define STBI_NO_STDIO
#define STBI_MAX_DIMENSIONS 8192
#define STB_IMAGE_IMPLEMENTATION
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wsign-compare"
#endif
#include <stb_image.h>
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

namespace os {

static_assert(STBI_MAX_DIMENSIONS == kMaxPictureSide);

std::unique_ptr<Surface> LoadPictureFromMemory(const unsigned char* data, std::size_t size) {
    if (!data || size == 0 || size > static_cast<std::size_t>(INT_MAX)) return nullptr;
    const int len = static_cast<int>(size);
    int w = 0, h = 0, channels = 0;
    // Check the size before decoding so a forged header cannot make us allocate wildly.
    if (!stbi_info_from_memory(data, len, &w, &h, &channels)) return nullptr;
    if (w <= 0 || h <= 0 || w > kMaxPictureSide || h > kMaxPictureSide) return nullptr;
    unsigned char* rgba = stbi_load_from_memory(data, len, &w, &h, &channels, 4);
    if (!rgba) return nullptr;
    std::unique_ptr<Surface> out;
    if (w > 0 && h > 0 && w <= kMaxPictureSide && h <= kMaxPictureSide) {
        out = std::make_unique<Surface>(w, h);
        for (int y = 0; y < h; ++y) {
            const unsigned char* p = rgba + static_cast<std::size_t>(y) * w * 4;
            std::uint32_t* row = out->row(y);
            for (int x = 0; x < w; ++x, p += 4) {
                // Colour over black: each channel scaled by its alpha.
                const unsigned a = p[3];
                if (a == 255) {  // the common opaque pixel needs no scaling
                    row[x] = (unsigned{p[0]} << 16) | (unsigned{p[1]} << 8) | p[2];
                    continue;
                }
                auto ch = [a](unsigned v) { return (v * a + 127) / 255; };
                row[x] = (ch(p[0]) << 16) | (ch(p[1]) << 8) | ch(p[2]);
            }
        }
        out->NoteWritten(out->bounds());
    }
    stbi_image_free(rgba);
    return out;
}

}  // namespace os
