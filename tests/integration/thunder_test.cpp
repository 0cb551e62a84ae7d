// The thunder events' pixels on the headless saver: the bolt painted straight on the
// window, bright (OR) for Thunder 1 and dark (AND NOT) for Thunder 2, in the four
// mirrorings and the one-pixel variant; the window unchanged outside the picture; the
// flash presented to the screen by the tick itself and wiped by the next frame.
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <vector>

#include "os/window.h"
#include "saver/init_screen_saver.h"
#include "saver/planes.h"
#include "saver/sequences.h"
#include "saver/ss_form.h"
#include "saver/ss_module.h"
#include "settings/settings.h"
#include "support/saver_fixture.h"
#include "support/scripted_draws.h"

namespace {

using tavro_test::SaverFixture;
using tavro_test::ScriptedDraws;

constexpr int kW = 1024, kH = 768;

class Thunder : public SaverFixture {
protected:
    void SetUp() override {
        SaverFixture::SetUp();
        ShowSaver();
        SSForm& f = SSFormInstance();
        Settings.PlaneNum = -1;  // the plain frame is the snapshot with the banner
        Settings.ThWavEna = 0;
        f.Movement_Timer();
        frame_ = Pixels();
    }

    SSForm& form() { return SSFormInstance(); }
    std::uint32_t Window(int x, int y) { return os::WindowSurface(form().hWnd())->pixel(x, y); }
    std::vector<std::uint32_t> Pixels() {
        const os::Surface& w = *os::WindowSurface(form().hWnd());
        std::vector<std::uint32_t> out;
        for (int y = 0; y < w.height(); ++y) out.insert(out.end(), w.row(y), w.row(y) + w.width());
        return out;
    }
    std::uint32_t Frame(int x, int y) const { return frame_[static_cast<std::size_t>(y) * kW + x]; }

    // A thunder tick of `kind` (value 0: Thunder 1, value 2: Thunder 2) on picture row `row`.
    void Strike(int value, int row) {
        form().NextEvent = static_cast<float>(value);
        random_.Script({(row + 0.5f) / 5.0f, 0.5f, 0.5f});
        form().Eventer_Timer();
        ASSERT_EQ(random_.used(), 3);
    }

    // The picture pixel that lands on window pixel (x, y) for row r, or nothing outside it.
    // Rows 0 to 3 paint the picture at its own size, so each window pixel takes exactly one
    // picture pixel: mirrored rows count from the far edge.
    std::optional<std::uint32_t> PicturePixel(int row, int x, int y) {
        const os::Surface& pic = *form().Lightning.Picture();
        const std::int16_t* pos = form().LightPos[row];
        const int left = pos[2] < 0 ? pos[0] + pos[2] : pos[0];
        const int top = pos[3] < 0 ? pos[1] + pos[3] : pos[1];
        const int w = pos[2] < 0 ? -pos[2] : pos[2], h = pos[3] < 0 ? -pos[3] : pos[3];
        if (x < left || x >= left + w || y < top || y >= top + h) return std::nullopt;
        int px = x - left, py = y - top;
        if (pos[2] < 0) px = w - 1 - px;
        if (pos[3] < 0) py = h - 1 - py;
        return pic.pixel(px, py);
    }

    // Checks every pixel (on a grid) of the window against the frame and the picture.
    void ExpectBolt(int row, bool bright) {
        int lit = 0;
        for (int y = 0; y < kH; y += 1)
            for (int x = (y % 3); x < kW; x += 3) {
                const auto pic = PicturePixel(row, x, y);
                const std::uint32_t before = Frame(x, y);
                const std::uint32_t want =
                    !pic ? before : bright ? (before | *pic) : (before & ~*pic & 0xFFFFFFu);
                ASSERT_EQ(Window(x, y), want) << "row " << row << " at " << x << "," << y;
                if (pic && Window(x, y) != before) ++lit;
            }
        EXPECT_GT(lit, 500) << "row " << row << ": hardly any bolt";
    }

    ScriptedDraws random_;
    std::vector<std::uint32_t> frame_;
};

TEST_F(Thunder, ThePictureIsPaintedAtItsOwnSizeInTheMiddle) {
    const os::Surface* pic = form().Lightning.Picture();
    ASSERT_NE(pic, nullptr);
    ASSERT_EQ(pic->width(), form().LightPos[0][2]);
    ASSERT_EQ(pic->height(), form().LightPos[0][3]);
    EXPECT_EQ(form().LightPos[0][0], (kW - pic->width()) / 2);
}

TEST_F(Thunder, ThunderOnePaintsABrightBoltInEachMirroring) {
    for (int row = 0; row < 4; ++row) {
        form().Movement_Timer();  // the frame wipes the previous bolt
        Strike(0, row);
        ExpectBolt(row, true);
    }
}

TEST_F(Thunder, ThunderTwoPaintsADarkBoltInEachMirroring) {
    for (int row = 0; row < 4; ++row) {
        form().Movement_Timer();
        Strike(2, row);
        ExpectBolt(row, false);
    }
}

TEST_F(Thunder, TheMirroringsDifferFromOneAnother) {
    // The picture is not symmetric, so the four rows must leave four different bolts.
    std::vector<std::vector<std::uint32_t>> bolts;
    for (int row = 0; row < 4; ++row) {
        form().Movement_Timer();
        Strike(0, row);
        bolts.push_back(Pixels());
    }
    for (int a = 0; a < 4; ++a)
        for (int b = a + 1; b < 4; ++b) EXPECT_NE(bolts[a], bolts[b]) << a << " and " << b;
}

TEST_F(Thunder, TheOnePixelVariantTouchesOnlyTheTopLeftPixel) {
    // A picture of one colour shows what lands in the one pixel.
    os::Surface plain(40, 30, 0x00A15131);
    form().Lightning.SetPicture(plain);
    for (int value : {0, 2}) {
        form().Movement_Timer();
        Strike(value, 4);
        const std::vector<std::uint32_t> after = Pixels();
        const std::uint32_t want = value == 0 ? (frame_[0] | 0xA15131u)
                                              : (frame_[0] & ~0xA15131u & 0xFFFFFFu);
        EXPECT_EQ(after[0], want) << "value " << value;
        EXPECT_NE(after[0], frame_[0]);
        for (std::size_t i = 1; i < after.size(); ++i)
            ASSERT_EQ(after[i], frame_[i]) << "value " << value << " pixel " << i;
    }
}

TEST_F(Thunder, TheFlashReachesTheScreenAtOnceAndTheNextFrameWipesIt) {
    hosts::HeadlessHost& h = host();
    const auto id = static_cast<os::HostWindowId>(form().hWnd());
    form().Movement_Timer();
    const int presents = h.PresentCount(id);
    Strike(0, 0);
    // The tick yields at its end: the message loop presents the whole window, bolt and all.
    EXPECT_EQ(h.PresentCount(id), presents + 1);
    bool whole = false;
    for (const auto& r : h.LastPresentRects(id))
        whole = whole || (r.left == 0 && r.top == 0 && r.right == kW && r.bottom == kH);
    EXPECT_TRUE(whole) << "the inverted window is not presented whole";
    const std::vector<std::uint32_t> screen = h.ComposeScreen();
    int shown = 0;
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            const std::uint32_t on_screen = screen[static_cast<std::size_t>(y) * kW + x];
            ASSERT_EQ(on_screen, Window(x, y)) << x << "," << y;
            if (on_screen != Frame(x, y)) ++shown;
        }
    EXPECT_GT(shown, 100) << "the bolt is not on the screen";

    form().Movement_Timer();
    const std::vector<std::uint32_t> wiped = h.ComposeScreen();
    for (int y = 0; y < kH; y += 2)
        for (int x = 0; x < kW; x += 2) {
            ASSERT_EQ(Window(x, y), Frame(x, y)) << x << "," << y;
            ASSERT_EQ(wiped[static_cast<std::size_t>(y) * kW + x], Frame(x, y)) << x << "," << y;
        }
}

}  // namespace
