// Check boxes: clicks on the square and on the caption, Space, access keys, values set
// from code (nested Click only on a real change), the greyed value, the disabled look and
// the tab order around a disabled box.
#include <gtest/gtest.h>

#include <vector>

#include "forms/forms.h"
#include "os/window.h"
#include "support/form_fixture.h"

namespace {

using tavro_test::At;
using tavro_test::Win;

class BoxForm : public forms::Form {
public:
    BoxForm() : forms::Form("BoxForm") {
        Lightning.OnClick = [this] {
            ++lightning_clicks;
            seen_values.push_back(Lightning.Value());
            // As the settings dialog does: the thunder box is usable only with lightning.
            Thunder.SetEnabled(Lightning.Value() != forms::vbUnchecked);
        };
        Thunder.OnClick = [this] { ++thunder_clicks; };
    }
    forms::CommandButton OK{*this, "OK"};
    forms::CheckBox Lightning{*this, "Lightning"};
    forms::CheckBox Thunder{*this, "Thunder"};
    forms::CommandButton About{*this, "About"};
    int lightning_clicks = 0;
    int thunder_clicks = 0;
    std::vector<int> seen_values;

protected:
    void Design() override {
        tavro_test::PixelClient(*this, 300, 150);
        tavro_test::Place(OK, 200, 10, 75, 23, "OK");
        tavro_test::Place(Lightning, 10, 10, 150, 17, "Enable &Lightnings");
        tavro_test::Place(Thunder, 10, 40, 150, 17, "Enable &Thunder Sound");
        tavro_test::Place(About, 200, 40, 75, 23, "About");
    }
};

// Pixels of a colour inside the square of a box (its 9 by 9 inside).
int CountInBox(forms::Form& f, forms::CheckBox& box, std::uint32_t pixel) {
    const os::Rect r = box.RectOnForm();
    const os::Rect b = box.BoxRect();
    int n = 0;
    for (int y = b.top + 2; y < b.bottom - 2; ++y)
        for (int x = b.left + 2; x < b.right - 2; ++x)
            if (At(f, r.left + x, r.top + y) == pixel) ++n;
    return n;
}

using CheckBoxTest = tavro_test::HeadlessFixture;

TEST_F(CheckBoxTest, ClickOnTheSquareOrTheCaptionToggles) {
    BoxForm f;
    f.Show();
    EXPECT_EQ(f.Lightning.Value(), forms::vbUnchecked);
    const os::Rect r = f.Lightning.RectOnForm();
    host().PushClick(Win(f), r.left + 6, r.top + 8);  // on the square
    forms::DoEvents();
    EXPECT_EQ(f.Lightning.Value(), forms::vbChecked);
    EXPECT_EQ(f.lightning_clicks, 1);
    EXPECT_TRUE(f.Lightning.HasFocus());
    host().PushClick(Win(f), r.left + 80, r.top + 8);  // on the caption
    forms::DoEvents();
    EXPECT_EQ(f.Lightning.Value(), forms::vbUnchecked);
    EXPECT_EQ(f.lightning_clicks, 2);
    // A right click does nothing.
    host().PushClick(Win(f), r.left + 6, r.top + 8, 3);
    forms::DoEvents();
    EXPECT_EQ(f.Lightning.Value(), forms::vbUnchecked);
    EXPECT_EQ(f.lightning_clicks, 2);
}

TEST_F(CheckBoxTest, SpaceAndAccessKeyToggleTheBox) {
    BoxForm f;
    f.Show();
    f.Thunder.SetFocus();
    host().PushKey(Win(f), forms::vbKeySpace, ' ');
    forms::DoEvents();
    EXPECT_EQ(f.Thunder.Value(), forms::vbChecked);
    EXPECT_EQ(f.thunder_clicks, 1);
    // Alt+L reaches the other box: focus and toggle.
    host().PushKey(Win(f), 'L', 0, forms::vbAltMask);
    forms::DoEvents();
    EXPECT_TRUE(f.Lightning.HasFocus());
    EXPECT_EQ(f.Lightning.Value(), forms::vbChecked);
    EXPECT_EQ(f.lightning_clicks, 1);
    // Enter is not a toggle.
    host().PushKey(Win(f), forms::vbKeyReturn, '\r');
    forms::DoEvents();
    EXPECT_EQ(f.Lightning.Value(), forms::vbChecked);
}

TEST_F(CheckBoxTest, ValueFromCodeClicksNestedOnlyOnARealChange) {
    BoxForm f;
    f.Load();
    f.Lightning.SetValue(forms::vbChecked);
    // The handler ran inside SetValue and saw the new value.
    EXPECT_EQ(f.lightning_clicks, 1);
    ASSERT_EQ(f.seen_values.size(), 1u);
    EXPECT_EQ(f.seen_values[0], forms::vbChecked);
    f.Lightning.SetValue(forms::vbChecked);
    EXPECT_EQ(f.lightning_clicks, 1);
    f.Lightning.SetValue(forms::vbUnchecked);
    EXPECT_EQ(f.lightning_clicks, 2);
    EXPECT_FALSE(f.Thunder.Enabled());
}

TEST_F(CheckBoxTest, GreyedValueAndOutOfRangeValues) {
    BoxForm f;
    f.Show();
    f.Thunder.SetValue(3);  // clamped to greyed
    EXPECT_EQ(f.Thunder.Value(), forms::vbGrayed);
    f.Thunder.SetValue(-1);
    EXPECT_EQ(f.Thunder.Value(), forms::vbUnchecked);
    f.Thunder.SetValue(forms::vbGrayed);
    forms::DoEvents();
    // Greyed: a grey tick on a dither.
    EXPECT_GT(CountInBox(f, f.Thunder, 0x808080u), 10);
    EXPECT_GT(CountInBox(f, f.Thunder, 0xFFFFFFu), 5);
    EXPECT_EQ(CountInBox(f, f.Thunder, 0x000000u), 0);
    const int clicks = f.thunder_clicks;
    const os::Rect r = f.Thunder.RectOnForm();
    host().PushClick(Win(f), r.left + 6, r.top + 8);
    forms::DoEvents();
    EXPECT_EQ(f.Thunder.Value(), forms::vbUnchecked);  // a click on greyed clears
    EXPECT_EQ(f.thunder_clicks, clicks + 1);
}

TEST_F(CheckBoxTest, DisabledBoxKeepsItsTickDrawnGreyAndIgnoresClicks) {
    BoxForm f;
    f.Show();
    f.Thunder.SetValue(forms::vbChecked);
    forms::DoEvents();
    const int black_tick = CountInBox(f, f.Thunder, 0x000000u);
    EXPECT_GE(black_tick, 15);  // the tick's pixels
    EXPECT_EQ(CountInBox(f, f.Thunder, 0x808080u), 0);
    f.Thunder.SetEnabled(false);
    forms::DoEvents();
    EXPECT_EQ(f.Thunder.Value(), forms::vbChecked);
    EXPECT_EQ(CountInBox(f, f.Thunder, 0x000000u), 0);
    EXPECT_EQ(CountInBox(f, f.Thunder, 0x808080u), black_tick);  // same tick, grey
    EXPECT_EQ(CountInBox(f, f.Thunder, 0xFFFFFFu), 0);  // on a grey inside
    const int clicks = f.thunder_clicks;
    const os::Rect r = f.Thunder.RectOnForm();
    host().PushClick(Win(f), r.left + 6, r.top + 8);
    forms::DoEvents();
    EXPECT_EQ(f.Thunder.Value(), forms::vbChecked);
    EXPECT_EQ(f.thunder_clicks, clicks);
}

TEST_F(CheckBoxTest, TabSkipsADisabledBoxUntilItIsEnabledAgain) {
    BoxForm f;
    f.Show();
    f.Lightning.SetValue(forms::vbChecked);
    f.Lightning.SetValue(forms::vbUnchecked);  // disables Thunder
    ASSERT_FALSE(f.Thunder.Enabled());
    f.OK.SetFocus();
    host().PushKey(Win(f), forms::vbKeyTab, '\t');
    forms::DoEvents();
    EXPECT_EQ(f.ActiveControl(), &f.Lightning);
    host().PushKey(Win(f), forms::vbKeyTab, '\t');
    forms::DoEvents();
    EXPECT_EQ(f.ActiveControl(), &f.About);
    // Space on Lightning ticks it and brings Thunder back into the order.
    f.Lightning.SetFocus();
    host().PushKey(Win(f), forms::vbKeySpace, ' ');
    host().PushKey(Win(f), forms::vbKeyTab, '\t');
    forms::DoEvents();
    EXPECT_TRUE(f.Thunder.Enabled());
    EXPECT_EQ(f.ActiveControl(), &f.Thunder);
    // The access key of a disabled box does nothing.
    f.Lightning.SetValue(forms::vbUnchecked);
    f.OK.SetFocus();
    const int clicks = f.thunder_clicks;
    host().PushKey(Win(f), 'T', 0, forms::vbAltMask);
    forms::DoEvents();
    EXPECT_EQ(f.thunder_clicks, clicks);
    EXPECT_EQ(f.ActiveControl(), &f.OK);
}

TEST_F(CheckBoxTest, FocusRectangleSurroundsTheCaption) {
    BoxForm f;
    f.Show();
    f.OK.SetFocus();
    forms::DoEvents();
    const os::Rect r = f.Lightning.RectOnForm();
    const int left = r.left + forms::CheckBox::BoxSize + forms::CheckBox::CaptionGap - 1;
    auto dotted_column = [&] {
        int dark = 0;
        for (int y = r.top; y < r.bottom; ++y)
            if (At(f, left, y) == 0x000000u || At(f, left, y) == 0x3F3F3Fu) ++dark;
        return dark;
    };
    const int before = dotted_column();
    f.Lightning.SetFocus();
    forms::DoEvents();
    EXPECT_GT(dotted_column(), before + 3);
}

TEST_F(CheckBoxTest, UnloadPutsTheBoxBackToClear) {
    BoxForm f;
    f.Lightning.SetValue(forms::vbChecked);
    f.Lightning.SetCaption("Other");
    f.Unload();
    EXPECT_EQ(f.Lightning.Value(), forms::vbUnchecked);  // reloads with the designed value
    EXPECT_EQ(f.Lightning.Caption(), "Enable &Lightnings");
}

}  // namespace
