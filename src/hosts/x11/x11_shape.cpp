#include "hosts/x11/x11_shape.h"

#include <cmath>

namespace hosts::x11 {

std::vector<Span> EllipseSpans(const os::HostRect& rect) {
    std::vector<Span> spans;
    const int w = rect.width(), h = rect.height();
    if (w <= 0 || h <= 0) return spans;
    const double rx = w / 2.0, ry = h / 2.0;
    spans.reserve(static_cast<std::size_t>(h));
    for (int row = 0; row < h; ++row) {
        // Distance of the row's pixel centres from the centre, in units of the radius.
        const double dy = (row + 0.5 - ry) / ry;
        const double inside = 1.0 - dy * dy;
        if (inside <= 0.0) continue;
        const double half = rx * std::sqrt(inside);
        const int x0 = static_cast<int>(std::lround(rx - half));
        const int x1 = static_cast<int>(std::lround(rx + half));
        if (x1 <= x0) continue;
        spans.push_back({rect.top + row, rect.left + x0, rect.left + x1});
    }
    return spans;
}

}  // namespace hosts::x11
