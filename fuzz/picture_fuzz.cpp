// Arbitrary bytes as a picture file: decoding must either fail cleanly or give a picture
// within the size cap whose every pixel can be read and painted.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "os/gdi.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto picture = os::LoadPictureFromMemory(data, size);
    if (!picture) return 0;
    if (picture->width() <= 0 || picture->height() <= 0 || picture->width() > os::kMaxPictureSide ||
        picture->height() > os::kMaxPictureSide)
        std::abort();
    std::uint32_t all = 0;
    for (int y = 0; y < picture->height(); ++y)
        for (int x = 0; x < picture->width(); ++x) all |= picture->pixel(x, y);
    if (all > 0xFFFFFF) std::abort();  // pixels carry no alpha byte
    // Paint it, plain and mirrored, into a small surface as the saver paints its pictures.
    os::Surface target(37, 23);
    const os::HDC dc = os::CreateSurfaceDC(&target);
    os::StretchPaint(dc, 5, 3, 30, 17, *picture, os::SRCPAINT);
    os::StretchPaint(dc, 30, 20, -31, -19, *picture, os::SRCCOPY);
    os::DeleteSurfaceDC(dc);
    return 0;
}
