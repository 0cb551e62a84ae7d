// Block copies: raster operations bit for bit, clipping at every edge, the mask-and-image
// composition the animation uses, and whole-surface copies through change tracking.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <tuple>
#include <utility>
#include <vector>

#include "os/gdi.h"
#include "support/canvas.h"

namespace {

using os::HDC;
using os::Surface;

using tavro_test::Canvas;
using tavro_test::Paint;

// Distinct, bit-rich values for every pixel.
std::uint32_t PatternA(int x, int y) { return (static_cast<std::uint32_t>(x * 73 + y * 151) * 2654435761u) & 0xFFFFFF; }
std::uint32_t PatternB(int x, int y) { return (static_cast<std::uint32_t>(x * 31 + y * 17 + 5) * 40503u) & 0xFFFFFF; }

struct RopCase {
    os::DWORD rop;
    std::uint32_t (*expect)(std::uint32_t d, std::uint32_t s);
};

TEST(GdiBlit, RasterOperationsAreBitExact) {
    const RopCase cases[] = {
        {os::SRCCOPY, [](std::uint32_t, std::uint32_t s) { return s; }},
        {os::SRCAND, [](std::uint32_t d, std::uint32_t s) { return d & s; }},
        {os::SRCINVERT, [](std::uint32_t d, std::uint32_t s) { return d ^ s; }},
        {os::SRCPAINT, [](std::uint32_t d, std::uint32_t s) { return d | s; }},
        {os::NOTSRCCOPY, [](std::uint32_t, std::uint32_t s) { return ~s & 0xFFFFFFu; }},
        {os::DSTINVERT, [](std::uint32_t d, std::uint32_t) { return ~d & 0xFFFFFFu; }},
        {os::BLACKNESS, [](std::uint32_t, std::uint32_t) { return 0u; }},
        {os::WHITENESS, [](std::uint32_t, std::uint32_t) { return 0xFFFFFFu; }},
    };
    for (const RopCase& c : cases) {
        // Widths around the 8-pixel blocks of the fast loops, odd offsets.
        Canvas dst(37, 9), src(37, 9);
        Paint(dst.surface, PatternA);
        Paint(src.surface, PatternB);
        ASSERT_NE(os::BitBlt(dst.dc, 3, 2, 29, 5, src.dc, 1, 3, c.rop), 0) << std::hex << c.rop;
        for (int y = 0; y < 9; ++y)
            for (int x = 0; x < 37; ++x) {
                const bool inside = x >= 3 && x < 32 && y >= 2 && y < 7;
                const std::uint32_t want = inside ? c.expect(PatternA(x, y), PatternB(x - 2, y + 1)) : PatternA(x, y);
                ASSERT_EQ(dst.at(x, y), want) << std::hex << c.rop << " at " << x << "," << y;
            }
    }
}

TEST(GdiBlit, UnknownRopAndNegativeSizesChangeNothing) {
    Canvas dst(8, 8, 0x123456), src(8, 8, 0xFFFFFF);
    EXPECT_EQ(os::BitBlt(dst.dc, 0, 0, 8, 8, src.dc, 0, 0, 0x00123456), 0);
    EXPECT_EQ(os::BitBlt(dst.dc, 4, 4, -4, 4, src.dc, 0, 0, os::SRCCOPY), 0);
    EXPECT_EQ(os::BitBlt(dst.dc, 4, 4, 4, -4, src.dc, 0, 0, os::SRCCOPY), 0);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) ASSERT_EQ(dst.at(x, y), 0x123456u);
}

// Copies src into a 40x30 destination at (x, y) with source corner (sx, sy) and checks
// every destination pixel against the per-pixel definition of a clipped copy.
void CheckClippedCopy(int x, int y, int w, int h, int sx, int sy) {
    Canvas dst(40, 30, 0xABCDEF), src(25, 20);
    Paint(src.surface, PatternB);
    ASSERT_NE(os::BitBlt(dst.dc, x, y, w, h, src.dc, sx, sy, os::SRCCOPY), 0);
    for (int py = 0; py < 30; ++py)
        for (int px = 0; px < 40; ++px) {
            const int u = px - x + sx, v = py - y + sy;
            const bool in_dst_rect = px >= x && px < x + w && py >= y && py < y + h;
            const bool in_src = u >= 0 && u < 25 && v >= 0 && v < 20;
            const std::uint32_t want = in_dst_rect && in_src ? PatternB(u, v) : 0xABCDEFu;
            ASSERT_EQ(dst.at(px, py), want) << "copy to " << x << "," << y << " from " << sx << "," << sy
                                            << " pixel " << px << "," << py;
        }
}

TEST(GdiBlit, ClipsExactlyAtEveryEdge) {
    CheckClippedCopy(-15, 5, 25, 20, 0, 0);   // left
    CheckClippedCopy(30, 5, 25, 20, 0, 0);    // right
    CheckClippedCopy(5, -12, 25, 20, 0, 0);   // top
    CheckClippedCopy(5, 22, 25, 20, 0, 0);    // bottom
    CheckClippedCopy(-10, -10, 60, 50, 0, 0); // larger than the destination on all sides
    CheckClippedCopy(-30, 0, 25, 20, 0, 0);   // entirely left
    CheckClippedCopy(40, 0, 25, 20, 0, 0);    // entirely right
    CheckClippedCopy(0, 30, 25, 20, 0, 0);    // entirely below
    CheckClippedCopy(3, 3, 25, 20, -7, 4);    // source partly left and below
    CheckClippedCopy(3, 3, 25, 20, 10, -6);   // source partly right and above
    CheckClippedCopy(3, 3, 25, 20, 30, 0);    // source entirely outside
    CheckClippedCopy(-4, 2, 25, 20, -3, 5);   // both clipped at once
}

TEST(GdiBlit, PlaneAtMinus150ShowsOnlyItsRightColumns) {
    Canvas back(300, 250, 0x102030), sprite(200, 200);
    Paint(sprite.surface, PatternA);
    ASSERT_NE(os::BitBlt(back.dc, -150, 20, 200, 200, sprite.dc, 0, 0, os::SRCCOPY), 0);
    for (int y = 20; y < 220; ++y) {
        for (int x = 0; x < 50; ++x) ASSERT_EQ(back.at(x, y), PatternA(x + 150, y - 20));
        ASSERT_EQ(back.at(50, y), 0x102030u);
    }
    EXPECT_EQ(back.at(0, 19), 0x102030u);
    EXPECT_EQ(back.at(0, 220), 0x102030u);
}

TEST(GdiBlit, MaskThenImageComposesPlaneOverBackground) {
    // A 4x4 sprite: mask row (black silhouette on white, a grey checkerboard shadow) and
    // image row (plane colours on black).
    constexpr std::uint32_t W = 0xFFFFFF, K = 0, G = 0x7F7F7F, P = 0xC02040;
    const std::uint32_t mask[4][4] = {{W, K, K, W}, {W, K, K, W}, {G, W, G, W}, {W, G, W, G}};
    const std::uint32_t image[4][4] = {{K, P, P, K}, {K, P, P, K}, {K, K, K, K}, {K, K, K, K}};
    Canvas sheet(4, 8), back(6, 6);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) {
            sheet.surface.row(y)[x] = image[y][x];
            sheet.surface.row(y + 4)[x] = mask[y][x];
        }
    Paint(back.surface, PatternA);
    ASSERT_NE(os::BitBlt(back.dc, 1, 1, 4, 4, sheet.dc, 0, 4, os::SRCAND), 0);
    ASSERT_NE(os::BitBlt(back.dc, 1, 1, 4, 4, sheet.dc, 0, 0, os::SRCINVERT), 0);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x) {
            const std::uint32_t bg = PatternA(x, y);
            std::uint32_t want = bg;
            if (x >= 1 && x < 5 && y >= 1 && y < 5) {
                const std::uint32_t m = mask[y - 1][x - 1], i = image[y - 1][x - 1];
                if (m == W) want = bg;            // background shows through
                else if (m == K) want = i;        // silhouette takes the image
                else want = bg & G;               // shadow: background darkened
            }
            ASSERT_EQ(back.at(x, y), want) << x << "," << y;
        }
    // The shadow really darkens: no channel grows, and at least one pixel lost bits.
    EXPECT_NE(back.at(1, 3), PatternA(1, 3));
    EXPECT_EQ(back.at(1, 3) | PatternA(1, 3), PatternA(1, 3));
}

TEST(GdiBlit, OverlappingCopyWithinOneSurfaceDoesNotSmear) {
    for (int shift : {-3, 3}) {
        Canvas c(20, 10);
        Paint(c.surface, PatternA);
        ASSERT_NE(os::BitBlt(c.dc, 4 + shift, 3 + shift / 3, 12, 6, c.dc, 4, 3, os::SRCCOPY), 0);
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 12; ++x)
                ASSERT_EQ(c.at(4 + shift + x, 3 + shift / 3 + y), PatternA(4 + x, 3 + y)) << shift;
    }
}

TEST(GdiBlit, WritesAreReportedToChangeTracking) {
    Canvas dst(50, 50), src(50, 50, 0x00FF00);
    const std::uint64_t before = dst.surface.WriteSeq();
    dst.surface.TakeDamage();
    ASSERT_NE(os::BitBlt(dst.dc, 45, -5, 20, 20, src.dc, 0, 0, os::SRCINVERT), 0);
    std::vector<os::Rect> written;
    ASSERT_TRUE(dst.surface.WrittenSince(before, &written));
    ASSERT_EQ(written.size(), 1u);
    EXPECT_EQ(written[0].left, 45);
    EXPECT_EQ(written[0].top, 0);
    EXPECT_EQ(written[0].right, 50);
    EXPECT_EQ(written[0].bottom, 15);
    EXPECT_EQ(dst.surface.TakeDamage().size(), 1u);
}

// The frame loop: snapshot -> back buffer (whole copy), planes drawn into the back buffer,
// back buffer -> window (whole copy), with random writes to every surface in between. After
// each whole copy the destination must equal a naive full copy exactly.
TEST(GdiBlit, WholeSurfaceCopyMatchesNaiveCopyUnderRandomWrites) {
    constexpr int W = 61, H = 47;
    Canvas snapshot(W, H), back(W, H), window(W, H), sprite(20, 20), other(W, H, 0x777777);
    Paint(snapshot.surface, PatternA);
    Paint(sprite.surface, PatternB);
    std::mt19937 rng(20240611u);
    auto rnd = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    auto random_write = [&](Canvas& c) {
        switch (rnd(0, 4)) {
            case 0: {
                const int x = rnd(0, W - 1), y = rnd(0, H - 1);
                c.surface.row(y)[x] = static_cast<std::uint32_t>(rng()) & 0xFFFFFF;
                c.surface.NoteWritten(os::Rect{x, y, x + 1, y + 1});
                break;
            }
            case 1:
                os::BitBlt(c.dc, rnd(-25, W), rnd(-25, H), 20, 20, sprite.dc, 0, 0,
                           rnd(0, 1) ? os::SRCAND : os::SRCINVERT);
                break;
            case 2: {
                os::RECT r{rnd(-5, W), rnd(-5, H), 0, 0};
                r.right = r.left + rnd(0, 30);
                r.bottom = r.top + rnd(0, 30);
                os::InvertRect(c.dc, &r);
                break;
            }
            case 3:
                os::SetPixel(c.dc, rnd(0, W - 1), rnd(0, H - 1), static_cast<os::COLORREF>(rng()) & 0xFFFFFF);
                break;
            default:
                // Many small writes in a row overflow the write log.
                for (int i = 0, n = rnd(0, 300); i < n; ++i)
                    os::SetPixel(c.dc, rnd(0, W - 1), rnd(0, H - 1), static_cast<os::COLORREF>(i));
                break;
        }
    };
    auto expect_same = [&](const Canvas& a, const Canvas& b, int iteration) {
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x)
                ASSERT_EQ(a.at(x, y), b.at(x, y)) << "iteration " << iteration << " at " << x << "," << y;
    };
    for (int it = 0; it < 600; ++it) {
        for (int n = rnd(0, 3); n > 0; --n) random_write(snapshot);
        for (int n = rnd(0, 3); n > 0; --n) random_write(window);
        if (rnd(0, 20) == 0) {
            ASSERT_NE(os::BitBlt(back.dc, 0, 0, W, H, other.dc, 0, 0, os::SRCCOPY), 0);
        }
        ASSERT_NE(os::BitBlt(back.dc, 0, 0, W, H, snapshot.dc, 0, 0, os::SRCCOPY), 0);
        ASSERT_NO_FATAL_FAILURE(expect_same(back, snapshot, it));
        for (int n = rnd(0, 4); n > 0; --n) random_write(back);
        ASSERT_NE(os::BitBlt(window.dc, 0, 0, W, H, back.dc, 0, 0, os::SRCCOPY), 0);
        ASSERT_NO_FATAL_FAILURE(expect_same(window, back, it));
    }
}

TEST(GdiBlit, WholeCopyOfUnchangedFrameMovesOnlyWhatChanged) {
    Canvas a(100, 80), b(100, 80);
    Paint(a.surface, PatternA);
    ASSERT_NE(os::BitBlt(b.dc, 0, 0, 100, 80, a.dc, 0, 0, os::SRCCOPY), 0);
    os::SetPixel(a.dc, 10, 10, 0x010203);
    const std::uint64_t before = b.surface.WriteSeq();
    ASSERT_NE(os::BitBlt(b.dc, 0, 0, 100, 80, a.dc, 0, 0, os::SRCCOPY), 0);
    std::vector<os::Rect> written;
    ASSERT_TRUE(b.surface.WrittenSince(before, &written));
    ASSERT_EQ(written.size(), 1u);
    EXPECT_EQ(written[0].width() * written[0].height(), 1);
    EXPECT_EQ(b.at(10, 10), os::PixelFromColorref(0x010203));

    // A sprite drawn (mask, then image) at its old place and again a few pixels on: its
    // old and new places move as one rectangle, and a distant write stays apart.
    Canvas from(300, 200), to(300, 200), sprite(20, 20);
    Paint(from.surface, PatternA);
    Paint(sprite.surface, PatternB);
    ASSERT_NE(os::BitBlt(to.dc, 0, 0, 300, 200, from.dc, 0, 0, os::SRCCOPY), 0);
    for (const auto& [x, y] : {std::pair{30, 20}, std::pair{34, 23}}) {
        ASSERT_NE(os::BitBlt(from.dc, x, y, 20, 20, sprite.dc, 0, 0, os::SRCAND), 0);
        ASSERT_NE(os::BitBlt(from.dc, x, y, 20, 20, sprite.dc, 0, 0, os::SRCINVERT), 0);
    }
    os::SetPixel(from.dc, 290, 190, 0x040506);
    written.clear();
    const std::uint64_t before_move = to.surface.WriteSeq();
    ASSERT_NE(os::BitBlt(to.dc, 0, 0, 300, 200, from.dc, 0, 0, os::SRCCOPY), 0);
    ASSERT_TRUE(to.surface.WrittenSince(before_move, &written));
    ASSERT_EQ(written.size(), 2u);
    std::sort(written.begin(), written.end(),
              [](const os::Rect& p, const os::Rect& q) { return p.left < q.left; });
    EXPECT_EQ(std::tuple(written[0].left, written[0].top, written[0].right, written[0].bottom),
              std::tuple(30, 20, 54, 43));
    EXPECT_EQ(written[1].width() * written[1].height(), 1);
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 300; ++x) ASSERT_EQ(to.at(x, y), from.at(x, y)) << x << "," << y;
}

TEST(GdiBlit, BadHandlesAreHarmless) {
    Canvas c(4, 4, 0x111111);
    const HDC gone = os::CreateSurfaceDC(&c.surface);
    os::DeleteSurfaceDC(gone);
    EXPECT_EQ(os::SurfaceOfDC(gone), nullptr);
    EXPECT_EQ(os::SurfaceOfDC(c.dc), &c.surface);
    EXPECT_EQ(os::BitBlt(gone, 0, 0, 4, 4, c.dc, 0, 0, os::SRCCOPY), 0);
    EXPECT_EQ(os::BitBlt(c.dc, 0, 0, 4, 4, gone, 0, 0, os::SRCCOPY), 0);
    EXPECT_EQ(os::BitBlt(c.dc, 0, 0, 4, 4, 0, 0, 0, os::SRCAND), 0);
    EXPECT_EQ(os::BitBlt(987654, 0, 0, 4, 4, c.dc, 0, 0, os::SRCCOPY), 0);
    EXPECT_EQ(os::CreateSurfaceDC(nullptr), 0);
    EXPECT_EQ(os::ReleaseDC(0, c.dc), 0);  // not from GetDC: stays usable
    EXPECT_EQ(os::SurfaceOfDC(c.dc), &c.surface);
    EXPECT_EQ(c.at(2, 2), 0x111111u);
}

}  // namespace
