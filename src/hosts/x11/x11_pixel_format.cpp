#include "hosts/x11/x11_pixel_format.h"

namespace hosts::x11 {

bool PixelFormat::Describe(std::uint32_t mask, Channel* channel) {
    if (mask == 0) return false;
    int shift = 0;
    while (!(mask & (1u << shift))) ++shift;
    int bits = 0;
    while (shift + bits < 32 && (mask & (1u << (shift + bits)))) ++bits;
    // The mask must be one run of ones.
    const std::uint64_t run = ((std::uint64_t{1} << bits) - 1) << shift;
    if (run != mask) return false;
    channel->shift = shift;
    channel->bits = bits;
    return true;
}

PixelFormat::PixelFormat(std::uint32_t red_mask, std::uint32_t green_mask,
                         std::uint32_t blue_mask, int bits_per_pixel, bool native_byte_order) {
    usable_ = Describe(red_mask, &red_) && Describe(green_mask, &green_) &&
              Describe(blue_mask, &blue_);
    direct_ = usable_ && bits_per_pixel == 32 && native_byte_order && red_mask == 0xFF0000u &&
              green_mask == 0x00FF00u && blue_mask == 0x0000FFu;
}

std::uint32_t PixelFormat::Channel::Encode(std::uint32_t value8) const {
    std::uint32_t value = value8 >> (bits < 8 ? 8 - bits : 0);
    if (bits > 8) {
        // Widen by repeating the top bits so that 255 becomes the channel's maximum.
        value = value8 << (bits - 8);
        for (int filled = 8; filled < bits; filled += 8) value |= value >> 8 * (filled / 8);
        value &= (bits >= 32 ? 0xFFFFFFFFu : (1u << bits) - 1);
    }
    return value << shift;
}

std::uint32_t PixelFormat::Channel::Decode(std::uint32_t pixel) const {
    const std::uint32_t mask = bits >= 32 ? 0xFFFFFFFFu : (1u << bits) - 1;
    const std::uint32_t value = (pixel >> shift) & mask;
    if (bits >= 8) return value >> (bits - 8);
    // Repeat the top bits so that full intensity stays 255.
    std::uint32_t out = 0;
    for (int filled = 0; filled < 8; filled += bits) {
        out = (out << bits) | value;
    }
    const int total = ((8 + bits - 1) / bits) * bits;
    return (out >> (total - 8)) & 0xFF;
}

std::uint32_t PixelFormat::Encode(std::uint32_t rgb) const {
    return red_.Encode((rgb >> 16) & 0xFF) | green_.Encode((rgb >> 8) & 0xFF) |
           blue_.Encode(rgb & 0xFF);
}

std::uint32_t PixelFormat::Decode(std::uint32_t pixel) const {
    return (red_.Decode(pixel) << 16) | (green_.Decode(pixel) << 8) | blue_.Decode(pixel);
}

}  // namespace hosts::x11
