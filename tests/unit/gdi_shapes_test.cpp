// Shapes, lines, pixels, inversions, stretched pictures, regions, object handles and the
// screen's and windows' contexts.
#include <gtest/gtest.h>

#include <memory>

#include "hosts/headless/headless_host.h"
#include "os/gdi.h"
#include "os/window.h"
#include "support/canvas.h"

namespace {

using os::HDC;
using os::Surface;

using tavro_test::Canvas;

constexpr std::uint32_t kGrey = 0x808080;

std::uint32_t Pattern(int x, int y) { return (static_cast<std::uint32_t>(x * 97 + y * 13 + 1) * 2246822519u) & 0xFFFFFF; }

void Paint(Surface& s) { tavro_test::Paint(s, Pattern); }

// --- ellipses and regions --------------------------------------------------------------

TEST(GdiShapes, EllipseTouchesEveryEdgeOfItsBoxAndNoMore) {
    for (int size : {10, 11, 24, 57}) {
        Canvas c(size + 6, size + 4, kGrey);
        const os::HBRUSH red = os::CreateSolidBrush(os::RGB(255, 0, 0));
        const os::HPEN blue = os::CreatePen(os::PS_SOLID, 1, os::RGB(0, 0, 255));
        os::SelectObject(c.dc, red);
        os::SelectObject(c.dc, blue);
        ASSERT_NE(os::Ellipse(c.dc, 3, 2, 3 + size, 2 + size), 0);
        const int l = 3, t = 2, r = 3 + size - 1, b = 2 + size - 1, mid = size / 2;
        EXPECT_EQ(c.at(l, t + mid), 0x0000FFu) << size;  // left edge
        EXPECT_EQ(c.at(r, t + mid), 0x0000FFu) << size;  // right edge
        EXPECT_EQ(c.at(l + mid, t), 0x0000FFu) << size;  // top edge
        EXPECT_EQ(c.at(l + mid, b), 0x0000FFu) << size;  // bottom edge
        EXPECT_EQ(c.at(l + mid, t + mid), 0xFF0000u) << size;
        for (auto [x, y] : {std::pair{l, t}, {r, t}, {l, b}, {r, b}}) EXPECT_EQ(c.at(x, y), kGrey) << size;
        for (int y = 0; y < c.surface.height(); ++y)
            for (int x = 0; x < c.surface.width(); ++x) {
                const bool in_box = x >= l && x <= r && y >= t && y <= b;
                if (!in_box) {
                    ASSERT_EQ(c.at(x, y), kGrey) << "outside the box " << x << "," << y;
                    continue;
                }
                // Symmetric in both directions.
                ASSERT_EQ(c.at(x, y), c.at(l + r - x, y)) << x << "," << y;
                ASSERT_EQ(c.at(x, y), c.at(x, t + b - y)) << x << "," << y;
                // The outline is closed: fill never touches the background.
                if (c.at(x, y) != 0xFF0000u) continue;
                for (auto [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}})
                    ASSERT_NE(c.at(x + dx, y + dy), kGrey) << x << "," << y;
            }
        os::DeleteObject(red);
        os::DeleteObject(blue);
    }
}

TEST(GdiShapes, DefaultPenIsBlackAndNullPenLeavesOnlyFill) {
    Canvas c(20, 20, kGrey);
    os::SelectObject(c.dc, os::GetStockObject(os::GRAY_BRUSH));
    ASSERT_NE(os::Ellipse(c.dc, 0, 0, 20, 20), 0);
    EXPECT_EQ(c.at(0, 10), 0u);
    EXPECT_EQ(c.at(10, 10), 0x808080u);
    Canvas d(20, 20, 0x123456);
    os::SelectObject(d.dc, os::GetStockObject(os::NULL_PEN));
    os::SelectObject(d.dc, os::GetStockObject(os::BLACK_BRUSH));
    ASSERT_NE(os::Ellipse(d.dc, 0, 0, 20, 20), 0);
    EXPECT_EQ(d.at(0, 10), 0u);
    EXPECT_EQ(d.at(0, 0), 0x123456u);
}

TEST(GdiShapes, WidePenOutlineIsAsThickAsThePen) {
    Canvas c(30, 30, kGrey);
    os::SelectObject(c.dc, os::GetStockObject(os::WHITE_BRUSH));
    const os::HPEN pen = os::CreatePen(os::PS_SOLID, 3, os::RGB(0, 0, 0));
    os::SelectObject(c.dc, pen);
    ASSERT_NE(os::Rectangle(c.dc, 5, 5, 25, 25), 0);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(c.at(5 + i, 15), 0u);
        EXPECT_EQ(c.at(24 - i, 15), 0u);
        EXPECT_EQ(c.at(15, 5 + i), 0u);
    }
    EXPECT_EQ(c.at(8, 15), 0xFFFFFFu);
    EXPECT_EQ(c.at(4, 15), kGrey);
    os::DeleteObject(pen);
}

TEST(GdiShapes, RegionHitTestAgreesWithEllipseFill) {
    const os::HRGN rgn = os::CreateEllipticRgn(12, 12, 368, 368);
    os::Rect box;
    ASSERT_TRUE(os::RegionEllipse(rgn, &box));
    EXPECT_EQ(box.left, 12);
    EXPECT_EQ(box.bottom, 368);
    EXPECT_TRUE(os::PtInRegion(rgn, 190, 190));
    EXPECT_TRUE(os::PtInRegion(rgn, 12, 190));
    EXPECT_TRUE(os::PtInRegion(rgn, 367, 189));
    EXPECT_FALSE(os::PtInRegion(rgn, 11, 190));
    EXPECT_FALSE(os::PtInRegion(rgn, 368, 190));
    EXPECT_FALSE(os::PtInRegion(rgn, 12, 12));
    EXPECT_FALSE(os::PtInRegion(rgn, 40, 40));

    Canvas c(40, 30, 0xFFFFFF);
    os::SelectObject(c.dc, os::GetStockObject(os::NULL_PEN));
    os::SelectObject(c.dc, os::GetStockObject(os::BLACK_BRUSH));
    os::Ellipse(c.dc, 3, 4, 37, 27);
    const os::HRGN small = os::CreateEllipticRgn(37, 27, 3, 4);  // corners in any order
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            ASSERT_EQ(os::PtInRegion(small, x, y) != 0, c.at(x, y) == 0) << x << "," << y;

    EXPECT_EQ(os::DeleteObject(rgn), 1);
    EXPECT_FALSE(os::RegionEllipse(rgn, &box));
    EXPECT_FALSE(os::PtInRegion(rgn, 190, 190));
    EXPECT_EQ(os::DeleteObject(rgn), 0);
    os::DeleteObject(small);
}

// --- rectangles, lines, pixels ---------------------------------------------------------

TEST(GdiShapes, InvertRectTwiceRestoresAndOnceNegates) {
    Canvas c(20, 12);
    Paint(c.surface);
    const os::RECT r{-4, 3, 9, 40};
    ASSERT_NE(os::InvertRect(c.dc, &r), 0);
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 20; ++x) {
            const bool in = x < 9 && y >= 3;
            ASSERT_EQ(c.at(x, y), in ? (~Pattern(x, y) & 0xFFFFFFu) : Pattern(x, y));
        }
    ASSERT_NE(os::InvertRect(c.dc, &r), 0);
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 20; ++x) ASSERT_EQ(c.at(x, y), Pattern(x, y));
}

TEST(GdiShapes, FocusRectIsDottedBorderAndUndoesItself) {
    Canvas c(16, 10);
    Paint(c.surface);
    const os::RECT r{2, 2, 12, 8};
    ASSERT_NE(os::DrawFocusRect(c.dc, &r), 0);
    int changed_border = 0;
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 16; ++x) {
            const bool border = x >= 2 && x < 12 && y >= 2 && y < 8 && (x == 2 || x == 11 || y == 2 || y == 7);
            if (!border) {
                ASSERT_EQ(c.at(x, y), Pattern(x, y)) << x << "," << y;
            }
            if (border && c.at(x, y) != Pattern(x, y)) {
                ASSERT_EQ(c.at(x, y), Pattern(x, y) ^ 0xFFFFFFu);
                ++changed_border;
            }
        }
    EXPECT_EQ(changed_border, 14);  // every other one of the 28 border pixels
    for (int x = 2; x < 11; ++x) EXPECT_NE(c.at(x, 2) == Pattern(x, 2), c.at(x + 1, 2) == Pattern(x + 1, 2));
    ASSERT_NE(os::DrawFocusRect(c.dc, &r), 0);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 16; ++x) ASSERT_EQ(c.at(x, y), Pattern(x, y));
}

TEST(GdiShapes, FillRectUsesTheBrushAndClipsToTheContext) {
    Canvas c(10, 10, kGrey);
    const os::HBRUSH brush = os::CreateSolidBrush(os::RGB(1, 2, 3));
    const os::RECT clip{0, 0, 5, 10};
    os::SetClipRect(c.dc, &clip);
    const os::RECT r{2, 2, 8, 4};
    ASSERT_NE(os::FillRect(c.dc, &r, brush), 0);
    EXPECT_EQ(c.at(4, 3), 0x010203u);
    EXPECT_EQ(c.at(5, 3), kGrey);
    EXPECT_EQ(c.at(2, 4), kGrey);
    os::SetClipRect(c.dc, nullptr);
    os::POINT previous{};
    ASSERT_NE(os::SetViewportOrgEx(c.dc, 3, 1, &previous), 0);
    const os::RECT one{0, 0, 1, 1};
    os::FillRect(c.dc, &one, brush);
    EXPECT_EQ(c.at(3, 1), 0x010203u);
    EXPECT_EQ(os::GetPixel(c.dc, 0, 0), os::RGB(1, 2, 3));
    os::DeleteObject(brush);
    EXPECT_EQ(os::FillRect(c.dc, &r, brush), 0);
    EXPECT_NE(os::FillRect(c.dc, &r, os::GetStockObject(os::NULL_BRUSH)), 0);
    EXPECT_EQ(c.at(6, 3), kGrey);
}

TEST(GdiShapes, LinesStopBeforeTheirEndPoint) {
    Canvas c(12, 12, 0xFFFFFF);
    os::MoveToEx(c.dc, 1, 1, nullptr);
    ASSERT_NE(os::LineTo(c.dc, 6, 1), 0);
    for (int x = 1; x < 6; ++x) EXPECT_EQ(c.at(x, 1), 0u);
    EXPECT_EQ(c.at(6, 1), 0xFFFFFFu);
    ASSERT_NE(os::LineTo(c.dc, 6, 6), 0);  // continues from (6, 1)
    for (int y = 1; y < 6; ++y) EXPECT_EQ(c.at(6, y), 0u);
    os::MoveToEx(c.dc, 0, 11, nullptr);
    os::LineTo(c.dc, 11, 0);
    for (int i = 0; i < 11; ++i) EXPECT_EQ(c.at(i, 11 - i), 0u);
    EXPECT_EQ(c.at(11, 0), 0xFFFFFFu);
}

TEST(GdiShapes, DottedPenSkipsEveryOtherPixelAndHugeLinesAreClipped) {
    Canvas c(40, 4, 0xFFFFFF);
    const os::HPEN dot = os::CreatePen(os::PS_DOT, 1, os::RGB(255, 0, 0));
    os::SelectObject(c.dc, dot);
    os::MoveToEx(c.dc, 0, 1, nullptr);
    os::LineTo(c.dc, 10, 1);
    for (int x = 0; x < 10; ++x) EXPECT_EQ(c.at(x, 1), x % 2 == 0 ? 0xFF0000u : 0xFFFFFFu) << x;
    os::SelectObject(c.dc, os::GetStockObject(os::BLACK_PEN));
    os::MoveToEx(c.dc, -1000000000, 2, nullptr);
    ASSERT_NE(os::LineTo(c.dc, 1000000000, 2), 0);
    for (int x = 0; x < 40; ++x) ASSERT_EQ(c.at(x, 2), 0u);
    EXPECT_EQ(c.at(5, 3), 0xFFFFFFu);
    os::DeleteObject(dot);
    // A diagonal from far outside to far outside crosses the surface on its diagonal.
    Canvas d(6, 6, 0xFFFFFF);
    os::MoveToEx(d.dc, -2000000000, -2000000000, nullptr);
    ASSERT_NE(os::LineTo(d.dc, 2000000000, 2000000000), 0);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x) ASSERT_EQ(d.at(x, y), x == y ? 0u : 0xFFFFFFu) << x << "," << y;
}

TEST(GdiShapes, PixelsUseColorrefOrder) {
    Canvas c(3, 3);
    EXPECT_EQ(os::SetPixel(c.dc, 1, 2, os::RGB(10, 20, 30)), os::RGB(10, 20, 30));
    EXPECT_EQ(c.at(1, 2), 0x0A141Eu);
    EXPECT_EQ(os::GetPixel(c.dc, 1, 2), os::RGB(10, 20, 30));
    EXPECT_EQ(os::GetPixel(c.dc, 3, 0), os::CLR_INVALID);
    EXPECT_EQ(os::SetPixel(c.dc, -1, 0, 0), os::CLR_INVALID);
}

// --- stretched pictures ------------------------------------------------------------------

std::unique_ptr<Surface> MakePicture(int w, int h) {
    auto s = std::make_unique<Surface>(w, h);
    Paint(*s);
    return s;
}

TEST(GdiStretch, IntegerScaleRepeatsEachPixel) {
    Surface pic(3, 2);
    Paint(pic);
    Canvas c(20, 20, kGrey);
    ASSERT_NE(os::StretchPaint(c.dc, 10, 10, 6, 4, pic, os::SRCCOPY), 0);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x) {
            const bool in = x >= 10 && x < 16 && y >= 10 && y < 14;
            ASSERT_EQ(c.at(x, y), in ? Pattern((x - 10) / 2, (y - 10) / 2) : kGrey) << x << "," << y;
        }
}

TEST(GdiStretch, NegativeSizesPaintTheExactMirrorOnTheOtherSide) {
    struct Size { int pw, ph, w, h; };
    for (const Size s : {Size{5, 4, 7, 9}, Size{7, 6, 3, 2}, Size{2, 1, 1, 5}, Size{638, 389, 41, 23}}) {
        Surface pic(s.pw, s.ph);
        Paint(pic);
        Canvas plain(60, 60, kGrey), mx(60, 60, kGrey), my(60, 60, kGrey), mxy(60, 60, kGrey);
        ASSERT_NE(os::StretchPaint(plain.dc, 10, 12, s.w, s.h, pic, os::SRCCOPY), 0);
        ASSERT_NE(os::StretchPaint(mx.dc, 10 + s.w, 12, -s.w, s.h, pic, os::SRCCOPY), 0);
        ASSERT_NE(os::StretchPaint(my.dc, 10, 12 + s.h, s.w, -s.h, pic, os::SRCCOPY), 0);
        ASSERT_NE(os::StretchPaint(mxy.dc, 10 + s.w, 12 + s.h, -s.w, -s.h, pic, os::SRCCOPY), 0);
        for (int y = 0; y < 60; ++y)
            for (int x = 0; x < 60; ++x) {
                const bool in = x >= 10 && x < 10 + s.w && y >= 12 && y < 12 + s.h;
                const int fx = 2 * 10 + s.w - 1 - x, fy = 2 * 12 + s.h - 1 - y;
                ASSERT_EQ(mx.at(x, y), in ? plain.at(fx, y) : kGrey) << s.pw << " " << x << "," << y;
                ASSERT_EQ(my.at(x, y), in ? plain.at(x, fy) : kGrey) << s.pw << " " << x << "," << y;
                ASSERT_EQ(mxy.at(x, y), in ? plain.at(fx, fy) : kGrey) << s.pw << " " << x << "," << y;
            }
        // Enlarged, the corners of the picture land in the corners of the rectangle.
        if (s.w < s.pw || s.h < s.ph) continue;
        EXPECT_EQ(plain.at(10, 12), Pattern(0, 0));
        EXPECT_EQ(plain.at(10 + s.w - 1, 12 + s.h - 1), Pattern(s.pw - 1, s.ph - 1));
        EXPECT_EQ(mxy.at(10, 12), Pattern(s.pw - 1, s.ph - 1));
    }
}

TEST(GdiStretch, OnePixelPaintTakesTheMiddlePixelWithOr) {
    const auto pic = MakePicture(638, 389);
    Canvas c(8, 8, 0x010101);
    ASSERT_NE(os::StretchPaint(c.dc, 3, 4, 1, 1, *pic, os::SRCPAINT), 0);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            ASSERT_EQ(c.at(x, y), x == 3 && y == 4 ? (Pattern(319, 194) | 0x010101u) : 0x010101u);
}

TEST(GdiStretch, ClippedPaintMatchesTheUnclippedOne) {
    const auto pic_owner = MakePicture(13, 11);
    const Surface& pic = *pic_owner;
    Canvas big(80, 80, kGrey), small(30, 30, kGrey);
    ASSERT_NE(os::StretchPaint(big.dc, 20, 25, -37, 29, pic, os::SRCCOPY), 0);  // columns -17..19
    ASSERT_NE(os::StretchPaint(small.dc, -10, 5, -37, 29, pic, os::SRCCOPY), 0);  // same, 30 to the left
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 30; ++x) ASSERT_EQ(small.at(x, y), big.at(x + 30, y)) << x << "," << y;
    // Enormous sizes only visit the visible pixels.
    ASSERT_NE(os::StretchPaint(small.dc, -1000000000, 0, 2000000000, 30, pic, os::SRCCOPY), 0);
    EXPECT_EQ(small.at(0, 0), Pattern(6, 0));
    EXPECT_EQ(os::StretchPaint(small.dc, 0, 0, 5, 5, Surface(), os::SRCCOPY), 0);
}

// --- handles -------------------------------------------------------------------------------

TEST(GdiObjects, SelectReturnsPreviousAndBadHandlesDoNothing) {
    Canvas c(10, 10, kGrey);
    const os::HBRUSH a = os::CreateSolidBrush(os::RGB(0, 255, 0));
    const os::HGDIOBJ first = os::SelectObject(c.dc, a);
    EXPECT_EQ(first, os::GetStockObject(os::WHITE_BRUSH));
    EXPECT_EQ(os::SelectObject(c.dc, first), a);
    EXPECT_EQ(os::SelectObject(c.dc, a), first);
    // A selected brush that is deleted is no longer used; the default white takes over.
    EXPECT_EQ(os::DeleteObject(a), 1);
    EXPECT_EQ(os::DeleteObject(a), 0);
    os::SelectObject(c.dc, os::GetStockObject(os::NULL_PEN));
    ASSERT_NE(os::Rectangle(c.dc, 0, 0, 4, 4), 0);
    EXPECT_EQ(c.at(1, 1), 0xFFFFFFu);
    EXPECT_EQ(os::SelectObject(c.dc, a), 0);

    const HDC bad = 0x7FFFFFF0;
    EXPECT_EQ(os::SelectObject(bad, os::GetStockObject(os::BLACK_BRUSH)), 0);
    EXPECT_EQ(os::SelectObject(c.dc, 0), 0);
    const os::HRGN rgn = os::CreateEllipticRgn(0, 0, 4, 4);
    EXPECT_EQ(os::SelectObject(c.dc, rgn), 0);
    EXPECT_FALSE(os::RegionEllipse(os::GetStockObject(os::BLACK_BRUSH), nullptr));
    os::DeleteObject(rgn);
    EXPECT_EQ(os::GetStockObject(99), 0);
    EXPECT_EQ(os::DeleteObject(os::GetStockObject(os::BLACK_PEN)), 1);  // stock: kept
    EXPECT_NE(os::SelectObject(c.dc, os::GetStockObject(os::BLACK_PEN)), 0);
    EXPECT_EQ(os::CreatePen(77, 1, 0), 0);
    EXPECT_EQ(os::Ellipse(bad, 0, 0, 5, 5), 0);
    EXPECT_EQ(os::Rectangle(bad, 0, 0, 5, 5), 0);
    EXPECT_EQ(os::InvertRect(bad, nullptr), 0);
    EXPECT_EQ(os::InvertRect(c.dc, nullptr), 0);
    EXPECT_EQ(os::DrawFocusRect(bad, nullptr), 0);
    EXPECT_EQ(os::LineTo(bad, 1, 1), 0);
    EXPECT_EQ(os::MoveToEx(bad, 1, 1, nullptr), 0);
    EXPECT_EQ(os::SetTextColor(bad, 0), os::CLR_INVALID);
    EXPECT_EQ(os::SetBkMode(bad, os::OPAQUE), 0);
    EXPECT_EQ(os::SetBkMode(c.dc, 7), 0);
    EXPECT_EQ(os::SetBkMode(c.dc, os::TRANSPARENT), os::OPAQUE);
    EXPECT_EQ(os::StretchPaint(bad, 0, 0, 1, 1, c.surface, os::SRCCOPY), 0);
    EXPECT_EQ(os::GetPixel(bad, 0, 0), os::CLR_INVALID);
}

TEST(GdiObjects, SystemColourReferencesResolveToTheScheme) {
    Canvas c(4, 4);
    const os::HBRUSH face = os::CreateSolidBrush(0x80000000u | os::COLOR_BTNFACE);
    const os::RECT r{0, 0, 2, 2};
    ASSERT_NE(os::FillRect(c.dc, &r, face), 0);
    EXPECT_EQ(c.at(1, 1), os::PixelFromColorref(os::GetSysColor(os::COLOR_BTNFACE)));
    EXPECT_EQ(c.at(1, 1), 0xC0C0C0u);
    os::SetTextColor(c.dc, 0x80000000u | os::COLOR_HIGHLIGHT);
    EXPECT_EQ(os::GetTextColor(c.dc), os::RGB(0, 0, 128));
    EXPECT_EQ(os::SetPixel(c.dc, 3, 3, 0x80000000u | os::COLOR_INFOBK), os::RGB(255, 255, 225));
    EXPECT_EQ(os::ResolveColor(0x02123456), 0x123456u);  // a plain colour keeps its value
    EXPECT_EQ(os::GetSysColor(-1), 0u);
    EXPECT_EQ(os::GetSysColor(1000), 0u);
    os::DeleteObject(face);
}

// --- the screen's and windows' contexts --------------------------------------------------

class GdiScreen : public ::testing::Test {
protected:
    void SetUp() override {
        auto host = std::make_unique<hosts::HeadlessHost>(64, 48);
        host_ = host.get();
        os::InstallHost(std::move(host));
        Paint(host_->Desktop());
    }
    void TearDown() override { os::InstallHost(nullptr); }
    hosts::HeadlessHost* host_ = nullptr;
};

TEST_F(GdiScreen, ScreenContextReadsAndWritesTheScreen) {
    const HDC screen = os::GetDC(0);
    ASSERT_NE(screen, 0);
    EXPECT_EQ(os::SurfaceOfDC(screen), nullptr);
    EXPECT_EQ(os::GetPixel(screen, 5, 6), os::ColorrefFromPixel(Pattern(5, 6)));
    const os::RECT r{60, 40, 70, 50};
    ASSERT_NE(os::InvertRect(screen, &r), 0);
    EXPECT_EQ(host_->ScreenPixel(63, 47), ~Pattern(63, 47) & 0xFFFFFFu);
    EXPECT_EQ(host_->ScreenPixel(59, 47), Pattern(59, 47));
    os::SelectObject(screen, os::GetStockObject(os::LTGRAY_BRUSH));
    ASSERT_NE(os::Ellipse(screen, 10, 10, 30, 30), 0);
    EXPECT_EQ(host_->ScreenPixel(20, 20), 0xC0C0C0u);
    EXPECT_EQ(host_->ScreenPixel(10, 20), 0u);
    EXPECT_EQ(host_->ScreenPixel(10, 10), Pattern(10, 10));
    EXPECT_EQ(os::ReleaseDC(0, screen), 1);
    EXPECT_EQ(os::ReleaseDC(0, screen), 0);
    EXPECT_EQ(os::GetPixel(screen, 5, 6), os::CLR_INVALID);
}

TEST_F(GdiScreen, DesktopWindowContextCapturesTheScreen) {
    const HDC desk = os::GetWindowDC(os::GetDesktopWindow());
    ASSERT_NE(desk, 0);
    Canvas snap(80, 40, kGrey);
    ASSERT_NE(os::BitBlt(snap.dc, 0, 0, 80, 40, desk, 0, 0, os::SRCCOPY), 0);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 80; ++x) ASSERT_EQ(snap.at(x, y), x < 64 ? Pattern(x, y) : kGrey) << x << "," << y;
    // And back onto the screen, shifted, through the same context.
    ASSERT_NE(os::BitBlt(desk, 10, 0, 5, 5, snap.dc, 0, 0, os::SRCINVERT), 0);
    EXPECT_EQ(host_->ScreenPixel(12, 3), Pattern(12, 3) ^ Pattern(2, 3));
    EXPECT_EQ(os::ReleaseDC(os::GetDesktopWindow(), desk), 1);
}

TEST_F(GdiScreen, WindowContextDrawsOnTheWindowUntilItIsGone) {
    os::WindowParams params;
    params.width = 30;
    params.height = 20;
    const os::HWND hwnd = os::CreateHostedWindow(params, nullptr);
    ASSERT_NE(hwnd, 0);
    const HDC dc = os::GetDC(hwnd);
    ASSERT_NE(dc, 0);
    ASSERT_EQ(os::SurfaceOfDC(dc), os::WindowSurface(hwnd));
    const os::RECT r{0, 0, 30, 20};
    ASSERT_NE(os::FillRect(dc, &r, os::GetStockObject(os::DKGRAY_BRUSH)), 0);
    EXPECT_EQ(os::WindowSurface(hwnd)->pixel(29, 19), 0x404040u);
    os::DestroyHostedWindow(hwnd);
    EXPECT_EQ(os::SurfaceOfDC(dc), nullptr);
    EXPECT_EQ(os::FillRect(dc, &r, os::GetStockObject(os::BLACK_BRUSH)), 0);
    EXPECT_EQ(os::ReleaseDC(hwnd, dc), 1);
    EXPECT_EQ(os::GetDC(hwnd), 0);
}

}  // namespace
