#include "image_io.h"

#include <fstream>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STBI_WRITE_NO_STDIO_FAILURE_STRINGS
#include <stb_image_write.h>

namespace tools {
namespace {

void Put16(std::vector<std::uint8_t>& out, std::uint32_t v) {
    out.push_back(v & 0xFF);
    out.push_back((v >> 8) & 0xFF);
}
void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

}  // namespace

bool WriteBmp8(const std::string& path, int width, int height, const Palette& palette,
               const std::vector<std::uint8_t>& indices) {
    if (palette.size() > 256 || indices.size() != static_cast<size_t>(width) * height)
        return false;
    const std::uint32_t stride = (static_cast<std::uint32_t>(width) + 3) & ~3u;
    const std::uint32_t table_bytes = 256 * 4;
    const std::uint32_t pixel_offset = 14 + 40 + table_bytes;
    const std::uint32_t image_bytes = stride * static_cast<std::uint32_t>(height);

    std::vector<std::uint8_t> out;
    out.reserve(pixel_offset + image_bytes);
    out.push_back('B');
    out.push_back('M');
    Put32(out, pixel_offset + image_bytes);
    Put32(out, 0);  // reserved
    Put32(out, pixel_offset);
    Put32(out, 40);  // info header size
    Put32(out, static_cast<std::uint32_t>(width));
    Put32(out, static_cast<std::uint32_t>(height));  // positive: bottom-up rows
    Put16(out, 1);                                    // planes
    Put16(out, 8);                                    // bits per pixel
    Put32(out, 0);                                    // no compression
    Put32(out, image_bytes);
    Put32(out, 2835);  // 72 dots per inch
    Put32(out, 2835);
    Put32(out, 256);  // colours used
    Put32(out, 0);    // all colours important
    for (size_t i = 0; i < 256; ++i) {
        Rgb8 c = i < palette.size() ? palette[i] : Rgb8{};
        out.insert(out.end(), {c.b, c.g, c.r, 0});
    }
    for (int y = height - 1; y >= 0; --y) {
        auto row = indices.begin() + static_cast<std::ptrdiff_t>(y) * width;
        out.insert(out.end(), row, row + width);
        out.insert(out.end(), stride - static_cast<std::uint32_t>(width), 0);
    }
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(out.data()), static_cast<std::streamsize>(out.size()));
    return static_cast<bool>(file);
}

bool WritePng(const std::string& path, int width, int height, int channels,
              const std::vector<std::uint8_t>& pixels) {
    if (pixels.size() != static_cast<size_t>(width) * height * channels) return false;
    return stbi_write_png(path.c_str(), width, height, channels, pixels.data(),
                          width * channels) != 0;
}

}  // namespace tools
