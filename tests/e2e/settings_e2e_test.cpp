// The real executable's settings dialog on an X display: centred on the screen, edited with
// clicks and saved by OK into the hive; Esc leaves the hive as it was.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "support/registry_values.h"
#include "support/x/on_x.h"

namespace {

using e2e::Keep;
using e2e::SaverProcess;
using e2e::Shot;
using e2e::XSession;

constexpr const char* kTitle = "Tavro Screen Saver";
using e2e::kSettingsKey;
constexpr const char* kKey = kSettingsKey;

// The dialog's client area is 457 x 291 pixels inside a frame of 3 pixels on each side and
// a 19-pixel caption; these are the client pixels of the controls the tests click.
constexpr int kClientW = 457, kClientH = 291;
constexpr int kOuterW = kClientW + 6, kOuterH = kClientH + 25;
constexpr int kPlaneNumX = 8 + 208, kPlaneNumY = 8 + 48, kBarW = 25, kBarH = 137;
constexpr int kBackSoundX = 8 + 144, kBackSoundY = 8 + 208;
constexpr int kOkX = 216 + 37, kOkY = 264 + 11;

class SettingsOnX : public e2e::OnX {
protected:
    // This process reads (and seeds) the executable's hive through the same layer.
    SettingsOnX() : OnX(Pointer::Corner, Hive::Shared) {}

    std::optional<std::string> Stored(const std::string& name) {
        return tavro_test::ReadText(kKey, name);
    }
    void Store(const std::string& name, const std::string& text) {
        ASSERT_TRUE(tavro_test::WriteText(kKey, name, text));
    }

    // Starts the dialog and waits until it is shown; its client origin on the screen.
    XSession::Placement OpenDialog(SaverProcess& p) {
        p.Start({"/c"});
        const unsigned long id = x_.WaitForWindow(kTitle, 10000);
        EXPECT_NE(id, 0u) << p.Stderr();
        // First paint: the grey face at the top-left corner and the aircraft picture.
        const auto drawn = [](const Shot& s) {
            if (s.width != kClientW || s.at(3, 3) != 0xC0C0C0u) return false;
            int picture = 0;
            for (int y = 10; y < 100; y += 3)
                for (int x = 300; x < 448; x += 3)
                    if (s.at(x, y) != 0xC0C0C0u) ++picture;
            return picture > 300;
        };
        const auto painted = id ? x_.WaitForWindowShot(id, drawn, 10000) : std::nullopt;
        EXPECT_TRUE(painted.has_value()) << "the dialog is not painted";
        if (painted) opened_ = *painted;
        id_ = id;
        const auto placed = id ? x_.WindowPlacement(id) : std::nullopt;
        return placed.value_or(XSession::Placement{});
    }
    void ClickClient(const XSession::Placement& at, int x, int y) { x_.Click(at.x + x, at.y + y); }

    unsigned long id_ = 0;
    Shot opened_;  // the dialog as it was first painted
};

TEST_F(SettingsOnX, OpensCentredOnTheScreenWithItsControlsDrawn) {
    SaverProcess p(dir_.path());
    const auto at = OpenDialog(p);
    ASSERT_NE(id_, 0u);
    EXPECT_EQ(at.width, kClientW);
    EXPECT_EQ(at.height, kClientH);
    // Centred in twips (15 per pixel) on the outer size; the window's outer corner stands at
    // the nearest pixel. Without a window manager the client window stands there; with one,
    // the frame does and the client lies inside it.
    const double left_px = std::nearbyint((x_.width() * 15.0 - kOuterW * 15.0) / 2 / 15);
    const double top_px = std::nearbyint((x_.height() * 15.0 - kOuterH * 15.0) / 2 / 15);
    EXPECT_GE(at.x, left_px);
    EXPECT_LE(at.x, left_px + 3);
    EXPECT_GE(at.y, top_px);
    EXPECT_LE(at.y, top_px + 22);

    const Shot& shot = opened_;
    Keep(shot, "settings-dialog");
    ASSERT_EQ(shot.width, kClientW);
    // Classic grey face around the panel; Cancel raised with a white top edge, OK (the
    // default button) inside a black frame; the picture's colours at the top right.
    EXPECT_EQ(shot.at(3, 3), 0xC0C0C0u);
    EXPECT_EQ(shot.at(296 + 37, 264), 0xFFFFFFu);
    EXPECT_EQ(shot.at(kOkX, 264), 0x000000u);
    EXPECT_EQ(shot.at(kOkX, 265), 0xFFFFFFu);
    int picture = 0;
    for (int y = 10; y < 100; y += 3)
        for (int x = 300; x < 448; x += 3)
            if (shot.at(x, y) != 0xC0C0C0u) ++picture;
    EXPECT_GT(picture, 300) << "the aircraft picture is not drawn";

    x_.Key("Escape");
    const auto code = p.Wait(3000);
    ASSERT_TRUE(code.has_value()) << "Esc did not close the dialog";
    EXPECT_EQ(*code, 0);
}

TEST_F(SettingsOnX, ArrowCheckBoxAndOkSaveTheValuesAndEnd) {
    SaverProcess p(dir_.path());
    const auto at = OpenDialog(p);
    ASSERT_NE(id_, 0u);
    ClickClient(at, kPlaneNumX + kBarW / 2, kPlaneNumY + 4);  // up arrow: 4 -> 5
    ClickClient(at, kPlaneNumX + kBarW / 2, kPlaneNumY + 4);  // 6
    ClickClient(at, kPlaneNumX + kBarW / 2, kPlaneNumY + kBarH - 4);  // down arrow: 5
    ClickClient(at, kBackSoundX + 6, kBackSoundY + 8);  // tick the background sound
    // The clicks are handled in order: once the box shows its tick, all of them are.
    const auto ticked = x_.WaitForWindowShot(
        id_,
        [&](const Shot& s) {
            for (int y = kBackSoundY; y < kBackSoundY + 16; ++y)
                for (int x = kBackSoundX; x < kBackSoundX + 13; ++x)
                    if (s.at(x, y) != opened_.at(x, y)) return true;
            return false;
        },
        3000);
    ASSERT_TRUE(ticked.has_value()) << "the check box shows no tick";
    Keep(*ticked, "settings-dialog-edited");
    EXPECT_FALSE(Stored("PlaneNum").has_value()) << "written before OK";
    ClickClient(at, kOkX, kOkY);
    const auto code = p.Wait(3000);
    ASSERT_TRUE(code.has_value()) << "OK did not close the dialog";
    EXPECT_EQ(*code, 0);
    EXPECT_EQ(Stored("PlaneNum"), " 4");
    EXPECT_EQ(Stored("BkWavEna"), " 1");
    EXPECT_EQ(Stored("TimeInt"), " 1");
    EXPECT_EQ(Stored("EventInt"), " 10000");
    EXPECT_EQ(Stored("EventProbs"), "245");
    EXPECT_EQ(Stored("ThunderWav"), "Thunder.Wav");
}

TEST_F(SettingsOnX, EscAfterEditingLeavesTheHiveAsItWas) {
    Store("PlaneNum", " 6");
    SaverProcess p(dir_.path());
    const auto at = OpenDialog(p);
    ASSERT_NE(id_, 0u);
    ClickClient(at, kPlaneNumX + kBarW / 2, kPlaneNumY + 4);
    ClickClient(at, kBackSoundX + 6, kBackSoundY + 8);
    x_.Key("Escape");
    const auto code = p.Wait(3000);
    ASSERT_TRUE(code.has_value()) << "Esc did not close the dialog";
    EXPECT_EQ(*code, 0);
    EXPECT_EQ(Stored("PlaneNum"), " 6");
    EXPECT_FALSE(Stored("BkWavEna").has_value());
    EXPECT_FALSE(Stored("Step").has_value());
}

}  // namespace
