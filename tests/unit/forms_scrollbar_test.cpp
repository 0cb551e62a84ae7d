// Vertical scroll bars: arrows, track pages, thumb drags, keys, clamping, a bar whose
// largest value is at the top (Min > Max), Change only on a real change and nested when
// set from code, held presses repeating, and the tab order.
#include <gtest/gtest.h>

#include <vector>

#include "forms/forms.h"
#include "os/message_loop.h"
#include "os/window.h"
#include "support/form_fixture.h"

namespace {

using tavro_test::Win;

// Bar geometry in pixels: 20 wide and 140 high, so the arrows are 20 high, the track runs
// from 20 to 120 and the square thumb has 80 pixels of room.
class BarForm : public forms::Form {
public:
    BarForm() : forms::Form("BarForm") {
        Planes.OnChange = [this] {
            ++changes;
            values.push_back(Planes.Value());
            Caption.SetCaption(" " + std::to_string(Planes.Value()));
        };
        Planes.OnScroll = [this] { ++scrolls; };
        Plain.OnChange = [this] { ++plain_changes; };
    }
    forms::CommandButton OK{*this, "OK"};
    forms::VScrollBar Planes{*this, "Planes"};
    forms::VScrollBar Plain{*this, "Plain"};
    forms::Label Caption{*this, "Caption"};
    int changes = 0, scrolls = 0, plain_changes = 0;
    std::vector<int> values;

protected:
    void Design() override {
        tavro_test::PixelClient(*this, 200, 200);
        tavro_test::Place(OK, 100, 160, 75, 23, "OK");
        // Nine planes at the top, none at the bottom.
        Planes.Move(10, 10, 20, 140);
        Planes.SetMin(9);
        Planes.SetMax(0);
        Planes.SetLargeChange(2);
        Plain.Move(50, 10, 20, 140);
        Plain.SetMax(100);
        Plain.SetLargeChange(10);
        Caption.Move(10, 160, 40, 20);
    }
};

// The left button: held from its press until its release.
os::HostEvent Button(forms::Form& f, os::HostEvent::Type type, int x, int y) {
    return tavro_test::PointerEvent(Win(f), type, x, y, 1,
                                    type == os::HostEvent::Type::ButtonUp ? 0u : 1u);
}

class ScrollBarTest : public tavro_test::HeadlessFixture {
protected:
    // A press on bar-local (x, y) of the bar in form f.
    void Click(BarForm& f, forms::VScrollBar& bar, int x, int y) {
        const os::Rect r = bar.RectOnForm();
        host().PushClick(Win(f), r.left + x, r.top + y);
        forms::DoEvents();
    }
    // Queues a left-button event at bar-local (10, y) of the bar in form f.
    void Queue(BarForm& f, forms::VScrollBar& bar, os::HostEvent::Type type, int y) {
        const os::Rect r = bar.RectOnForm();
        host().Push(Button(f, type, r.left + 10, r.top + y));
    }
    // Runs the loop until every scripted event has been handed out.
    void RunScript() {
        os::RunMessageLoop([this] { return host().PendingScripted() == 0; });
        forms::DoEvents();
    }
};

TEST_F(ScrollBarTest, DefaultsAndClampingWithTheLargestValueAtTheTop) {
    BarForm f;
    f.Load();
    EXPECT_EQ(f.Plain.Min(), 0);
    EXPECT_EQ(f.Plain.Max(), 100);
    EXPECT_EQ(f.Plain.SmallChange(), 1);
    EXPECT_EQ(f.Planes.Value(), 9);  // Min 9 pulled the default value 0 into the range
    f.Planes.SetValue(12);
    EXPECT_EQ(f.Planes.Value(), 9);
    f.Planes.SetValue(-4);
    EXPECT_EQ(f.Planes.Value(), 0);
    f.Planes.SetValue(4);
    EXPECT_EQ(f.Planes.Value(), 4);
    f.Planes.SetSmallChange(0);
    EXPECT_EQ(f.Planes.SmallChange(), 1);
    // A new range pulls the value into it, with a Change.
    const int before = f.changes;
    f.Planes.SetMin(3);
    EXPECT_EQ(f.Planes.Value(), 3);
    EXPECT_EQ(f.changes, before + 1);
}

TEST_F(ScrollBarTest, ChangeRunsNestedAndOnlyOnARealChange) {
    BarForm f;
    f.Load();
    f.changes = 0;
    f.values.clear();
    f.Planes.SetValue(4);
    // The handler has already run (and written the caption) when SetValue returns.
    EXPECT_EQ(f.changes, 1);
    EXPECT_EQ(f.Caption.Caption(), " 4");
    f.Planes.SetValue(4);
    EXPECT_EQ(f.changes, 1);
    f.Planes.SetValue(100);  // clamps to 9: a change
    f.Planes.SetValue(50);   // clamps to 9 again: none
    EXPECT_EQ(f.changes, 2);
    EXPECT_EQ(f.values, (std::vector<int>{4, 9}));
}

TEST_F(ScrollBarTest, ArrowsMoveByOneWithTheLargestValueAtTheTop) {
    BarForm f;
    f.Show();
    f.Planes.SetValue(4);
    f.changes = 0;
    Click(f, f.Planes, 10, 5);  // up arrow raises
    EXPECT_EQ(f.Planes.Value(), 5);
    Click(f, f.Planes, 10, 135);  // down arrow lowers
    Click(f, f.Planes, 10, 135);
    EXPECT_EQ(f.Planes.Value(), 3);
    EXPECT_EQ(f.changes, 3);
    EXPECT_TRUE(f.Planes.HasFocus());
    // At the bottom the down arrow changes nothing.
    f.Planes.SetValue(0);
    const int at_end = f.changes;
    Click(f, f.Planes, 10, 135);
    EXPECT_EQ(f.Planes.Value(), 0);
    EXPECT_EQ(f.changes, at_end);
    // An ordinary bar: the down arrow goes up in value.
    Click(f, f.Plain, 10, 135);
    EXPECT_EQ(f.Plain.Value(), 1);
}

TEST_F(ScrollBarTest, ThumbPositionFollowsTheValue) {
    BarForm f;
    f.Load();
    f.Planes.SetValue(9);
    EXPECT_EQ(f.Planes.Layout().thumb.top, 20);  // largest value at the top
    f.Planes.SetValue(0);
    EXPECT_EQ(f.Planes.Layout().thumb.top, 100);
    f.Plain.SetValue(50);
    const auto p = f.Plain.Layout();
    EXPECT_EQ(p.thumb.top, 60);
    EXPECT_EQ(p.thumb.height(), 20);
    EXPECT_EQ(p.up_arrow.bottom, 20);
    EXPECT_EQ(p.down_arrow.top, 120);
    // Min equal to Max: the thumb sits at the top.
    f.Plain.SetMax(0);
    EXPECT_EQ(f.Plain.Value(), 0);
    EXPECT_EQ(f.Plain.Layout().thumb.top, 20);
}

TEST_F(ScrollBarTest, TrackClicksPageTowardsThatEnd) {
    BarForm f;
    f.Show();
    f.Planes.SetValue(4);  // thumb from 64 to 84
    f.changes = 0;
    Click(f, f.Planes, 10, 30);  // above the thumb: towards the top value
    EXPECT_EQ(f.Planes.Value(), 6);
    Click(f, f.Planes, 10, 115);  // below: towards the bottom value
    EXPECT_EQ(f.Planes.Value(), 4);
    f.Planes.SetValue(8);
    Click(f, f.Planes, 10, 21);  // a page past the top stops at it
    EXPECT_EQ(f.Planes.Value(), 9);
    EXPECT_EQ(f.changes, 4);
}

TEST_F(ScrollBarTest, ThumbDragChangesOnceAtTheRelease) {
    BarForm f;
    f.Show();
    f.Planes.SetValue(4);
    f.changes = 0;
    const int grab = f.Planes.Layout().thumb.top + 10;
    using T = os::HostEvent::Type;
    Queue(f, f.Planes, T::ButtonDown, grab);
    Queue(f, f.Planes, T::Motion, grab - 20);
    Queue(f, f.Planes, T::Motion, 5);  // past the top
    forms::DoEvents();
    EXPECT_TRUE(f.Planes.Dragging());
    EXPECT_EQ(f.Planes.Layout().thumb.top, 20);
    EXPECT_EQ(f.changes, 0);  // no Change while dragging
    EXPECT_GE(f.scrolls, 2);
    EXPECT_EQ(f.Caption.Caption(), " 4");  // the label does not follow the thumb
    Queue(f, f.Planes, T::ButtonUp, 5);
    forms::DoEvents();
    EXPECT_FALSE(f.Planes.Dragging());
    EXPECT_EQ(f.Planes.Value(), 9);
    EXPECT_EQ(f.changes, 1);
    EXPECT_EQ(f.Caption.Caption(), " 9");
    // Dragged away and back: no change at all.
    const int top = f.Planes.Layout().thumb.top + 5;
    Queue(f, f.Planes, T::ButtonDown, top);
    Queue(f, f.Planes, T::Motion, top + 50);
    Queue(f, f.Planes, T::Motion, top);
    Queue(f, f.Planes, T::ButtonUp, top);
    forms::DoEvents();
    EXPECT_EQ(f.Planes.Value(), 9);
    EXPECT_EQ(f.changes, 1);
}

TEST_F(ScrollBarTest, DragToTheMiddleGivesTheValueThere) {
    BarForm f;
    f.Show();
    f.Plain.SetValue(0);
    using T = os::HostEvent::Type;
    Queue(f, f.Plain, T::ButtonDown, 25);  // thumb 20..40
    Queue(f, f.Plain, T::Motion, 25 + 20);  // a quarter of 80
    Queue(f, f.Plain, T::ButtonUp, 25 + 20);
    forms::DoEvents();
    EXPECT_EQ(f.Plain.Value(), 25);
    EXPECT_EQ(f.plain_changes, 1);
}

TEST_F(ScrollBarTest, KeysMoveTheFocusedBar) {
    BarForm f;
    f.Show();
    f.Planes.SetValue(4);
    f.Planes.SetFocus();
    struct Step {
        int key;
        int expected;
    };
    const Step steps[] = {
        {forms::vbKeyUp, 5},       {forms::vbKeyDown, 4},     {forms::vbKeyPageUp, 6},
        {forms::vbKeyPageDown, 4}, {forms::vbKeyHome, 9},     {forms::vbKeyUp, 9},
        {forms::vbKeyEnd, 0},      {forms::vbKeyPageDown, 0}, {forms::vbKeyRight, 0},
        {forms::vbKeyLeft, 1},
    };
    f.changes = 0;
    int real_changes = 0, last = 4;
    for (const Step& s : steps) {
        host().PushKey(Win(f), static_cast<unsigned>(s.key));
        forms::DoEvents();
        EXPECT_EQ(f.Planes.Value(), s.expected) << "key " << s.key;
        if (s.expected != last) ++real_changes;
        last = s.expected;
    }
    EXPECT_EQ(f.changes, real_changes);
}

TEST_F(ScrollBarTest, HeldArrowRepeatsUntilReleasedOrTheEnd) {
    BarForm f;
    f.Show();
    f.Plain.SetValue(0);
    const os::Rect r = f.Plain.RectOnForm();
    using T = os::HostEvent::Type;
    const std::uint64_t t0 = host().NowMs();
    host().Push(Button(f, T::ButtonDown, r.left + 10, r.top + 135));
    // Released after the first delay and four more periods.
    const std::uint64_t release = t0 + forms::VScrollBar::RepeatDelayMs +
                                  4 * forms::VScrollBar::RepeatIntervalMs + 5;
    host().At(release, Button(f, T::ButtonUp, r.left + 10, r.top + 135));
    RunScript();
    EXPECT_EQ(f.Plain.Value(), 6);  // the press, the first repeat, four more
    EXPECT_EQ(f.plain_changes, 6);
    // Nothing more after the release.
    host().Schedule(host().NowMs() + 500, [] {});
    RunScript();
    EXPECT_EQ(f.Plain.Value(), 6);

    // The largest-on-top bar held on its up arrow stops at its top value.
    f.Planes.SetValue(7);
    const os::Rect p = f.Planes.RectOnForm();
    const std::uint64_t t1 = host().NowMs();
    host().Push(Button(f, T::ButtonDown, p.left + 10, p.top + 5));
    host().At(t1 + 2000, Button(f, T::ButtonUp, p.left + 10, p.top + 5));
    RunScript();
    EXPECT_EQ(f.Planes.Value(), 9);
}

TEST_F(ScrollBarTest, HeldTrackPagesUntilTheThumbReachesThePointer) {
    BarForm f;
    f.Show();
    f.Plain.SetValue(0);
    const os::Rect r = f.Plain.RectOnForm();
    using T = os::HostEvent::Type;
    const std::uint64_t t0 = host().NowMs();
    // Pointer at track y 100: the thumb (20 high) covers it from value 75 on.
    host().Push(Button(f, T::ButtonDown, r.left + 10, r.top + 100));
    host().At(t0 + 3000, Button(f, T::ButtonUp, r.left + 10, r.top + 100));
    RunScript();
    const auto thumb = f.Plain.Layout().thumb;
    EXPECT_LE(thumb.top, 100);
    EXPECT_GT(thumb.bottom, 100);
    EXPECT_EQ(f.Plain.Value(), 80);  // pages of 10 until the thumb is under the pointer
}

TEST_F(ScrollBarTest, DisabledBarIsSkippedByTabAndIgnoresClicks) {
    BarForm f;
    f.Show();
    f.OK.SetTabIndex(0);
    f.Planes.SetTabIndex(1);
    f.Plain.SetTabIndex(2);
    f.Planes.SetEnabled(false);
    f.OK.SetFocus();
    host().PushKey(Win(f), forms::vbKeyTab, '\t');
    forms::DoEvents();
    EXPECT_EQ(f.ActiveControl(), &f.Plain);
    const int value = f.Planes.Value();
    Click(f, f.Planes, 10, 5);
    EXPECT_EQ(f.Planes.Value(), value);
    f.Planes.SetEnabled(true);
    f.OK.SetFocus();
    host().PushKey(Win(f), forms::vbKeyTab, '\t');
    forms::DoEvents();
    EXPECT_EQ(f.ActiveControl(), &f.Planes);
}

TEST_F(ScrollBarTest, FocusedBarShowsItsThumbInverted) {
    BarForm f;
    f.Show();
    f.Plain.SetValue(50);  // thumb 60..80
    f.OK.SetFocus();
    forms::DoEvents();
    const os::Rect r = f.Plain.RectOnForm();
    auto face = [&] { return os::WindowSurface(f.hWnd())->pixel(r.left + 10, r.top + 70); };
    EXPECT_EQ(face(), 0xC0C0C0u);
    f.Plain.SetFocus();
    forms::DoEvents();
    EXPECT_EQ(face(), 0x3F3F3Fu);
}

}  // namespace
