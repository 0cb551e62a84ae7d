// The rows of pixels that make up an ellipse, for cutting a window to it.
#pragma once

#include <vector>

#include "os/host.h"

namespace hosts::x11 {

// One row of the ellipse: pixels [x0, x1) of row y.
struct Span {
    int y = 0, x0 = 0, x1 = 0;
};

// The ellipse inscribed in rect, one span per row that holds at least one pixel centre,
// top to bottom. Empty for an empty or inverted rect.
std::vector<Span> EllipseSpans(const os::HostRect& rect);

}  // namespace hosts::x11
