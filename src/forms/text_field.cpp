#include "forms/text_field.h"

#include <cstdlib>

#include "os/gdi.h"

namespace forms::text_field {

int NearestBoundary(os::HDC dc, const std::string& text, int first, int x) {
    int best = first, best_distance = 1 << 30;
    for (int i = first; i <= static_cast<int>(text.size()); ++i) {
        os::SIZE size;
        os::GetTextExtentPoint32A(dc, text.c_str() + first, i - first, &size);
        const int distance = std::abs(kEdge + kPadding + size.cx - x);
        if (distance < best_distance) {
            best_distance = distance;
            best = i;
        }
    }
    return best;
}

}  // namespace forms::text_field
