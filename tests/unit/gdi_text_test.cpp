// Text: fonts through fontconfig and FreeType, blending in the text colour, opaque cells,
// measuring, underlines and access-key captions.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "os/gdi.h"
#include "support/canvas.h"

namespace {

using os::HDC;
using os::Surface;

// Text goes on white unless a case asks for another ground.
struct Canvas : tavro_test::Canvas {
    Canvas(int w, int h, std::uint32_t fill = 0xFFFFFF) : tavro_test::Canvas(w, h, fill) {}
};

os::SIZE Extent(HDC dc, const std::string& s) {
    os::SIZE size{-1, -1};
    EXPECT_NE(os::GetTextExtentPoint32A(dc, s.data(), static_cast<int>(s.size()), &size), 0);
    return size;
}

// A pixel blended from `from` towards `to`: each channel lies between the two ends, at the
// same fraction (within rounding) for every channel that differs.
bool OnBlendLine(std::uint32_t p, std::uint32_t from, std::uint32_t to) {
    double fraction = -1;
    for (int shift = 0; shift <= 16; shift += 8) {
        const int v = (p >> shift) & 0xFF, a = (from >> shift) & 0xFF, b = (to >> shift) & 0xFF;
        if (a == b) {
            if (v != a) return false;
            continue;
        }
        if ((v - a) * (v - b) > 0) return false;
        const double f = static_cast<double>(v - a) / (b - a);
        if (fraction >= 0 && std::abs(f - fraction) > 2.0 / std::abs(b - a)) return false;
        fraction = f;
    }
    return true;
}

struct Box {
    int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1, count = 0;
};
Box ChangedPixels(const Canvas& c, std::uint32_t background) {
    Box b;
    for (int y = 0; y < c.surface.height(); ++y)
        for (int x = 0; x < c.surface.width(); ++x)
            if (c.at(x, y) != background) {
                b.left = std::min(b.left, x);
                b.top = std::min(b.top, y);
                b.right = std::max(b.right, x + 1);
                b.bottom = std::max(b.bottom, y + 1);
                ++b.count;
            }
    return b;
}

TEST(GdiText, DefaultFontHasAClassicSmallCell) {
    Canvas c(10, 10);
    os::TextMetricsSimple m;
    ASSERT_NE(os::GetTextMetricsSimple(c.dc, &m), 0);
    EXPECT_EQ(m.height, m.ascent + m.descent);
    EXPECT_GE(m.height, 11);
    EXPECT_LE(m.height, 16);
    EXPECT_GE(m.average_char_width, 4);
    EXPECT_LE(m.average_char_width, 8);
}

TEST(GdiText, TransparentTextBlendsInTheTextColourInsideItsCell) {
    Canvas c(160, 40);
    os::SetBkMode(c.dc, os::TRANSPARENT);
    os::SetTextColor(c.dc, os::RGB(255, 0, 0));
    const char* banner = "Ryk Tavro";
    ASSERT_NE(os::TextOutA(c.dc, 30, 10, banner, 9), 0);
    const os::SIZE size = Extent(c.dc, banner);
    const Box b = ChangedPixels(c, 0xFFFFFF);
    ASSERT_GT(b.count, 40);
    EXPECT_GE(b.left, 30 - 1);
    EXPECT_LE(b.right, 30 + size.cx + 1);
    EXPECT_GE(b.top, 10);
    EXPECT_LE(b.bottom, 10 + size.cy);
    EXPECT_LT(b.left, 30 + 3);                   // starts at x, not somewhere further
    EXPECT_GT(b.right, 30 + size.cx * 3 / 4);    // and spans most of the extent
    int strong = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 160; ++x) {
            ASSERT_TRUE(OnBlendLine(c.at(x, y), 0xFFFFFF, 0xFF0000)) << std::hex << c.at(x, y);
            strong += (c.at(x, y) & 0xFF) <= 0x40;  // at least three quarters covered
        }
    EXPECT_GT(strong, 15);  // the stems come out (nearly) in the full text colour
}

TEST(GdiText, OpaqueModeFillsTheCellWithTheBackColour) {
    Canvas c(120, 30, 0x00FF00);
    os::SetTextColor(c.dc, os::RGB(0, 0, 0));
    os::SetBkColor(c.dc, os::RGB(0, 0, 255));
    ASSERT_EQ(os::GetBkMode(c.dc), os::OPAQUE);
    ASSERT_NE(os::TextOutA(c.dc, 5, 6, "Hello", 5), 0);
    const os::SIZE size = Extent(c.dc, "Hello");
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 120; ++x) {
            const bool cell = x >= 5 && x < 5 + size.cx && y >= 6 && y < 6 + size.cy;
            if (cell) {
                ASSERT_TRUE(OnBlendLine(c.at(x, y), 0x0000FF, 0x000000)) << x << "," << y;
            } else {
                ASSERT_EQ(c.at(x, y), 0x00FF00u) << x << "," << y;
            }
        }
    EXPECT_EQ(c.at(5, 6), 0x0000FFu);  // the cell's corner is background
}

TEST(GdiText, MeasuringAddsUpAndFollowsTheFont) {
    Canvas c(10, 10);
    EXPECT_EQ(Extent(c.dc, "ab").cx, Extent(c.dc, "a").cx + Extent(c.dc, "b").cx);
    EXPECT_LT(Extent(c.dc, "iiii").cx, Extent(c.dc, "WWWW").cx);
    EXPECT_EQ(Extent(c.dc, "").cx, 0);
    const int small_height = Extent(c.dc, "x").cy;
    const os::HGDIOBJ big = os::CreateFontSimple("DejaVu Sans", 24, false, false, false);
    const os::HGDIOBJ bold = os::CreateFontSimple("DejaVu Sans", 8, true, false, false);
    ASSERT_NE(big, 0);
    ASSERT_NE(bold, 0);
    const os::HGDIOBJ previous = os::SelectObject(c.dc, big);
    EXPECT_EQ(previous, os::GetStockObject(os::DEFAULT_GUI_FONT));
    EXPECT_GT(Extent(c.dc, "x").cy, 2 * small_height);
    os::SelectObject(c.dc, bold);
    const int bold_width = Extent(c.dc, "Settings").cx;
    os::SelectObject(c.dc, previous);
    EXPECT_GT(bold_width, Extent(c.dc, "Settings").cx);
    // A deleted selected font falls back to the default.
    os::SelectObject(c.dc, big);
    os::DeleteObject(big);
    EXPECT_EQ(Extent(c.dc, "x").cy, small_height);
    os::DeleteObject(bold);
    EXPECT_EQ(os::CreateFontSimple("DejaVu Sans", 0, false, false, false), 0);
    EXPECT_EQ(os::CreateFontSimple("DejaVu Sans", -3, false, false, false), 0);
}

TEST(GdiText, UnderlinedFontDrawsALineUnderTheWholeRun) {
    Canvas c(100, 30);
    const os::HGDIOBJ font = os::CreateFontSimple("MS Sans Serif", 8, false, false, true);
    os::SelectObject(c.dc, font);
    os::SetBkMode(c.dc, os::TRANSPARENT);
    ASSERT_NE(os::TextOutA(c.dc, 4, 2, "-- --", 5), 0);  // the gap has no glyph pixels
    os::TextMetricsSimple m;
    ASSERT_NE(os::GetTextMetricsSimple(c.dc, &m), 0);
    const int width = Extent(c.dc, "-- --").cx;
    bool found = false;
    for (int y = 2 + m.ascent; y < 2 + m.height && !found; ++y) {
        bool full = true;
        for (int x = 4; x < 4 + width; ++x) full = full && c.at(x, y) == 0;
        found = full && c.at(4 + width, y) == 0xFFFFFFu;
    }
    EXPECT_TRUE(found);
    os::DeleteObject(font);
}

TEST(GdiText, AccessKeyCaptions) {
    EXPECT_EQ(os::AccessKeyOf("E&xit"), 'X');
    EXPECT_EQ(os::AccessKeyOf("&apply"), 'A');
    EXPECT_EQ(os::AccessKeyOf("A&&B"), 0);
    EXPECT_EQ(os::AccessKeyOf("Fish && &Chips"), 'C');
    EXPECT_EQ(os::AccessKeyOf("Plain"), 0);
    EXPECT_EQ(os::AccessKeyOf("trailing&"), 0);
    EXPECT_EQ(os::StripAccessMarkers("A&&B &Cancel&"), "A&B Cancel");

    Canvas c(100, 30), d(100, 30);
    EXPECT_EQ(os::MeasureAccessText(c.dc, "&Apply").cx, Extent(c.dc, "Apply").cx);
    os::SetBkMode(c.dc, os::TRANSPARENT);
    os::SetBkMode(d.dc, os::TRANSPARENT);
    ASSERT_NE(os::DrawAccessText(c.dc, 3, 3, "Ap&ply", true), 0);
    ASSERT_NE(os::DrawAccessText(d.dc, 3, 3, "Ap&ply", false), 0);
    // The two differ only below the baseline, under the third letter.
    os::TextMetricsSimple m;
    os::GetTextMetricsSimple(c.dc, &m);
    const int from = 3 + Extent(c.dc, "Ap").cx, to = 3 + Extent(c.dc, "App").cx;
    int differing = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 100; ++x) {
            if (c.at(x, y) == d.at(x, y)) continue;
            ++differing;
            EXPECT_GE(x, from);
            EXPECT_LT(x, to);
            EXPECT_GE(y, 3 + m.ascent);
            EXPECT_EQ(c.at(x, y), 0u);
        }
    EXPECT_GE(differing, to - from - 1);
}

TEST(GdiText, EightBitCharactersMapThroughWindows1252) {
    Canvas euro(40, 30), box(40, 30), e_acute(40, 30);
    ASSERT_NE(os::TextOutA(euro.dc, 2, 2, "\x80", 1), 0);      // euro sign
    ASSERT_NE(os::TextOutA(box.dc, 2, 2, "\x81", 1), 0);       // unassigned
    ASSERT_NE(os::TextOutA(e_acute.dc, 2, 2, "\xE9", 1), 0);   // e acute (Latin-1 range)
    EXPECT_GT(ChangedPixels(euro, 0xFFFFFF).count, 5);
    EXPECT_GT(ChangedPixels(e_acute, 0xFFFFFF).count, 5);
    bool differ = false;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x) differ = differ || euro.at(x, y) != box.at(x, y);
    EXPECT_TRUE(differ);
}

TEST(GdiText, ClippingAndBadArguments) {
    Canvas c(20, 10);
    os::SetBkMode(c.dc, os::TRANSPARENT);
    ASSERT_NE(os::TextOutA(c.dc, -25, -4, "Clipped text", 12), 0);
    ASSERT_NE(os::TextOutA(c.dc, 1000, 1000, "far away", 8), 0);
    ASSERT_NE(os::TextOutA(c.dc, 0, 0, nullptr, 0), 0);
    EXPECT_EQ(os::TextOutA(c.dc, 0, 0, nullptr, 3), 0);
    EXPECT_EQ(os::TextOutA(c.dc, 0, 0, "abc", -1), 0);
    EXPECT_EQ(os::TextOutA(0x7FFFFF00, 0, 0, "abc", 3), 0);
    os::SIZE size;
    EXPECT_EQ(os::GetTextExtentPoint32A(0x7FFFFF00, "abc", 3, &size), 0);
    EXPECT_EQ(os::GetTextExtentPoint32A(c.dc, "abc", 3, nullptr), 0);
    EXPECT_EQ(os::MeasureAccessText(0x7FFFFF00, "&x").cx, 0);
    EXPECT_EQ(os::DrawAccessText(0x7FFFFF00, 0, 0, "&x", true), 0);
}

}  // namespace
