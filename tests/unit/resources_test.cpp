// The pictures embedded in the program and the sounds placed beside it: decoded and
// checked for the properties the saver and the dialogs rely on.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "resources/embedded.h"

#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#define STBI_ONLY_BMP
#include <stb_image.h>

namespace {

struct Rgb {
    int r = 0, g = 0, b = 0;
    bool operator==(const Rgb&) const = default;
};
constexpr Rgb kBlack{0, 0, 0}, kWhite{255, 255, 255}, kDarkRed{128, 0, 0}, kBrightRed{255, 0, 0};

struct Image {
    int width = 0, height = 0, channels = 0;
    std::vector<unsigned char> pixels;
    Rgb At(int x, int y) const {
        const unsigned char* p = &pixels[(static_cast<size_t>(y) * width + x) * channels];
        return {p[0], p[1], p[2]};
    }
    int Alpha(int x, int y) const {
        return pixels[(static_cast<size_t>(y) * width + x) * channels + 3];
    }
};

Image Decode(const resources::Blob& blob, int channels) {
    Image image;
    if (blob.empty()) return image;
    int file_channels = 0;
    unsigned char* data = stbi_load_from_memory(blob.data, static_cast<int>(blob.size),
                                                &image.width, &image.height, &file_channels,
                                                channels);
    if (!data) return Image{};
    image.channels = channels;
    image.pixels.assign(data, data + static_cast<size_t>(image.width) * image.height * channels);
    stbi_image_free(data);
    return image;
}

std::uint32_t Le(const unsigned char* p, int bytes) {
    std::uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | p[i];
    return v;
}

// The fields of an uncompressed 8-bit bitmap with a 256-entry colour table.
void ExpectPalettedBmp(const resources::Blob& blob, int width, int height) {
    ASSERT_GE(blob.size, 54u);
    const unsigned char* p = blob.data;
    EXPECT_EQ(p[0], 'B');
    EXPECT_EQ(p[1], 'M');
    EXPECT_EQ(Le(p + 2, 4), blob.size);
    EXPECT_EQ(Le(p + 14, 4), 40u) << "BITMAPINFOHEADER";
    EXPECT_EQ(static_cast<std::int32_t>(Le(p + 18, 4)), width);
    EXPECT_EQ(static_cast<std::int32_t>(Le(p + 22, 4)), height) << "positive: bottom-up rows";
    EXPECT_EQ(Le(p + 28, 2), 8u);
    EXPECT_EQ(Le(p + 30, 4), 0u) << "uncompressed";
    EXPECT_EQ(Le(p + 46, 4), 256u);
    const std::uint32_t stride = (static_cast<std::uint32_t>(width) + 3) & ~3u;
    EXPECT_EQ(Le(p + 10, 4), 14u + 40u + 256u * 4u);
    EXPECT_EQ(blob.size, 14u + 40u + 256u * 4u + stride * static_cast<std::uint32_t>(height));
}

// ---- Sprite sheet -------------------------------------------------------------------

constexpr int kCell = 200, kPitch = 201, kColumns = 8, kShadow = 15;
// Heading of each column on the screen, y downwards.
constexpr std::array<std::array<int, 2>, kColumns> kHeading = {
    {{-1, 1}, {0, 1}, {1, 1}, {1, 0}, {1, -1}, {0, -1}, {-1, -1}, {-1, 0}}};

class SpriteSheet : public ::testing::Test {
protected:
    static void SetUpTestSuite() { sheet_ = Decode(resources::Find("sprite_sheet"), 3); }
    static Rgb Cell(int column, int row, int x, int y) {
        return sheet_.At(column * kPitch + x, row * kPitch + y);
    }
    static std::vector<bool> Silhouette(int column) {
        std::vector<bool> s(kCell * kCell);
        for (int y = 0; y < kCell; ++y)
            for (int x = 0; x < kCell; ++x) s[y * kCell + x] = !(Cell(column, 0, x, y) == kBlack);
        return s;
    }
    static Image sheet_;
};
Image SpriteSheet::sheet_;

TEST_F(SpriteSheet, IsAnUncompressed256ColourBitmapOfTheExpectedSize) {
    ExpectPalettedBmp(resources::Find("sprite_sheet"), 1607, 602);
    EXPECT_EQ(sheet_.width, 1607);
    EXPECT_EQ(sheet_.height, 602);
}

TEST_F(SpriteSheet, SeparatorLinesAreDarkRed) {
    ASSERT_EQ(sheet_.width, 1607);
    for (int x = kCell; x < sheet_.width; x += kPitch)
        for (int y = 0; y < sheet_.height; ++y)
            ASSERT_EQ(sheet_.At(x, y), kDarkRed) << x << "," << y;
    for (int y = kCell; y < sheet_.height; y += kPitch)
        for (int x = 0; x < sheet_.width; ++x) ASSERT_EQ(sheet_.At(x, y), kDarkRed) << x << "," << y;
}

TEST_F(SpriteSheet, ImageCellsShowAnAircraftOnPureBlack) {
    ASSERT_EQ(sheet_.width, 1607);
    for (int c = 0; c < kColumns; ++c) {
        int drawn = 0;
        for (int y = 0; y < kCell; ++y)
            for (int x = 0; x < kCell; ++x) drawn += !(Cell(c, 0, x, y) == kBlack);
        // Around a fifth of the cell: a jet, not a speck and not a filled box.
        EXPECT_GT(drawn, 3000) << "column " << c;
        EXPECT_LT(drawn, 16000) << "column " << c;
        // The edges of the cell are background, so nothing touches the separators.
        for (int i = 0; i < kCell; ++i)
            for (int row : {0, 1}) {
                EXPECT_EQ(Cell(c, row, i, 0), kBlack);
                EXPECT_EQ(Cell(c, row, i, kCell - 1), kBlack);
                EXPECT_EQ(Cell(c, row, 0, i), kBlack);
                EXPECT_EQ(Cell(c, row, kCell - 1, i), kBlack);
            }
    }
}

TEST_F(SpriteSheet, FramesDifferOnlyInTheExhaustColour) {
    ASSERT_EQ(sheet_.width, 1607);
    for (int c = 0; c < kColumns; ++c) {
        int exhaust = 0;
        for (int y = 0; y < kCell; ++y) {
            for (int x = 0; x < kCell; ++x) {
                Rgb f0 = Cell(c, 0, x, y), f1 = Cell(c, 1, x, y);
                if (f0 == kDarkRed) {
                    ++exhaust;
                    ASSERT_EQ(f1, kBrightRed) << "column " << c << " at " << x << "," << y;
                } else {
                    ASSERT_EQ(f0, f1) << "column " << c << " at " << x << "," << y;
                    ASSERT_FALSE(f0 == kBrightRed);
                }
            }
        }
        EXPECT_GT(exhaust, 20) << "column " << c << " has no visible exhaust";
    }
}

TEST_F(SpriteSheet, MaskCoversTheAircraftAndACheckeredShadow) {
    ASSERT_EQ(sheet_.width, 1607);
    for (int c = 0; c < kColumns; ++c) {
        const std::vector<bool> body = Silhouette(c);
        int shadow_parity = -1, shadow_black = 0;
        for (int y = 0; y < kCell; ++y) {
            for (int x = 0; x < kCell; ++x) {
                const Rgb mask = Cell(c, 2, x, y);
                ASSERT_TRUE(mask == kBlack || mask == kWhite) << "column " << c;
                ASSERT_EQ(body[y * kCell + x], !(Cell(c, 1, x, y) == kBlack))
                    << "frames must share one silhouette";
                if (body[y * kCell + x]) {
                    ASSERT_EQ(mask, kBlack) << "column " << c << " at " << x << "," << y;
                    continue;
                }
                const bool under_shadow = x >= kShadow && y >= kShadow &&
                                          body[(y - kShadow) * kCell + x - kShadow];
                if (!under_shadow) {
                    ASSERT_EQ(mask, kWhite) << "column " << c << " at " << x << "," << y;
                    continue;
                }
                // Shadow pixels alternate: black on one parity of x + y, white on the other.
                const int parity = (x + y) % 2;
                if (mask == kBlack) {
                    if (shadow_parity < 0) shadow_parity = parity;
                    ASSERT_EQ(parity, shadow_parity) << "column " << c << " at " << x << "," << y;
                    ++shadow_black;
                } else if (shadow_parity >= 0) {
                    ASSERT_NE(parity, shadow_parity) << "column " << c << " at " << x << "," << y;
                }
            }
        }
        EXPECT_GT(shadow_black, 300) << "column " << c << " casts no shadow";
    }
}

TEST_F(SpriteSheet, ShadowStaysInsideTheCell) {
    ASSERT_EQ(sheet_.width, 1607);
    for (int c = 0; c < kColumns; ++c) {
        const std::vector<bool> body = Silhouette(c);
        for (int y = 0; y < kCell; ++y)
            for (int x = 0; x < kCell; ++x)
                if (body[y * kCell + x]) {
                    ASSERT_LT(x + kShadow, kCell) << "column " << c;
                    ASSERT_LT(y + kShadow, kCell) << "column " << c;
                }
    }
}

TEST_F(SpriteSheet, EachColumnShowsADifferentHeading) {
    ASSERT_EQ(sheet_.width, 1607);
    std::vector<std::vector<bool>> bodies;
    for (int c = 0; c < kColumns; ++c) bodies.push_back(Silhouette(c));
    for (int a = 0; a < kColumns; ++a) {
        for (int b = a + 1; b < kColumns; ++b) {
            int differing = 0;
            for (size_t i = 0; i < bodies[a].size(); ++i) differing += bodies[a][i] != bodies[b][i];
            EXPECT_GT(differing, 1000) << "columns " << a << " and " << b << " look alike";
        }
    }
}

TEST_F(SpriteSheet, NosePointsAlongTheColumnsHeading) {
    ASSERT_EQ(sheet_.width, 1607);
    for (int c = 0; c < kColumns; ++c) {
        // The aircraft's centre lies ahead of its exhaust, towards the nose.
        double bx = 0, by = 0, ex = 0, ey = 0;
        int body = 0, exhaust = 0;
        for (int y = 0; y < kCell; ++y) {
            for (int x = 0; x < kCell; ++x) {
                Rgb p = Cell(c, 0, x, y);
                if (p == kBlack) continue;
                bx += x, by += y, ++body;
                if (p == kDarkRed) ex += x, ey += y, ++exhaust;
            }
        }
        ASSERT_GT(exhaust, 0);
        double dx = bx / body - ex / exhaust, dy = by / body - ey / exhaust;
        double hx = kHeading[c][0], hy = kHeading[c][1];
        double cosine = (dx * hx + dy * hy) / (std::hypot(dx, dy) * std::hypot(hx, hy));
        EXPECT_GT(cosine, std::cos(M_PI / 8)) << "column " << c << " points elsewhere";
    }
}

// ---- Other pictures -----------------------------------------------------------------

TEST(Lightning, IsABlueBoltOnPureBlack) {
    Image image = Decode(resources::Find("lightning"), 3);
    ASSERT_EQ(image.width, 638);
    ASSERT_EQ(image.height, 389);
    const resources::Blob blob = resources::Find("lightning");
    EXPECT_EQ(std::memcmp(blob.data, "\x89PNG", 4), 0) << "stored losslessly";
    long black = 0, bright = 0, top_rows = 0, bottom_rows = 0;
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            Rgb p = image.At(x, y);
            if (p == kBlack) {
                ++black;
                continue;
            }
            ASSERT_GE(p.b, p.r) << x << "," << y;
            ASSERT_GE(p.b, p.g) << x << "," << y;
            bright += p.b > 200;
            top_rows += y < 10;
            bottom_rows += y > image.height * 3 / 4;
        }
    }
    EXPECT_GT(black, long(image.width) * image.height * 3 / 4);
    EXPECT_GT(bright, 500) << "the bolt itself must be bright";
    EXPECT_GT(top_rows, 0) << "the bolt comes from the top edge";
    EXPECT_GT(bottom_rows, 0) << "the bolt reaches the lower part";
    for (int y = 0; y < 30; ++y)
        for (int x : {0, 10, 29, image.width - 30, image.width - 1}) {
            EXPECT_EQ(image.At(x, y), kBlack);
            EXPECT_EQ(image.At(x, image.height - 1 - y), kBlack);
        }
}

TEST(DialogPictures, AircraftIsA256ColourSkyScene) {
    ExpectPalettedBmp(resources::Find("aircraft"), 144, 88);
    Image image = Decode(resources::Find("aircraft"), 3);
    ASSERT_EQ(image.width, 144);
    ASSERT_EQ(image.height, 88);
    std::set<int> colours;
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            Rgb p = image.At(x, y);
            colours.insert(p.r << 16 | p.g << 8 | p.b);
        }
    EXPECT_GT(colours.size(), 64u) << "a shaded picture, not a flat one";
    Rgb corner = image.At(0, 0);
    EXPECT_GT(corner.b, corner.r + 40) << "sky at the top";
}

TEST(DialogPictures, AboutBackgroundIsARoundMotif) {
    Image image = Decode(resources::Find("about_background"), 3);
    ASSERT_EQ(image.width, 220);
    ASSERT_EQ(image.height, 220);
    auto brightness = [](Rgb p) { return p.r + p.g + p.b; };
    Rgb centre = image.At(110, 80);
    EXPECT_GT(centre.b, centre.r + 60) << "sky blue inside the disc";
    // Outside the disc (the corners) is dark; the disc is lighter.
    for (auto [x, y] : {std::pair{2, 2}, {217, 2}, {2, 217}, {217, 217}})
        EXPECT_LT(brightness(image.At(x, y)) * 2, brightness(centre)) << x << "," << y;
}

void ExpectClassicIcon(const char* name, int size) {
    SCOPED_TRACE(name);
    Image image = Decode(resources::Find(name), 4);
    ASSERT_EQ(image.width, size);
    ASSERT_EQ(image.height, size);
    const std::set<int> classic = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080,
                                   0x008080, 0xC0C0C0, 0x808080, 0xFF0000, 0x00FF00, 0xFFFF00,
                                   0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
    std::set<int> used;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const int alpha = image.Alpha(x, y);
            ASSERT_TRUE(alpha == 0 || alpha == 255) << x << "," << y;
            if (alpha == 0) continue;
            Rgb p = image.At(x, y);
            const int rgb = p.r << 16 | p.g << 8 | p.b;
            ASSERT_TRUE(classic.count(rgb)) << std::hex << rgb << " at " << std::dec << x << "," << y;
            used.insert(rgb);
        }
    for (auto [x, y] : {std::pair{0, 0}, {size - 1, 0}, {0, size - 1}, {size - 1, size - 1}})
        EXPECT_EQ(image.Alpha(x, y), 0) << "round: corners are transparent";
    EXPECT_EQ(image.Alpha(size / 2, size / 2), 255);
    EXPECT_TRUE(used.count(0x0000FF) || used.count(0x000080)) << "blue roundel";
    EXPECT_TRUE(used.count(0xFFFFFF)) << "light jet";
}

TEST(Icon, BothSizesUseTheClassicColoursAndTransparency) {
    ExpectClassicIcon("icon32", 32);
    ExpectClassicIcon("icon16", 16);
}

TEST(Embedded, UnknownNamesAreEmpty) {
    EXPECT_TRUE(resources::Find("").empty());
    EXPECT_TRUE(resources::Find("sprite").empty());
    EXPECT_TRUE(resources::Find("sprite_sheet ").empty());
    EXPECT_FALSE(resources::Find("icon16").empty());
}

// ---- Sounds -------------------------------------------------------------------------

struct Wave {
    std::vector<unsigned char> file;
    std::vector<int> samples;
};

Wave LoadWave(const std::string& name) {
    Wave wave;
    std::ifstream in(std::string(TAVRO_RESOURCE_DIR) + "/" + name, std::ios::binary);
    wave.file.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    for (size_t i = 44; i + 1 < wave.file.size(); i += 2)
        wave.samples.push_back(static_cast<std::int16_t>(Le(&wave.file[i], 2)));
    return wave;
}

void ExpectPcm16Mono22050(const Wave& wave) {
    ASSERT_GE(wave.file.size(), 44u);
    const unsigned char* p = wave.file.data();
    EXPECT_EQ(std::memcmp(p, "RIFF", 4), 0);
    EXPECT_EQ(Le(p + 4, 4), wave.file.size() - 8);
    EXPECT_EQ(std::memcmp(p + 8, "WAVEfmt ", 8), 0);
    EXPECT_EQ(Le(p + 16, 4), 16u);
    EXPECT_EQ(Le(p + 20, 2), 1u) << "PCM";
    EXPECT_EQ(Le(p + 22, 2), 1u) << "mono";
    EXPECT_EQ(Le(p + 24, 4), 22050u);
    EXPECT_EQ(Le(p + 28, 4), 44100u);
    EXPECT_EQ(Le(p + 32, 2), 2u);
    EXPECT_EQ(Le(p + 34, 2), 16u);
    EXPECT_EQ(std::memcmp(p + 36, "data", 4), 0);
    EXPECT_EQ(Le(p + 40, 4), wave.file.size() - 44);
}

double Rms(const std::vector<int>& s, size_t from, size_t to) {
    double sum = 0;
    for (size_t i = from; i < to; ++i) sum += double(s[i]) * s[i];
    return std::sqrt(sum / double(to - from));
}

TEST(Sounds, EngineDroneLoopsWithoutAClick) {
    Wave wave = LoadWave("Planes.Wav");
    ExpectPcm16Mono22050(wave);
    const std::vector<int>& s = wave.samples;
    ASSERT_GE(s.size(), 3u * 22050);
    EXPECT_LE(s.size(), 4u * 22050);
    double mean_step = 0;
    int peak = 0;
    for (size_t i = 0; i + 1 < s.size(); ++i) {
        mean_step += std::abs(s[i + 1] - s[i]);
        peak = std::max(peak, std::abs(s[i]));
    }
    mean_step /= double(s.size() - 1);
    EXPECT_LE(std::abs(s.back() - s.front()), 3 * mean_step) << "jump at the loop point";
    EXPECT_GT(Rms(s, 0, s.size()), 2000) << "audible";
    EXPECT_LT(peak, 32767) << "not clipped";
    // A steady drone: every half second carries similar energy.
    const size_t half = 11025;
    for (size_t at = 0; at + half <= s.size(); at += half)
        EXPECT_GT(Rms(s, at, at + half), 0.5 * Rms(s, 0, s.size())) << "at sample " << at;
}

TEST(Sounds, ThunderCracksThenRumblesAway) {
    Wave wave = LoadWave("Thunder.Wav");
    ExpectPcm16Mono22050(wave);
    const std::vector<int>& s = wave.samples;
    ASSERT_GE(s.size(), size_t(2.5 * 22050));
    EXPECT_LE(s.size(), size_t(3.5 * 22050));
    size_t loudest = 0;
    for (size_t i = 0; i < s.size(); ++i)
        if (std::abs(s[i]) > std::abs(s[loudest])) loudest = i;
    EXPECT_LT(loudest, size_t(0.5 * 22050)) << "the crack comes first";
    EXPECT_GT(std::abs(s[loudest]), 20000);
    const double opening = Rms(s, 0, 22050), ending = Rms(s, s.size() - 11025, s.size());
    EXPECT_LT(ending * 10, opening) << "the rumble dies away";
    EXPECT_GT(Rms(s, 22050, 2 * 22050), ending) << "a rumble after the crack";
    EXPECT_LT(std::abs(s.back()), 300) << "ends in silence";
}

}  // namespace
