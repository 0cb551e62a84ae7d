// How a visual lays out red, green and blue in a pixel, and conversion from and to the
// host's 0x00RRGGBB.
#pragma once

#include <cstdint>

namespace hosts::x11 {

class PixelFormat {
public:
    PixelFormat(std::uint32_t red_mask, std::uint32_t green_mask, std::uint32_t blue_mask,
                int bits_per_pixel, bool native_byte_order);

    // True when image memory holds 0x00RRGGBB words as they are (32 bits per pixel, the
    // masks of 0x00RRGGBB, the machine's byte order): rows are copied without conversion.
    bool IsDirect() const { return direct_; }
    // False when a channel mask is empty or not contiguous.
    bool IsUsable() const { return usable_; }

    std::uint32_t Encode(std::uint32_t rgb) const;    // 0x00RRGGBB to a pixel value
    std::uint32_t Decode(std::uint32_t pixel) const;  // a pixel value to 0x00RRGGBB

private:
    struct Channel {
        int shift = 0;  // lowest bit of the mask
        int bits = 0;   // width of the mask
        std::uint32_t Encode(std::uint32_t value8) const;
        std::uint32_t Decode(std::uint32_t pixel) const;
    };
    static bool Describe(std::uint32_t mask, Channel* channel);

    Channel red_, green_, blue_;
    bool usable_ = false;
    bool direct_ = false;
};

}  // namespace hosts::x11
