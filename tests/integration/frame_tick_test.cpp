// One frame on the headless screen: the snapshot with the banner, each plane composed from
// its mask and its image, clipping at the edges, the higher slot in front.
#include <gtest/gtest.h>

#include "os/gdi.h"
#include "os/message_loop.h"
#include "os/window.h"
#include "saver/init_screen_saver.h"
#include "saver/planes.h"
#include "saver/ss_form.h"
#include "saver/ss_module.h"
#include "settings/settings.h"
#include "support/saver_fixture.h"

namespace {

using tavro_test::DesktopPatternPixel;
using tavro_test::SaverFixture;

class FrameTick : public SaverFixture {
protected:
    void SetUp() override {
        SaverFixture::SetUp();
        ShowSaver();
        // Planes stand still: only their frames flip.
        for (auto& step : DirectionTable) step = DirectionStep{0.0f, 0.0f};
    }

    SSForm& form() { return SSFormInstance(); }
    std::uint32_t Window(int x, int y) { return os::WindowSurface(form().hWnd())->pixel(x, y); }
    std::uint32_t Sprite(int x, int y) { return form().Sprite.Image().pixel(x, y); }

    // Puts plane `slot` at (x, y) heading `dir`, with the frame it will have when drawn.
    void Place(int slot, int x, int y, int dir, int frame_drawn) {
        PlaneRecord& p = Planes[slot];
        p.X = static_cast<std::int16_t>(x);
        p.Y = static_cast<std::int16_t>(y);
        p.Dir = static_cast<float>(dir);
        p.SrcX = static_cast<std::int16_t>(201 * dir);
        p.Frame = static_cast<float>(1 - frame_drawn);  // the move flips it
        p.SrcY = static_cast<std::int16_t>(201 * (1 - frame_drawn));
    }

    // What a plane cell pixel composes to over background b.
    std::uint32_t Composed(int dir, int frame, int cx, int cy, std::uint32_t b) {
        const std::uint32_t mask = Sprite(201 * dir + cx, 402 + cy);
        const std::uint32_t image = Sprite(201 * dir + cx, 201 * frame + cy);
        return (b & mask) ^ image;
    }
};

TEST_F(FrameTick, WithNoPlanesEveryFrameIsTheSnapshotWithTheBanner) {
    Settings.PlaneNum = -1;
    form().Movement_Timer();
    int differing = 0;
    for (int y = 0; y < 768; y += 3)
        for (int x = 0; x < 1024; x += 3)
            if (Window(x, y) != DesktopPatternPixel(x, y)) {
                ++differing;
                // Only the banner at the top middle may differ from the desktop.
                EXPECT_LT(y, 40) << x << "," << y;
                EXPECT_GE(x, 472 - 2);
                EXPECT_LT(x, 472 + 200);
            }
    EXPECT_GT(differing, 10);  // the banner is there
    EXPECT_GT(host().PresentCount(static_cast<os::HostWindowId>(form().hWnd())), 0);
}

TEST_F(FrameTick, APlaneComposesFromMaskAndImageOverTheSnapshot) {
    Settings.PlaneNum = 0;
    Place(0, 300, 300, 3, 1);
    form().Movement_Timer();
    int plane_pixels = 0, background_pixels = 0, shadow_pixels = 0;
    for (int cy = 0; cy < 200; cy += 2)
        for (int cx = 0; cx < 200; cx += 1) {
            const std::uint32_t b = DesktopPatternPixel(300 + cx, 300 + cy);
            const std::uint32_t mask = Sprite(603 + cx, 402 + cy);
            const std::uint32_t image = Sprite(603 + cx, 201 + cy);
            ASSERT_EQ(Window(300 + cx, 300 + cy), Composed(3, 1, cx, cy, b)) << cx << "," << cy;
            if (mask == 0xFFFFFF) ++background_pixels;
            else if (image != 0) ++plane_pixels;
            else ++shadow_pixels;
        }
    EXPECT_GT(plane_pixels, 500);
    EXPECT_GT(background_pixels, 5000);
    EXPECT_GT(shadow_pixels, 200);  // the checkerboard shadow darkens the background
    // Outside the cell the snapshot shows.
    EXPECT_EQ(Window(299, 350), DesktopPatternPixel(299, 350));
    EXPECT_EQ(Window(500, 350), DesktopPatternPixel(500, 350));
}

TEST_F(FrameTick, PlanesAreClippedAtEveryEdge) {
    Settings.PlaneNum = 3;
    Place(0, -150, 100, 2, 0);   // left edge: only the right 50 columns
    Place(1, 1024 - 60, 300, 2, 0);  // right edge
    Place(2, 100, -170, 2, 0);   // top edge (left of the banner)
    Place(3, 600, 768 - 20, 2, 0);   // bottom edge
    form().Movement_Timer();
    for (int cy = 0; cy < 200; cy += 7)
        for (int cx = 150; cx < 200; ++cx)
            ASSERT_EQ(Window(cx - 150, 100 + cy),
                      Composed(2, 0, cx, cy, DesktopPatternPixel(cx - 150, 100 + cy)));
    for (int cy = 0; cy < 200; cy += 7)
        for (int cx = 0; cx < 60; ++cx)
            ASSERT_EQ(Window(964 + cx, 300 + cy),
                      Composed(2, 0, cx, cy, DesktopPatternPixel(964 + cx, 300 + cy)));
    for (int cy = 170; cy < 200; ++cy)
        for (int cx = 0; cx < 200; cx += 7)
            ASSERT_EQ(Window(100 + cx, cy - 170),
                      Composed(2, 0, cx, cy, DesktopPatternPixel(100 + cx, cy - 170)));
    for (int cy = 0; cy < 20; ++cy)
        for (int cx = 0; cx < 200; cx += 7)
            ASSERT_EQ(Window(600 + cx, 748 + cy),
                      Composed(2, 0, cx, cy, DesktopPatternPixel(600 + cx, 748 + cy)));
}

TEST_F(FrameTick, TheHigherSlotShowsInFront) {
    Settings.PlaneNum = 1;
    Place(0, 300, 300, 1, 0);
    Place(1, 300, 300, 5, 0);
    form().Movement_Timer();
    int checked = 0;
    for (int cy = 0; cy < 200; ++cy)
        for (int cx = 0; cx < 200; ++cx) {
            const std::uint32_t image1 = Sprite(1005 + cx, cy);
            if (image1 == 0) continue;  // slot 1 leaves slot 0 visible there
            ASSERT_EQ(Window(300 + cx, 300 + cy), image1) << cx << "," << cy;
            ++checked;
        }
    EXPECT_GT(checked, 500);
}

TEST_F(FrameTick, NextFrameWipesWhatWasDrawnStraightOnTheWindow) {
    Settings.PlaneNum = -1;
    form().Movement_Timer();
    os::InvertRect(form().hDC(), &ScreenRect);
    EXPECT_EQ(Window(10, 500), ~DesktopPatternPixel(10, 500) & 0xFFFFFFu);
    form().Movement_Timer();
    EXPECT_EQ(Window(10, 500), DesktopPatternPixel(10, 500));
}

TEST_F(FrameTick, TheStoredSpeedIsTheFrameIntervalAndARoundedZeroStopsTheFrames) {
    const struct {
        const char* stored;
        std::int32_t interval;
        std::uint64_t run_ms;
        int frames;
    } cases[] = {{" 40", 40, 1001, 25},    {" 5000", 5000, 4999, 0}, {" 5000", 5000, 10001, 2},
                 {" 0", 0, 3000, 0},       {" .5", 0, 3000, 0},      {"-7", 0, 3000, 0},
                 {"-1e30", 0, 3000, 0}};
    for (const auto& c : cases) {
        StoreSetting("TimeInt", c.stored);
        StoreSetting("EventInt", " 0");  // no event draws on the window meanwhile
        InitScreenSaver();
        EXPECT_EQ(form().Movement.Interval(), c.interval) << c.stored;
        // A plane on the screen whose exhaust flickers: every frame changes the window.
        Settings.PlaneNum = 0;
        Place(0, 300, 300, 3, 0);
        const auto window = static_cast<os::HostWindowId>(form().hWnd());
        os::PumpMessages();  // what the set-up left to show
        const int presents_before = host().PresentCount(window);
        bool over = false;
        host().Schedule(host().NowMs() + c.run_ms, [&] { over = true; });
        os::RunMessageLoop([&] { return over; });
        EXPECT_EQ(host().PresentCount(window) - presents_before, c.frames)
            << c.stored << " over " << c.run_ms << " ms";
    }
}

TEST_F(FrameTick, ExhaustFlickersAsTheFrameFlips) {
    Settings.PlaneNum = 0;
    Place(0, 300, 300, 3, 0);
    form().Movement_Timer();
    EXPECT_EQ(Planes[0].Frame, 0.0f);
    EXPECT_EQ(Planes[0].SrcY, 0);
    form().Movement_Timer();
    EXPECT_EQ(Planes[0].Frame, 1.0f);
    EXPECT_EQ(Planes[0].SrcY, 201);
}

}  // namespace
