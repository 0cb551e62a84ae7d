// Tool tips: shown after the pointer rests on a control with a tip text, in a topmost
// pop-up below the pointer that leaves the focus alone; hidden when the pointer moves to
// another control, on a click or a key, and when the form goes away.
#include <gtest/gtest.h>

#include <string>

#include "forms/forms.h"
#include "os/message_loop.h"
#include "os/window.h"
#include "support/form_fixture.h"

namespace {

using tavro_test::Win;

class TipForm : public forms::Form {
public:
    TipForm() : forms::Form("TipForm") {}
    forms::CommandButton OK{*this, "OK"};
    forms::CommandButton Plain{*this, "Plain"};
    forms::CheckBox Thunder{*this, "Thunder"};

protected:
    void Design() override {
        tavro_test::PixelClient(*this, 300, 200);
        tavro_test::Place(OK, 10, 10, 75, 23, "OK");
        OK.SetToolTipText("Accept these parameters");
        tavro_test::Place(Plain, 10, 50, 75, 23, "Plain");
        tavro_test::Place(Thunder, 10, 90, 150, 17, "Thunder");
        Thunder.SetToolTipText("This sound goes with the Lightning");
    }
};

class ToolTipTest : public tavro_test::HeadlessFixture {
protected:
    void MoveAt(std::uint64_t ms, forms::Form& f, int x, int y) {
        host().At(ms, hosts::HeadlessHost::MotionEvent(Win(f), x, y));
    }
    // Runs the loop until the clock reaches ms.
    void RunUntil(std::uint64_t ms) {
        host().Schedule(ms, [] {});
        os::RunMessageLoop([this] { return host().PendingScripted() == 0; });
    }
    // Whether the tip shows (and what) at time ms, looked at from inside the loop.
    void CheckAt(std::uint64_t ms, bool* shown, std::string* text = nullptr) {
        host().Schedule(ms, [shown, text] { *shown = forms::ToolTipShown(text); });
    }
};

TEST_F(ToolTipTest, AppearsAfterTheDelayBelowThePointerWithoutTakingFocus) {
    TipForm f;
    f.Show();
    const std::uint64_t t0 = host().NowMs() + 10;
    MoveAt(t0, f, 30, 20);
    bool early = true, late = false;
    std::string text;
    CheckAt(t0 + forms::ToolTipDelayMs - 20, &early);
    CheckAt(t0 + forms::ToolTipDelayMs + 20, &late, &text);
    RunUntil(t0 + forms::ToolTipDelayMs + 30);
    EXPECT_FALSE(early);
    EXPECT_TRUE(late);
    EXPECT_EQ(text, "Accept these parameters");

    os::HWND tip = 0;
    ASSERT_TRUE(forms::ToolTipShown(nullptr, &tip));
    EXPECT_NE(os::GetWindowLongA(tip, os::GWL_EXSTYLE) & os::WS_EX_TOPMOST, 0);
    os::RECT form_rect{}, tip_rect{};
    ASSERT_TRUE(os::GetWindowRect(f.hWnd(), &form_rect));
    ASSERT_TRUE(os::GetWindowRect(tip, &tip_rect));
    EXPECT_EQ(tip_rect.left, form_rect.left + 30);
    EXPECT_GT(tip_rect.top, form_rect.top + 20);
    EXPECT_NE(host().FocusedWindow(), static_cast<os::HostWindowId>(tip));
    // Pale yellow inside a black border.
    const os::Surface* s = os::WindowSurface(tip);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->pixel(0, 0), os::PixelFromColorref(forms::ColorToolTipText));
    EXPECT_EQ(s->pixel(1, s->height() - 2), os::PixelFromColorref(forms::ColorToolTipBack));
}

TEST_F(ToolTipTest, EveryMoveStartsTheDelayAgain) {
    TipForm f;
    f.Show();
    const std::uint64_t t0 = host().NowMs() + 10;
    MoveAt(t0, f, 30, 20);
    MoveAt(t0 + 500, f, 32, 20);
    MoveAt(t0 + 1000, f, 34, 21);
    bool at_1500 = true, at_1750 = false;
    CheckAt(t0 + 1500, &at_1500);
    CheckAt(t0 + 1000 + forms::ToolTipDelayMs + 50, &at_1750);
    RunUntil(t0 + 1800);
    EXPECT_FALSE(at_1500);
    EXPECT_TRUE(at_1750);
}

TEST_F(ToolTipTest, HidesOnMoveToAnotherControlAndStaysWithinItsOwn) {
    TipForm f;
    f.Show();
    const std::uint64_t t0 = host().NowMs() + 10;
    MoveAt(t0, f, 30, 20);
    MoveAt(t0 + 800, f, 40, 25);  // still on OK
    bool after_inner_move = false;
    CheckAt(t0 + 810, &after_inner_move);
    MoveAt(t0 + 900, f, 30, 60);  // onto Plain, which has no tip
    bool on_plain = true;
    CheckAt(t0 + 2000, &on_plain);
    RunUntil(t0 + 2010);
    EXPECT_TRUE(after_inner_move);
    EXPECT_FALSE(on_plain);
    // Onto the form itself: nothing.
    MoveAt(t0 + 2100, f, 250, 180);
    bool on_form = true;
    CheckAt(t0 + 3000, &on_form);
    RunUntil(t0 + 3010);
    EXPECT_FALSE(on_form);
}

TEST_F(ToolTipTest, ClickAndKeyHideTheTip) {
    TipForm f;
    f.Show();
    const std::uint64_t t0 = host().NowMs() + 10;
    MoveAt(t0, f, 30, 95);  // the check box
    RunUntil(t0 + 800);
    std::string text;
    ASSERT_TRUE(forms::ToolTipShown(&text));
    EXPECT_EQ(text, "This sound goes with the Lightning");
    host().PushClick(Win(f), 30, 95);
    forms::DoEvents();
    EXPECT_FALSE(forms::ToolTipShown());
    EXPECT_EQ(f.Thunder.Value(), forms::vbChecked);  // the click still went through
    // Not again while the pointer stays on the same control ...
    MoveAt(host().NowMs() + 10, f, 31, 95);
    RunUntil(host().NowMs() + 1000);
    EXPECT_FALSE(forms::ToolTipShown());
    // ... but after leaving it and coming back.
    const std::uint64_t t1 = host().NowMs() + 10;
    MoveAt(t1, f, 250, 180);
    MoveAt(t1 + 10, f, 30, 20);
    RunUntil(t1 + 800);
    ASSERT_TRUE(forms::ToolTipShown());
    host().PushKey(Win(f), forms::vbKeyTab, '\t');
    forms::DoEvents();
    EXPECT_FALSE(forms::ToolTipShown());
}

TEST_F(ToolTipTest, NoTipForADisabledControlOrAGoneForm) {
    TipForm f;
    f.Show();
    f.OK.SetEnabled(false);
    const std::uint64_t t0 = host().NowMs() + 10;
    MoveAt(t0, f, 30, 20);
    RunUntil(t0 + 1000);
    EXPECT_FALSE(forms::ToolTipShown());
    f.OK.SetEnabled(true);
    MoveAt(t0 + 1010, f, 31, 20);
    RunUntil(t0 + 2000);
    ASSERT_TRUE(forms::ToolTipShown());
    f.Hide();
    EXPECT_FALSE(forms::ToolTipShown());
    f.Show();
    MoveAt(host().NowMs() + 10, f, 32, 20);
    RunUntil(host().NowMs() + 1000);
    ASSERT_TRUE(forms::ToolTipShown());
    os::HWND tip = 0;
    forms::ToolTipShown(nullptr, &tip);
    f.Unload();
    EXPECT_FALSE(forms::ToolTipShown());
    EXPECT_FALSE(os::IsWindow(tip));
}

}  // namespace
