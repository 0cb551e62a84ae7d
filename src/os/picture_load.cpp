// Picture decoding (BMP, PNG, GIF) into surfaces. Only those three decoders are compiled.
#include <climits>
#include <cstdlib>

#include "os/gdi.h"

#define STBI_ONLY_BMP
#define STBI_ONLY_PNG
#define STBI_ONLY_GIF
#define STBI_NO_STDIO
#define STBI_MAX_DIMENSIONS 8192
// The decoder's buffers come from the pixel allocator: the decoded picture becomes the
// surface's own pixels, and a large one lands on huge pages.
#define STBI_MALLOC(bytes) os::AllocatePixelMemory(bytes)
#define STBI_REALLOC(p, bytes) std::realloc(p, bytes)
#define STBI_FREE(p) std::free(p)
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
    if (w <= 0 || h <= 0 || w > kMaxPictureSide || h > kMaxPictureSide) {
        stbi_image_free(rgba);
        return nullptr;
    }
    // Converted in place (each pixel is read before its four bytes are written) and kept as
    // the surface's own pixels: the decoder allocates them as the surface does.
    const std::size_t count = static_cast<std::size_t>(w) * h;
    auto* pixels = reinterpret_cast<std::uint32_t*>(rgba);
    for (std::size_t i = 0; i < count; ++i) {
        const unsigned char* p = rgba + i * 4;
        // Colour over black: each channel scaled by its alpha.
        const unsigned r = p[0], g = p[1], b = p[2], a = p[3];
        if (a == 255) {  // the common opaque pixel needs no scaling
            pixels[i] = (r << 16) | (g << 8) | b;
            continue;
        }
        auto ch = [a](unsigned v) { return (v * a + 127) / 255; };
        pixels[i] = (ch(r) << 16) | (ch(g) << 8) | ch(b);
    }
    auto out = std::make_unique<Surface>();
    out->AdoptPixels(pixels, w, h);
    out->NoteWritten(out->bounds());
    return out;
}

}  // namespace os
