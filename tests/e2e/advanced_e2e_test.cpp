// The real executable's advanced dialog on an X display: opened from the settings dialog's
// Advanced button, a boundary picked from its drop-down list, OK; then the settings
// dialog's OK writes the new boundaries into the hive.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "support/registry_values.h"
#include "support/x/on_x.h"

namespace {

using e2e::SaverProcess;
using e2e::Shot;

// Client pixels (15 twips each). The settings dialog's Advanced button lies in its panel at
// (120 + 5040, 120 + 2760) twips, 77 x 22 pixels; its OK at (3240, 3960) twips.
constexpr int kAdvancedX = 344 + 38, kAdvancedY = 192 + 11;
constexpr int kSettingsOkX = 216 + 37, kSettingsOkY = 264 + 11;
// The advanced dialog: 345 x 202 pixels; Combo1(3) at (136, 120), 26 x 21, its drop-down
// button at the right end.
constexpr int kAdvancedW = 345, kAdvancedH = 202;
constexpr int kCombo3ButtonX = 136 + 19, kCombo3ButtonY = 120 + 10;

std::optional<std::string> Stored(const std::string& name) {
    return tavro_test::ReadText(e2e::kSettingsKey, name);
}

class AdvancedOnX : public e2e::OnX {
protected:
    AdvancedOnX() : OnX(Pointer::Corner, Hive::Shared) {}
};

TEST_F(AdvancedOnX, PickABoundaryOkThenSettingsOkWritesEventProbs) {
    SaverProcess p(dir_.path());
    p.Start({"/c"});
    const unsigned long settings = x_.WaitForWindow("Tavro Screen Saver", 10000);
    ASSERT_NE(settings, 0u) << p.Stderr();
    // Painted: the grey face at its top-left corner.
    const auto painted = [](const Shot& s) { return s.at(3, 3) == 0xC0C0C0u; };
    ASSERT_TRUE(x_.WaitForWindowShot(settings, painted, 10000));
    const auto s_at = x_.WindowPlacement(settings);
    ASSERT_TRUE(s_at);
    x_.Click(s_at->x + kAdvancedX, s_at->y + kAdvancedY);

    const unsigned long advanced = x_.WaitForWindow("Advance Options", 10000);
    ASSERT_NE(advanced, 0u) << p.Stderr();
    const auto a_at = x_.WindowPlacement(advanced);
    ASSERT_TRUE(a_at);
    EXPECT_EQ(a_at->width, kAdvancedW);
    EXPECT_EQ(a_at->height, kAdvancedH);
    const auto explained = [](const Shot& s) {
        int text = 0;  // Label2's words, dark on the face
        for (int y = 16; y < 70; ++y)
            for (int xx = 8; xx < 330; ++xx)
                if ((s.at(xx, y) & 0xFF) < 0x60) ++text;
        return s.width == kAdvancedW && s.at(100, 185) == 0xC0C0C0u && text > 200;
    };
    const auto shown = x_.WaitForWindowShot(advanced, explained, 10000);
    ASSERT_TRUE(shown.has_value()) << "the face or the explanation is not drawn";
    const Shot loaded = *shown;

    // Drop Combo1(3)'s list, keep a picture of it, step from 5 down to 7, Enter (chooses,
    // checks and moves on to OK), Enter again (OK).
    x_.Click(a_at->x + kCombo3ButtonX, a_at->y + kCombo3ButtonY);
    const auto dropped = x_.WaitForWindowShot(
        advanced, [&](const Shot& s) { return s.CountDifferent(loaded) > 400; }, 3000);
    ASSERT_TRUE(dropped.has_value()) << "no list dropped";
    e2e::Keep(*dropped, "advanced-dialog");
    // The list is part of the dialog's window and takes no focus: the keys reach the
    // dialog in order.
    x_.Key("Down");
    x_.Key("Down");
    x_.Key("Return");
    x_.Key("Return");
    ASSERT_TRUE(x_.WaitForNoWindow("Advance Options", 3000)) << "OK did not close the dialog";
    EXPECT_FALSE(Stored("EventProbs").has_value()) << "written before the settings' OK";
    EXPECT_TRUE(p.Running()) << "the settings dialog closed too";

    x_.Click(s_at->x + kSettingsOkX, s_at->y + kSettingsOkY);
    const auto code = p.Wait(3000);
    ASSERT_TRUE(code.has_value()) << "the settings dialog's OK did not close it";
    EXPECT_EQ(*code, 0);
    EXPECT_EQ(Stored("EventProbs"), "247");
}

}  // namespace
