// The combo box: typing over the selection, choosing items with the keys and the mouse,
// the dropped list's placement, scrolling and drawing, and which events each action raises.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "forms/combo_drop_list.h"
#include "forms/forms.h"
#include "os/window.h"
#include "support/form_fixture.h"

namespace {

// A 240 x 200 pixel form: a combo box near the top, one near the bottom, a text box to take
// the focus elsewhere and a default and a cancel button that count their clicks.
class ComboForm : public forms::Form {
public:
    ComboForm() : forms::Form("ComboForm") {}
    forms::ComboBox Top{*this, "Top"};
    forms::ComboBox Bottom{*this, "Bottom"};
    forms::TextBox Other{*this, "Other"};
    forms::CommandButton Ok{*this, "Ok"};
    forms::CommandButton Quit{*this, "Quit"};
    int changes = 0, clicks = 0, drops = 0, ok_clicks = 0, quit_clicks = 0;
    std::vector<int> keys;

protected:
    void Design() override {
        tavro_test::PixelClient(*this, 240, 200);
        Top.Move(10, 10, 60, 21);
        Bottom.Move(10, 160, 26, 21);
        Other.Move(100, 10, 100, 21);
        Ok.Move(100, 60, 60, 23);
        Ok.SetDefault(true);
        Quit.Move(100, 100, 60, 23);
        Quit.SetCancel(true);
        for (const char* item : {"apple", "banana", "cherry"}) Top.AddItem(item);
        for (int d = 0; d <= 9; ++d) Bottom.AddItem(std::to_string(d));
        Top.OnChange = [this] { ++changes; };
        Top.OnClick = [this] { ++clicks; };
        Top.OnDropDown = [this] { ++drops; };
        Top.OnKeyPress = [this](int& key) { keys.push_back(key); };
        Bottom.OnClick = [this] { ++clicks; };
        Ok.OnClick = [this] { ++ok_clicks; };
        Quit.OnClick = [this] { ++quit_clicks; };
    }
};

class ComboBoxTest : public tavro_test::FormFixture<ComboForm> {
protected:
    // A click on the box's drop-down button.
    void ClickButton(forms::ComboBox& box) {
        const os::Rect r = box.RectOnForm();
        const os::Rect b = box.Layout().button;
        ClickAt(r.left + (b.left + b.right) / 2, r.top + (b.top + b.bottom) / 2);
    }
    // A click on the row of `item` in the dropped list (it must be shown).
    void ClickItem(forms::ComboBox& box, int item) {
        const auto p = box.ListLayout();
        const int row = item - p.top_index;
        ClickAt(p.on_form.left + p.items.left + 3,
                p.on_form.top + p.items.top + row * p.item_height + p.item_height / 2);
    }
    std::uint32_t Pixel(int x, int y) { return tavro_test::At(form_, x, y); }
};

// --- the text -------------------------------------------------------------------------------

TEST_F(ComboBoxTest, FocusSelectsTheTextSoTypingReplacesIt) {
    form_.Top.SetText("banana");
    EXPECT_EQ(form_.changes, 1);
    EXPECT_EQ(form_.Top.ListIndex(), 1);  // the text is an item
    form_.Top.SetFocus();
    EXPECT_EQ(form_.Top.SelStart(), 0);
    EXPECT_EQ(form_.Top.SelLength(), 6);
    Type("ch");
    EXPECT_EQ(form_.Top.Text(), "ch");
    EXPECT_EQ(form_.changes, 3);  // one per character
    EXPECT_EQ(form_.Top.ListIndex(), -1);
    EXPECT_EQ(form_.keys, (std::vector<int>{'c', 'h'}));
    EXPECT_EQ(form_.clicks, 0);
}

TEST_F(ComboBoxTest, EditingKeysMoveAndExtendTheSelection) {
    form_.Top.SetFocus();
    Type("abcd");
    Key(forms::vbKeyHome);
    Key(forms::vbKeyRight, 0, forms::vbShiftMask);
    Key(forms::vbKeyRight, 0, forms::vbShiftMask);
    EXPECT_EQ(form_.Top.SelText(), "ab");
    Key(forms::vbKeyDelete);
    EXPECT_EQ(form_.Top.Text(), "cd");
    Key(forms::vbKeyEnd);
    Key(forms::vbKeyBack);
    EXPECT_EQ(form_.Top.Text(), "c");
    Key(forms::vbKeyBack);
    Key(forms::vbKeyBack);  // nothing left to delete: no change
    EXPECT_EQ(form_.Top.Text(), "");
    EXPECT_EQ(form_.changes, 7);  // 4 typed, 3 deletions
}

TEST_F(ComboBoxTest, ControlCharactersReachKeyPressButAreNotInserted) {
    form_.Top.SetFocus();
    Type("a");
    form_.Top.OnKeyPress = [this](int& key) {
        form_.keys.push_back(key);
        if (key == 'z') key = 0;  // swallowed
    };
    host().PushKey(id_, 'Z', 'z');
    host().PushKey(id_, 8, 8);
    forms::DoEvents();
    EXPECT_EQ(form_.keys.back(), 8);
    EXPECT_EQ(form_.Top.Text(), "");  // Backspace as a key deleted "a"; its character added nothing
}

// --- choosing with the keys -------------------------------------------------------------------

TEST_F(ComboBoxTest, UpAndDownChooseItemsRaisingClickNotChange) {
    form_.Top.SetFocus();
    Key(forms::vbKeyDown);  // nothing chosen yet: the first item
    EXPECT_EQ(form_.Top.Text(), "apple");
    Key(forms::vbKeyDown);
    Key(forms::vbKeyDown);
    Key(forms::vbKeyDown);  // stays on the last
    EXPECT_EQ(form_.Top.Text(), "cherry");
    EXPECT_EQ(form_.Top.ListIndex(), 2);
    EXPECT_EQ(form_.clicks, 3);
    Key(forms::vbKeyUp);
    EXPECT_EQ(form_.Top.Text(), "banana");
    EXPECT_EQ(form_.clicks, 4);
    EXPECT_EQ(form_.changes, 0);
    EXPECT_EQ(form_.Top.SelLength(), 6);  // a choice is selected whole
}

TEST_F(ComboBoxTest, ListIndexFromCodeChoosesAndOutOfRangeIsIgnored) {
    form_.Top.SetListIndex(2);
    EXPECT_EQ(form_.Top.Text(), "cherry");
    EXPECT_EQ(form_.clicks, 1);
    form_.Top.SetListIndex(3);
    form_.Top.SetListIndex(-7);
    EXPECT_EQ(form_.Top.ListIndex(), 2);
    EXPECT_EQ(form_.clicks, 1);
    form_.Top.SetListIndex(-1);
    EXPECT_EQ(form_.Top.ListIndex(), -1);
    EXPECT_EQ(form_.Top.Text(), "cherry");
    EXPECT_EQ(form_.Top.List(5), "");
    EXPECT_EQ(form_.Top.List(-1), "");
}

TEST_F(ComboBoxTest, AddAndRemoveKeepTheChosenIndexOnItsItem) {
    form_.Top.SetListIndex(1);  // banana
    form_.Top.AddItem("apricot", 1);
    EXPECT_EQ(form_.Top.ListIndex(), 2);
    EXPECT_EQ(form_.Top.List(1), "apricot");
    form_.Top.AddItem("never", 9);  // beyond the end: ignored
    EXPECT_EQ(form_.Top.ListCount(), 4);
    form_.Top.RemoveItem(0);
    EXPECT_EQ(form_.Top.ListIndex(), 1);
    form_.Top.RemoveItem(1);
    EXPECT_EQ(form_.Top.ListIndex(), -1);
    form_.Top.RemoveItem(10);
    EXPECT_EQ(form_.Top.ListCount(), 2);
}

// --- the dropped list -------------------------------------------------------------------------

TEST_F(ComboBoxTest, ButtonDropsTheListBelowAndAClickOnAnItemChoosesIt) {
    ClickButton(form_.Top);
    ASSERT_TRUE(form_.Top.DroppedDown());
    EXPECT_TRUE(form_.Top.HasFocus());
    EXPECT_EQ(form_.drops, 1);
    const auto p = form_.Top.ListLayout();
    const os::Rect box = form_.Top.RectOnForm();
    EXPECT_EQ(p.on_form.top, box.bottom);
    EXPECT_EQ(p.on_form.left, box.left);
    EXPECT_EQ(p.rows, 3);
    EXPECT_TRUE(p.up_arrow.empty());  // every item shows: no scroll bar
    ClickItem(form_.Top, 2);
    EXPECT_FALSE(form_.Top.DroppedDown());
    EXPECT_EQ(form_.Top.Text(), "cherry");
    EXPECT_EQ(form_.clicks, 1);
    EXPECT_EQ(form_.changes, 0);
    EXPECT_TRUE(form_.Top.ListLayout().on_form.empty());
}

TEST_F(ComboBoxTest, ListDropsAboveWhenOnlyThatSideHasRoomAndScrollsBeyondItsRows) {
    ClickButton(form_.Bottom);
    ASSERT_TRUE(form_.Bottom.DroppedDown());
    const auto p = form_.Bottom.ListLayout();
    const os::Rect box = form_.Bottom.RectOnForm();
    EXPECT_EQ(p.on_form.bottom, box.top);  // 19 pixels below: too little
    EXPECT_EQ(p.rows, 8);                  // ListRows by default
    EXPECT_FALSE(p.up_arrow.empty());      // ten items, eight rows: a scroll bar
    EXPECT_GE(p.on_form.width(), box.width());
    EXPECT_EQ(p.top_index, 0);
    // The down arrow scrolls one row; End-wards keys keep the chosen item in view.
    const os::Rect down = p.down_arrow;
    ClickAt(p.on_form.left + (down.left + down.right) / 2, p.on_form.top + (down.top + down.bottom) / 2);
    EXPECT_EQ(form_.Bottom.ListLayout().top_index, 1);
    EXPECT_TRUE(form_.Bottom.DroppedDown());
    form_.Bottom.SetListIndex(0);
    EXPECT_EQ(form_.Bottom.ListLayout().top_index, 0);
    Key(forms::vbKeyPageDown);
    Key(forms::vbKeyPageDown);
    EXPECT_EQ(form_.Bottom.Text(), "9");
    EXPECT_EQ(form_.Bottom.ListLayout().top_index, 2);
    ClickItem(form_.Bottom, 4);
    EXPECT_EQ(form_.Bottom.Text(), "4");
}

TEST_F(ComboBoxTest, ListIsDrawnOverTheControlsBelowIt) {
    // A long item widens Top's list over the Ok button (100, 60, 60 x 23).
    form_.Top.AddItem("a very long item indeed, wider than the box");
    ClickButton(form_.Top);
    const auto p = form_.Top.ListLayout();
    ASSERT_GT(p.on_form.right, 160);
    ASSERT_GT(p.on_form.bottom, 70);
    const int row2 = p.on_form.top + p.items.top + 2 * p.item_height + p.item_height / 2;
    EXPECT_EQ(Pixel(150, row2), os::PixelFromColorref(forms::ColorWindow));  // not the button
    EXPECT_EQ(Pixel(150, p.on_form.bottom - 1), os::PixelFromColorref(forms::ColorWindowText));
    // The hovered row is highlighted.
    host().PushMotion(id_, p.on_form.left + 4, p.on_form.top + p.items.top + 1);
    forms::DoEvents();
    EXPECT_EQ(form_.Top.HotItem(), 0);
    EXPECT_EQ(Pixel(p.on_form.right - 3, p.on_form.top + p.items.top + 1),
              os::PixelFromColorref(forms::ColorHighlight));
    form_.Top.SetDroppedDown(false);
    forms::DoEvents();
    // Closed, the button shows again where the list was.
    EXPECT_EQ(Pixel(150, row2), os::PixelFromColorref(forms::ColorButtonFace));
}

TEST_F(ComboBoxTest, EnterAndEscWhileDroppedGoToTheListNotToTheButtons) {
    form_.Top.SetFocus();
    Key(115);  // F4
    ASSERT_TRUE(form_.Top.DroppedDown());
    Key(forms::vbKeyDown);  // chooses the first item, list stays
    EXPECT_TRUE(form_.Top.DroppedDown());
    EXPECT_EQ(form_.Top.Text(), "apple");
    host().PushMotion(id_, form_.Top.ListLayout().on_form.left + 4,
                      form_.Top.ListLayout().on_form.top + form_.Top.ListLayout().item_height * 2 + 2);
    forms::DoEvents();
    EXPECT_EQ(form_.Top.HotItem(), 2);
    Key(forms::vbKeyReturn, '\r');  // chooses the highlighted row and closes
    EXPECT_FALSE(form_.Top.DroppedDown());
    EXPECT_EQ(form_.Top.Text(), "cherry");
    EXPECT_EQ(form_.ok_clicks, 0);
    Key(forms::vbKeyDown, 0, forms::vbAltMask);
    ASSERT_TRUE(form_.Top.DroppedDown());
    Key(forms::vbKeyEscape, 27);
    EXPECT_FALSE(form_.Top.DroppedDown());
    EXPECT_EQ(form_.Top.Text(), "cherry");
    EXPECT_EQ(form_.quit_clicks, 0);
    // Closed, Enter and Esc are the dialog's again; the characters still reached KeyPress.
    Key(forms::vbKeyReturn, '\r');
    EXPECT_EQ(form_.ok_clicks, 1);
    EXPECT_EQ(std::count(form_.keys.begin(), form_.keys.end(), 13), 1);
    EXPECT_EQ(std::count(form_.keys.begin(), form_.keys.end(), 27), 1);
}

TEST_F(ComboBoxTest, APressElsewhereOrLosingTheFocusClosesTheList) {
    ClickButton(form_.Top);
    ASSERT_TRUE(form_.Top.DroppedDown());
    ClickAt(230, 190);  // the bare form
    EXPECT_FALSE(form_.Top.DroppedDown());
    EXPECT_EQ(form_.Top.Text(), "");
    ClickButton(form_.Top);
    ASSERT_TRUE(form_.Top.DroppedDown());
    Key(forms::vbKeyTab);
    EXPECT_FALSE(form_.Top.DroppedDown());
    EXPECT_TRUE(form_.Bottom.HasFocus());  // next in creation order
    ClickButton(form_.Top);
    ClickButton(form_.Top);  // the button again closes it
    EXPECT_FALSE(form_.Top.DroppedDown());
}

TEST_F(ComboBoxTest, PressOnTheButtonDraggedOntoAnItemChoosesItAtTheRelease) {
    const os::Rect r = form_.Top.RectOnForm();
    const os::Rect b = form_.Top.Layout().button;
    os::HostEvent down;
    down.type = os::HostEvent::Type::ButtonDown;
    down.window = id_;
    down.button = 1;
    down.x = r.left + b.left + 3;
    down.y = r.top + 5;
    host().Push(down);
    forms::DoEvents();
    ASSERT_TRUE(form_.Top.DroppedDown());
    EXPECT_TRUE(form_.Top.ButtonPressed());
    const auto p = form_.Top.ListLayout();
    const int y = p.on_form.top + p.items.top + p.item_height + 2;  // the second row
    host().PushMotion(id_, p.on_form.left + 5, y, 1);
    os::HostEvent up = down;
    up.type = os::HostEvent::Type::ButtonUp;
    up.x = p.on_form.left + 5;
    up.y = y;
    host().Push(up);
    forms::DoEvents();
    EXPECT_FALSE(form_.Top.DroppedDown());
    EXPECT_FALSE(form_.Top.ButtonPressed());
    EXPECT_EQ(form_.Top.Text(), "banana");
}

TEST_F(ComboBoxTest, BoxShowsASunkenFieldAndARaisedButtonWithAnArrow) {
    const os::Rect r = form_.Top.RectOnForm();
    const os::Rect b = form_.Top.Layout().button;
    EXPECT_EQ(b.width(), 16);
    EXPECT_EQ(Pixel(r.left, r.top), os::PixelFromColorref(forms::ColorButtonShadow));
    EXPECT_EQ(Pixel(r.left + 5, r.top + 5), os::PixelFromColorref(forms::ColorWindow));
    int black = 0;
    for (int y = b.top + 2; y < b.bottom - 2; ++y)
        for (int x = b.left + 2; x < b.right - 2; ++x)
            if (Pixel(r.left + x, r.top + y) == 0) ++black;
    EXPECT_GE(black, 6);  // the arrow's triangle
    // A narrow box keeps room for its text.
    EXPECT_GE(form_.Bottom.Layout().edit.width(), 12);
}

TEST_F(ComboBoxTest, UnloadPutsItemsTextAndListBack) {
    ClickButton(form_.Top);
    form_.Unload();
    form_.Show();
    EXPECT_FALSE(form_.Top.DroppedDown());
    EXPECT_EQ(form_.Top.ListCount(), 3);  // Design added them again
    EXPECT_EQ(form_.Top.Text(), "");
    EXPECT_EQ(form_.Top.ListRows(), 8);
}

}  // namespace
