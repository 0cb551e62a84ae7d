// How a window of ours looks: its kind (decorated or not) and its icon images. The window
// system and the host interface both use these types.
#pragma once

#include <cstdint>
#include <vector>

namespace os {

enum class WindowKind {
    Popup,   // no decoration, placed exactly where asked (the saver, the About box, prompts)
    Dialog,  // decorated by the window manager, fixed size, close box only
};

// One 32-bit 0xAARRGGBB icon image; a window may have any number of sizes.
struct IconImage {
    int width = 0, height = 0;
    std::vector<std::uint32_t> argb;
};

}  // namespace os
