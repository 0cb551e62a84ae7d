// Pictures held inside the executable, made at build time by the tools in tools/.
#pragma once

#include <cstddef>
#include <string_view>

namespace resources {

struct Blob {
    const unsigned char* data = nullptr;
    std::size_t size = 0;
    bool empty() const { return size == 0; }
};

// Known names: "sprite_sheet" (8-bit BMP, 1607 x 602), "lightning" (PNG, 638 x 389),
// "aircraft" (8-bit BMP, 144 x 88), "about_background" (PNG, 220 x 220), "icon32" and
// "icon16" (PNG with transparency, 32 x 32 and 16 x 16, 16 colours). Unknown names give an
// empty blob.
Blob Find(std::string_view name);

}  // namespace resources
