// A pixel surface with a device context of its own, released with it; and filling a
// surface from a pattern function, for the drawing tests.
#pragma once

#include <cstdint>

#include "os/gdi.h"

namespace tavro_test {

struct Canvas {
    os::Surface surface;
    os::HDC dc;
    Canvas(int w, int h, std::uint32_t fill = 0)
        : surface(w, h, fill), dc(os::CreateSurfaceDC(&surface)) {}
    ~Canvas() { os::DeleteSurfaceDC(dc); }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;
    std::uint32_t at(int x, int y) const { return surface.pixel(x, y); }
};

// Every pixel (x, y) of s becomes pattern(x + salt, y).
inline void Paint(os::Surface& s, std::uint32_t (*pattern)(int, int), int salt = 0) {
    for (int y = 0; y < s.height(); ++y)
        for (int x = 0; x < s.width(); ++x) s.row(y)[x] = pattern(x + salt, y);
    s.NoteWritten(s.bounds());
}

}  // namespace tavro_test
