// Mouse and keyboard: click and double-click synthesis, pointer capture, key routing to the
// form, Tab order, default and cancel buttons, access keys.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "forms/forms.h"
#include "os/window.h"
#include "support/form_fixture.h"

namespace {

using tavro_test::Win;

using hosts::HeadlessHost;

os::HostEvent Button(os::HostWindowId w, os::HostEvent::Type type, int x, int y, int button = 1) {
    return tavro_test::PointerEvent(w, type, x, y, button);
}

// A form without controls: every event is the form's.
class BareForm : public forms::Form {
public:
    BareForm() : forms::Form("BareForm") {}
    std::vector<std::string> log;

protected:
    void Design() override {
        SetBorderStyle(forms::BorderStyle::None);
        SetScaleMode(forms::ScaleMode::Pixels);
        Move(0, 0, 100 * 15, 100 * 15);
    }
    void Form_Click() override { log.push_back("Click"); }
    void Form_DblClick() override { log.push_back("DblClick"); }
    void Form_MouseDown(int, int, float, float) override { log.push_back("Down"); }
    void Form_MouseUp(int, int, float, float) override { log.push_back("Up"); }
    void Form_KeyDown(int& KeyCode, int& Shift) override {
        log.push_back("KeyDown " + std::to_string(KeyCode) + " " + std::to_string(Shift));
    }
    void Form_KeyPress(int& KeyAscii) override { log.push_back("KeyPress " + std::to_string(KeyAscii)); }
    void Form_KeyUp(int& KeyCode, int&) override { log.push_back("KeyUp " + std::to_string(KeyCode)); }
};

using InputTest = tavro_test::HeadlessFixture;

using FormMouse = InputTest;

TEST_F(FormMouse, ClickComesAfterDownAndUp) {
    BareForm f;
    f.Show();
    host().PushClick(Win(f), 10, 10);
    forms::DoEvents();
    EXPECT_EQ(f.log, (std::vector<std::string>{"Down", "Up", "Click"}));
}

TEST_F(FormMouse, SecondClickWithinTimeAndDistanceIsADoubleClick) {
    BareForm f;
    f.Show();
    host().PushClick(Win(f), 10, 10);
    forms::DoEvents();
    host().Advance(500);
    host().PushClick(Win(f), 14, 6);
    forms::DoEvents();
    EXPECT_EQ(f.log, (std::vector<std::string>{"Down", "Up", "Click", "DblClick", "Up"}));
    // A third click starts over.
    f.log.clear();
    host().PushClick(Win(f), 14, 6);
    forms::DoEvents();
    EXPECT_EQ(f.log, (std::vector<std::string>{"Down", "Up", "Click"}));
}

TEST_F(FormMouse, TooLateOrTooFarIsTwoClicks) {
    BareForm f;
    f.Show();
    host().PushClick(Win(f), 10, 10);
    forms::DoEvents();
    host().Advance(501);
    host().PushClick(Win(f), 10, 10);
    forms::DoEvents();
    host().Advance(10);
    host().PushClick(Win(f), 15, 10);  // 5 pixels away
    forms::DoEvents();
    EXPECT_EQ(std::count(f.log.begin(), f.log.end(), "Click"), 3);
    EXPECT_EQ(std::count(f.log.begin(), f.log.end(), "DblClick"), 0);
}

class ButtonForm : public forms::Form {
public:
    ButtonForm() : forms::Form("ButtonForm") {}
    forms::CommandButton Ok{*this, "Ok"};
    forms::CommandButton Cancel{*this, "Cancel"};
    forms::CommandButton Apply{*this, "Apply"};
    forms::TextBox Entry{*this, "Entry"};
    forms::Label Caption{*this, "Caption"};
    forms::TextBox Second{*this, "Second"};
    std::vector<std::string> log;

protected:
    void Design() override {
        tavro_test::PixelClient(*this, 300, 200);
        tavro_test::Place(Ok, 10, 160, 75, 23, "OK");
        Ok.SetDefault(true);
        Ok.SetTabIndex(1);
        tavro_test::Place(Cancel, 90, 160, 75, 23, "Cancel");
        Cancel.SetCancel(true);
        Cancel.SetTabIndex(2);
        tavro_test::Place(Apply, 170, 160, 75, 23, "&Apply");
        Apply.SetTabIndex(3);
        Entry.Move(10, 10, 100, 21);
        Entry.SetTabIndex(0);
        tavro_test::Place(Caption, 10, 50, 100, 15, "&Name:");
        Caption.SetTabIndex(4);
        Second.Move(10, 70, 100, 21);
        Second.SetTabIndex(5);
        Ok.OnClick = [this] { log.push_back("Ok"); };
        Cancel.OnClick = [this] { log.push_back("Cancel"); };
        Apply.OnClick = [this] { log.push_back("Apply"); };
    }
};

TEST_F(FormMouse, ButtonClicksOnlyWhenReleasedOverIt) {
    ButtonForm f;
    f.Show();
    const os::Rect r = f.Cancel.RectOnForm();
    host().PushClick(Win(f), r.left + 5, r.top + 5);
    forms::DoEvents();
    EXPECT_EQ(f.log, (std::vector<std::string>{"Cancel"}));
    EXPECT_EQ(f.ActiveControl(), &f.Cancel);  // pressing focuses it

    // Pressed, dragged off and released elsewhere: no click, and it no longer looks pressed.
    host().Advance(1000);
    host().Push(Button(Win(f), os::HostEvent::Type::ButtonDown, r.left + 5, r.top + 5));
    forms::DoEvents();
    EXPECT_TRUE(f.Cancel.Pressed());
    host().PushMotion(Win(f), 5, 5, 1);
    forms::DoEvents();
    EXPECT_FALSE(f.Cancel.Pressed());
    host().Push(Button(Win(f), os::HostEvent::Type::ButtonUp, 5, 5));
    forms::DoEvents();
    EXPECT_EQ(f.log.size(), 1u);
}

TEST_F(FormMouse, DoubleClickOnAButtonClicksTwice) {
    ButtonForm f;
    f.Show();
    const os::Rect r = f.Apply.RectOnForm();
    host().PushClick(Win(f), r.left + 5, r.top + 5);
    host().PushClick(Win(f), r.left + 5, r.top + 5);
    forms::DoEvents();
    EXPECT_EQ(f.log, (std::vector<std::string>{"Apply", "Apply"}));
}

TEST_F(FormMouse, DisabledButtonIgnoresClicks) {
    ButtonForm f;
    f.Show();
    f.Apply.SetEnabled(false);
    const os::Rect r = f.Apply.RectOnForm();
    host().PushClick(Win(f), r.left + 5, r.top + 5);
    forms::DoEvents();
    EXPECT_TRUE(f.log.empty());
}

using FormKeys = InputTest;

TEST_F(FormKeys, FormWithoutFocusableControlsGetsEveryKey) {
    BareForm f;
    f.Show();
    host().PushKey(Win(f), 'A', 'a', 1);
    forms::DoEvents();
    EXPECT_EQ(f.log, (std::vector<std::string>{"KeyDown 65 1", "KeyPress 97", "KeyUp 65"}));
}

TEST_F(FormKeys, EnterClicksTheDefaultButtonAndEscTheCancelButton) {
    ButtonForm f;
    f.Show();
    ASSERT_EQ(f.ActiveControl(), &f.Entry);
    host().PushKey(Win(f), forms::vbKeyReturn, '\r');
    host().PushKey(Win(f), forms::vbKeyEscape, 27);
    forms::DoEvents();
    EXPECT_EQ(f.log, (std::vector<std::string>{"Ok", "Cancel"}));
    EXPECT_EQ(f.Entry.Text(), "");  // neither key typed into the box
}

TEST_F(FormKeys, EnterOnAFocusedButtonClicksThatButton) {
    ButtonForm f;
    f.Show();
    f.Apply.SetFocus();
    host().PushKey(Win(f), forms::vbKeyReturn, '\r');
    forms::DoEvents();
    EXPECT_EQ(f.log, (std::vector<std::string>{"Apply"}));
}

TEST_F(FormKeys, DisabledDefaultButtonDoesNothing) {
    ButtonForm f;
    f.Show();
    f.Ok.SetEnabled(false);
    host().PushKey(Win(f), forms::vbKeyReturn, '\r');
    forms::DoEvents();
    EXPECT_TRUE(f.log.empty());
}

TEST_F(FormKeys, TabFollowsTabIndexSkippingDisabledAndWraps) {
    ButtonForm f;
    f.Show();
    f.Cancel.SetEnabled(false);
    std::vector<std::string> visited;
    for (int i = 0; i < 5; ++i) {
        host().PushKey(Win(f), forms::vbKeyTab, '\t');
        forms::DoEvents();
        visited.push_back(f.ActiveControl()->Name());
    }
    // Entry(0) -> Ok(1) -> [Cancel disabled] -> Apply(3) -> [label] -> Second(5) -> Entry
    EXPECT_EQ(visited, (std::vector<std::string>{"Ok", "Apply", "Second", "Entry", "Ok"}));
    host().PushKey(Win(f), forms::vbKeyTab, '\t', forms::vbShiftMask);
    forms::DoEvents();
    EXPECT_EQ(f.ActiveControl(), &f.Entry);
    EXPECT_EQ(f.Entry.Text(), "");
}

TEST_F(FormKeys, DisablingTheFocusedControlMovesTheFocusOn) {
    ButtonForm f;
    f.Show();
    f.Cancel.SetFocus();
    f.Cancel.SetEnabled(false);
    EXPECT_EQ(f.ActiveControl(), &f.Apply);
    f.Apply.SetVisible(false);
    EXPECT_EQ(f.ActiveControl(), &f.Second);
}

TEST_F(FormKeys, AltAccessKeyClicksButtonAndLabelFocusesTheNextControl) {
    ButtonForm f;
    f.Show();
    host().PushKey(Win(f), 'A', 'a', forms::vbAltMask);
    forms::DoEvents();
    EXPECT_EQ(f.log, (std::vector<std::string>{"Apply"}));
    EXPECT_EQ(f.ActiveControl(), &f.Apply);
    host().PushKey(Win(f), 'N', 'n', forms::vbAltMask);
    forms::DoEvents();
    EXPECT_EQ(f.ActiveControl(), &f.Second);
    EXPECT_EQ(f.Second.Text(), "");
    // Without Alt the letter is typed.
    host().PushKey(Win(f), 'N', 'n');
    forms::DoEvents();
    EXPECT_EQ(f.Second.Text(), "n");
}

TEST_F(FormKeys, SpaceClicksAFocusedButtonOnRelease) {
    ButtonForm f;
    f.Show();
    f.Ok.SetFocus();
    os::HostEvent key;
    key.type = os::HostEvent::Type::KeyDown;
    key.window = Win(f);
    key.key = forms::vbKeySpace;
    key.ch = ' ';
    host().Push(key);
    forms::DoEvents();
    EXPECT_TRUE(f.Ok.Pressed());
    EXPECT_TRUE(f.log.empty());
    key.type = os::HostEvent::Type::KeyUp;
    host().Push(key);
    forms::DoEvents();
    EXPECT_EQ(f.log, (std::vector<std::string>{"Ok"}));
    EXPECT_FALSE(f.Ok.Pressed());
}

// A control kind of the test's own: the form reaches it only through Control's hooks.
class Knob : public forms::Control {
public:
    Knob(forms::Container& c, std::vector<std::string>& log) : forms::Control(c, "Knob"), log_(log) {}
    bool enter_clicks = false;
    bool keeps_keys = false;

    bool TakesFocus() const override { return true; }
    bool ClicksOnEnter() const override { return enter_clicks; }
    bool KeepsEnterAndEsc() override { return keeps_keys; }
    void LoseDefault() override {
        log_.push_back("Knob not default");
        OwnerForm().RegisterDefaultButton(this, false);
    }
    void HandleClick() override { log_.push_back("Knob"); }
    void HandleKeyDown(int& key, int) override { log_.push_back("Knob key " + std::to_string(key)); }
    void HandleFormPress(forms::Control* target) override {
        if (target != this) log_.push_back("Knob press elsewhere");
    }

private:
    std::vector<std::string>& log_;
};

class KnobForm : public ButtonForm {
public:
    Knob knob{*this, log};

protected:
    void Design() override {
        knob.Move(250, 10, 40, 40);
        RegisterDefaultButton(&knob, true);
        ButtonForm::Design();  // Ok becomes the default and takes the role from the knob
    }
};

TEST_F(FormKeys, ANewControlKindTakesEnterEscAndPressesThroughItsHooks) {
    KnobForm f;
    f.Show();
    EXPECT_EQ(f.log, (std::vector<std::string>{"Knob not default"}));
    EXPECT_EQ(f.DefaultButton(), &f.Ok);
    f.log.clear();

    f.knob.SetFocus();
    host().PushKey(Win(f), forms::vbKeyReturn, '\r');
    forms::DoEvents();
    f.knob.enter_clicks = true;
    host().PushKey(Win(f), forms::vbKeyReturn, '\r');
    forms::DoEvents();
    f.knob.keeps_keys = true;
    host().PushKey(Win(f), forms::vbKeyReturn, '\r');
    host().PushKey(Win(f), forms::vbKeyEscape, 27);
    forms::DoEvents();
    EXPECT_EQ(f.log, (std::vector<std::string>{"Ok", "Knob", "Knob key 13", "Knob key 27"}));

    f.log.clear();
    const os::Rect r = f.Apply.RectOnForm();
    host().PushClick(Win(f), r.left + 5, r.top + 5);
    forms::DoEvents();
    EXPECT_EQ(f.log, (std::vector<std::string>{"Knob press elsewhere", "Apply"}));
}

class PreviewForm : public ButtonForm {
public:
    int swallowed = 0;

protected:
    void Design() override {
        ButtonForm::Design();
        SetKeyPreview(true);
    }
    void Form_KeyPress(int& KeyAscii) override {
        if (KeyAscii == 'x') {
            KeyAscii = 0;
            ++swallowed;
        }
    }
};

TEST_F(FormKeys, KeyPreviewLetsTheFormSeeAndSwallowKeysFirst) {
    PreviewForm f;
    f.Show();
    host().PushKey(Win(f), 'X', 'x');
    host().PushKey(Win(f), 'Y', 'y');
    forms::DoEvents();
    EXPECT_EQ(f.swallowed, 1);
    EXPECT_EQ(f.Entry.Text(), "y");
}

}  // namespace
