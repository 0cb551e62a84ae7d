// Picture decoding: small BMP (24-bit and 8-bit palette), PNG (with and without alpha) and
// GIF files built here byte by byte, and damaged or oversized data.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "os/gdi.h"

namespace {

using Bytes = std::vector<unsigned char>;

void Put16(Bytes& b, unsigned v) {
    b.push_back(v & 0xFF);
    b.push_back((v >> 8) & 0xFF);
}
void Put32(Bytes& b, std::uint32_t v) {
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}
void Put32BigEndian(Bytes& b, std::uint32_t v) {
    for (int s = 24; s >= 0; s -= 8) b.push_back((v >> s) & 0xFF);
}

// 0x00RRGGBB test colours, distinct per pixel.
std::uint32_t Colour(int x, int y) { return ((x * 60 + 10) << 16) | ((y * 90 + 20) << 8) | ((x * y * 30 + 5) & 0xFF); }

Bytes BmpHeader(int w, int h, int bpp, std::uint32_t pixel_offset, std::uint32_t data_size, int colours) {
    Bytes b = {'B', 'M'};
    Put32(b, pixel_offset + data_size);
    Put32(b, 0);
    Put32(b, pixel_offset);
    Put32(b, 40);
    Put32(b, static_cast<std::uint32_t>(w));
    Put32(b, static_cast<std::uint32_t>(h));
    Put16(b, 1);
    Put16(b, bpp);
    Put32(b, 0);  // no compression
    Put32(b, data_size);
    Put32(b, 2835);
    Put32(b, 2835);
    Put32(b, colours);
    Put32(b, 0);
    return b;
}

Bytes Bmp24(int w, int h) {
    const int stride = (w * 3 + 3) / 4 * 4;
    Bytes b = BmpHeader(w, h, 24, 54, stride * h, 0);
    for (int y = h - 1; y >= 0; --y) {  // bottom row first
        for (int x = 0; x < w; ++x) {
            const std::uint32_t c = Colour(x, y);
            b.push_back(c & 0xFF);
            b.push_back((c >> 8) & 0xFF);
            b.push_back(c >> 16);
        }
        for (int p = w * 3; p < stride; ++p) b.push_back(0);
    }
    return b;
}

TEST(GdiPicture, DecodesA24BitBmpTopRowFirst) {
    const Bytes file = Bmp24(3, 2);
    const auto pic = os::LoadPictureFromMemory(file.data(), file.size());
    ASSERT_NE(pic, nullptr);
    ASSERT_EQ(pic->width(), 3);
    ASSERT_EQ(pic->height(), 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) EXPECT_EQ(pic->pixel(x, y), Colour(x, y)) << x << "," << y;
}

TEST(GdiPicture, DecodesAnEightBitPaletteBmp) {
    const int w = 5, h = 3, stride = 8, colours = 16;
    Bytes b = BmpHeader(w, h, 8, 54 + colours * 4, stride * h, colours);
    for (int i = 0; i < colours; ++i) {  // blue, green, red, reserved
        b.push_back(i * 3);
        b.push_back(255 - i * 7);
        b.push_back(i * 16);
        b.push_back(0);
    }
    auto index = [](int x, int y) { return (x + 5 * y) % 16; };
    for (int y = h - 1; y >= 0; --y) {
        for (int x = 0; x < w; ++x) b.push_back(static_cast<unsigned char>(index(x, y)));
        for (int p = w; p < stride; ++p) b.push_back(0);
    }
    const auto pic = os::LoadPictureFromMemory(b.data(), b.size());
    ASSERT_NE(pic, nullptr);
    ASSERT_EQ(pic->width(), w);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int i = index(x, y);
            const std::uint32_t want = (static_cast<std::uint32_t>(i * 16) << 16) | ((255 - i * 7) << 8) | (i * 3);
            EXPECT_EQ(pic->pixel(x, y), want) << x << "," << y;
        }
}

std::uint32_t Crc32(const unsigned char* p, std::size_t n) {
    std::uint32_t crc = 0xFFFFFFFF;
    for (std::size_t i = 0; i < n; ++i) {
        crc ^= p[i];
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    return ~crc;
}

void PngChunk(Bytes& out, const char* type, const Bytes& data) {
    Put32BigEndian(out, static_cast<std::uint32_t>(data.size()));
    Bytes body(type, type + 4);
    body.insert(body.end(), data.begin(), data.end());
    out.insert(out.end(), body.begin(), body.end());
    Put32BigEndian(out, Crc32(body.data(), body.size()));
}

// A PNG with 8-bit channels (RGB, or RGBA when alpha is given), stored without compression.
Bytes Png(int w, int h, bool with_alpha, std::uint8_t (*alpha)(int, int) = nullptr) {
    Bytes raw;
    for (int y = 0; y < h; ++y) {
        raw.push_back(0);  // filter: none
        for (int x = 0; x < w; ++x) {
            const std::uint32_t c = Colour(x, y);
            raw.push_back(c >> 16);
            raw.push_back((c >> 8) & 0xFF);
            raw.push_back(c & 0xFF);
            if (with_alpha) raw.push_back(alpha(x, y));
        }
    }
    Bytes zlib = {0x78, 0x01, 0x01};  // one final stored block
    Put16(zlib, static_cast<unsigned>(raw.size()));
    Put16(zlib, static_cast<unsigned>(~raw.size() & 0xFFFF));
    zlib.insert(zlib.end(), raw.begin(), raw.end());
    std::uint32_t a = 1, b = 0;
    for (unsigned char v : raw) {
        a = (a + v) % 65521;
        b = (b + a) % 65521;
    }
    Put32BigEndian(zlib, (b << 16) | a);

    Bytes out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    Bytes ihdr;
    Put32BigEndian(ihdr, w);
    Put32BigEndian(ihdr, h);
    ihdr.insert(ihdr.end(), {8, static_cast<unsigned char>(with_alpha ? 6 : 2), 0, 0, 0});
    PngChunk(out, "IHDR", ihdr);
    PngChunk(out, "IDAT", zlib);
    PngChunk(out, "IEND", {});
    return out;
}

TEST(GdiPicture, DecodesPngAndDropsAlphaOverBlack) {
    const Bytes rgb = Png(4, 3, false);
    const auto a = os::LoadPictureFromMemory(rgb.data(), rgb.size());
    ASSERT_NE(a, nullptr);
    ASSERT_EQ(a->width(), 4);
    ASSERT_EQ(a->height(), 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) EXPECT_EQ(a->pixel(x, y), Colour(x, y));

    const Bytes rgba = Png(4, 3, true, [](int x, int) { return static_cast<std::uint8_t>(x == 0 ? 255 : x == 1 ? 0 : 128); });
    const auto b = os::LoadPictureFromMemory(rgba.data(), rgba.size());
    ASSERT_NE(b, nullptr);
    for (int y = 0; y < 3; ++y) {
        EXPECT_EQ(b->pixel(0, y), Colour(0, y));
        EXPECT_EQ(b->pixel(1, y), 0u);
        const std::uint32_t c = Colour(2, y);
        auto half = [](std::uint32_t v) { return (v * 128 + 127) / 255; };
        EXPECT_EQ(b->pixel(2, y), (half(c >> 16) << 16) | (half((c >> 8) & 0xFF) << 8) | half(c & 0xFF));
    }
}

TEST(GdiPicture, DecodesTheFirstFrameOfAGif) {
    // 3 x 2, two colours; the LZW stream resets before every pixel so codes stay 3 bits.
    const int pixels[6] = {0, 1, 1, 0, 0, 1};
    Bytes b = {'G', 'I', 'F', '8', '9', 'a'};
    Put16(b, 3);
    Put16(b, 2);
    b.insert(b.end(), {0x80, 0, 0, 0x11, 0x22, 0x33, 0xAA, 0xBB, 0xCC});
    b.push_back(0x2C);
    Put16(b, 0);
    Put16(b, 0);
    Put16(b, 3);
    Put16(b, 2);
    b.push_back(0);
    b.push_back(2);  // minimum code size
    std::vector<int> codes;
    for (int p : pixels) {
        codes.push_back(4);  // clear
        codes.push_back(p);
    }
    codes.push_back(5);  // end
    Bytes packed;
    unsigned acc = 0;
    int bits = 0;
    for (int c : codes) {
        acc |= static_cast<unsigned>(c) << bits;
        bits += 3;
        while (bits >= 8) {
            packed.push_back(acc & 0xFF);
            acc >>= 8;
            bits -= 8;
        }
    }
    if (bits > 0) packed.push_back(acc & 0xFF);
    b.push_back(static_cast<unsigned char>(packed.size()));
    b.insert(b.end(), packed.begin(), packed.end());
    b.push_back(0);
    b.push_back(0x3B);
    const auto pic = os::LoadPictureFromMemory(b.data(), b.size());
    ASSERT_NE(pic, nullptr);
    ASSERT_EQ(pic->width(), 3);
    ASSERT_EQ(pic->height(), 2);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(pic->pixel(i % 3, i / 3), pixels[i] ? 0xAABBCCu : 0x112233u) << i;
}

TEST(GdiPicture, RejectsDamagedUnknownAndOversizedData) {
    const unsigned char garbage[] = "this is certainly not a picture of anything";
    EXPECT_EQ(os::LoadPictureFromMemory(garbage, sizeof garbage), nullptr);
    EXPECT_EQ(os::LoadPictureFromMemory(nullptr, 100), nullptr);
    EXPECT_EQ(os::LoadPictureFromMemory(garbage, 0), nullptr);

    Bytes png = Png(16, 16, false);
    png.resize(png.size() / 2);  // cut inside the pixel data
    EXPECT_EQ(os::LoadPictureFromMemory(png.data(), png.size()), nullptr);

    Bytes header_only = Png(16, 16, false);
    header_only.resize(8 + 25);  // signature and IHDR
    EXPECT_EQ(os::LoadPictureFromMemory(header_only.data(), header_only.size()), nullptr);

    const Bytes huge = BmpHeader(os::kMaxPictureSide + 1, 1, 24, 54, 0, 0);
    EXPECT_EQ(os::LoadPictureFromMemory(huge.data(), huge.size()), nullptr);
    const Bytes tall = BmpHeader(1, os::kMaxPictureSide + 1, 24, 54, 0, 0);
    EXPECT_EQ(os::LoadPictureFromMemory(tall.data(), tall.size()), nullptr);

    // A JPEG start is not decoded: only BMP, PNG and GIF are.
    const unsigned char jpeg[] = {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 'J', 'F', 'I', 'F', 0, 1, 1, 0, 0, 1, 0, 1, 0, 0};
    EXPECT_EQ(os::LoadPictureFromMemory(jpeg, sizeof jpeg), nullptr);
}

}  // namespace
