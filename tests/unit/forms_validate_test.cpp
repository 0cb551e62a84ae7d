// The Validate event: it runs before the focus leaves a control (Tab, a click, a focus move
// from code), nested in that move, and its Cancel keeps the focus and drops the press.
#include <gtest/gtest.h>

#include <string>

#include "forms/forms.h"
#include "os/window.h"
#include "support/form_fixture.h"

namespace {

class ValidateForm : public forms::Form {
public:
    ValidateForm() : forms::Form("ValidateForm") {}
    forms::ComboBox Checked{*this, "Checked"};
    forms::TextBox Free{*this, "Free"};
    forms::CommandButton Go{*this, "Go"};
    forms::ComboBox Second{*this, "Second"};
    int validations = 0, go_clicks = 0;
    int refuse = 0;  // the Cancel the handler gives

protected:
    void Design() override {
        tavro_test::PixelClient(*this, 240, 120);
        Checked.Move(10, 10, 60, 21);
        Free.Move(10, 40, 60, 21);
        Go.Move(100, 10, 60, 23);
        Second.Move(100, 60, 60, 21);
        Checked.SetTabIndex(0);
        Free.SetTabIndex(1);
        Go.SetTabIndex(2);
        Second.SetTabIndex(3);
        Checked.OnValidate = [this](int& cancel) {
            ++validations;
            cancel = refuse;
        };
        Go.OnClick = [this] { ++go_clicks; };
    }
};

class ValidateTest : public tavro_test::FormFixture<ValidateForm> {
protected:
    void SetUp() override {
        FormFixture::SetUp();
        ASSERT_TRUE(form_.Checked.HasFocus());
    }
};

TEST_F(ValidateTest, TabRunsTheHandlerWhichMayKeepTheFocus) {
    form_.refuse = 1;
    Key(forms::vbKeyTab);
    EXPECT_EQ(form_.validations, 1);
    EXPECT_TRUE(form_.Checked.HasFocus());
    Key(forms::vbKeyTab, 0, forms::vbShiftMask);
    EXPECT_EQ(form_.validations, 2);
    EXPECT_TRUE(form_.Checked.HasFocus());
    form_.refuse = 0;
    Key(forms::vbKeyTab);
    EXPECT_EQ(form_.validations, 3);
    EXPECT_TRUE(form_.Free.HasFocus());
    // Leaving a control without a handler asks nobody.
    Key(forms::vbKeyTab);
    EXPECT_EQ(form_.validations, 3);
    EXPECT_TRUE(form_.Go.HasFocus());
}

TEST_F(ValidateTest, ARefusedClickOnAButtonIsDroppedWholly) {
    form_.refuse = -1;  // any nonzero value keeps the focus
    ClickCentre(form_.Go);
    EXPECT_EQ(form_.validations, 1);
    EXPECT_EQ(form_.go_clicks, 0);
    EXPECT_TRUE(form_.Checked.HasFocus());
    EXPECT_FALSE(form_.Go.Pressed());
    form_.refuse = 0;
    ClickCentre(form_.Go);
    EXPECT_EQ(form_.go_clicks, 1);
    EXPECT_TRUE(form_.Go.HasFocus());
}

TEST_F(ValidateTest, AFocusMoveFromCodeValidatesNestedInTheCall) {
    form_.refuse = 1;
    int seen_during = -1;
    form_.Checked.OnValidate = [&](int& cancel) {
        ++form_.validations;
        seen_during = form_.Free.HasFocus() ? 1 : 0;  // the focus has not moved yet
        cancel = form_.refuse;
    };
    EXPECT_FALSE(form_.MoveFocus(&form_.Free));
    EXPECT_EQ(form_.validations, 1);
    EXPECT_EQ(seen_during, 0);
    form_.Free.SetFocus();
    EXPECT_EQ(form_.validations, 2);
    EXPECT_TRUE(form_.Checked.HasFocus());
    form_.refuse = 0;
    form_.Free.SetFocus();
    EXPECT_EQ(form_.validations, 3);
    EXPECT_TRUE(form_.Free.HasFocus());
}

TEST_F(ValidateTest, AHandlerMovingTheFocusItselfIsNotAskedAgain) {
    form_.Checked.OnValidate = [this](int& cancel) {
        ++form_.validations;
        form_.Second.SetFocus();  // its own move: no second validation
        cancel = 0;
    };
    Key(forms::vbKeyTab);
    EXPECT_EQ(form_.validations, 1);
    EXPECT_TRUE(form_.Second.HasFocus());  // the handler's move stands over Tab's
}

TEST_F(ValidateTest, AHandlerShowingAMessageBoxKeepsTheFocusAfterItCloses) {
    std::string prompt;
    form_.Checked.OnValidate = [&](int& cancel) {
        ++form_.validations;
        forms::MsgBox("Not yet", forms::vbCritical);
        cancel = 1;
    };
    host().Schedule(host().NowMs() + 20, [&] {
        forms::OpenMessageBox box;
        if (forms::MessageBoxOpen(&box)) {
            prompt = box.prompt;
            host().PushKey(static_cast<os::HostWindowId>(box.hwnd), forms::vbKeyReturn, '\r');
        }
    });
    ClickCentre(form_.Second);
    EXPECT_EQ(prompt, "Not yet");
    EXPECT_EQ(form_.validations, 1);
    EXPECT_TRUE(form_.Checked.HasFocus());
    EXPECT_TRUE(form_.IsLoaded());
}

TEST_F(ValidateTest, NoValidationWhenTheControlCanNoLongerHoldTheFocusOrTheFormCloses) {
    form_.refuse = 1;
    form_.Checked.SetEnabled(false);  // the focus has to go on
    EXPECT_EQ(form_.validations, 0);
    EXPECT_TRUE(form_.Free.HasFocus());
    form_.Checked.SetEnabled(true);
    form_.Checked.SetFocus();
    EXPECT_TRUE(form_.Checked.HasFocus());
    host().PushClose(id_);
    forms::DoEvents();
    EXPECT_FALSE(form_.IsLoaded());
    EXPECT_EQ(form_.validations, 0);
}

// --- control arrays, tags and frames, which the dialogs use alongside ----------------------------

class ArrayForm : public forms::Form {
public:
    ArrayForm() : forms::Form("ArrayForm") {}
    forms::Frame Box{*this, "Box"};
    forms::ControlArray<forms::Tagged<forms::Label>, 3, 1> Tags{Box, "Tags"};

protected:
    void Design() override {
        SetScaleMode(forms::ScaleMode::Pixels);
        Box.Move(30, 20, 100, 60);  // form pixels; the frame's own controls are in twips
        Box.SetCaption("&Group");
        for (int k = 1; k <= 3; ++k) {
            Tags(k).SetTag("tag " + std::to_string(k));
            Tags(k).Move(150, 300.0f * static_cast<float>(k), 3000, 225);
        }
    }
};

TEST_F(ValidateTest, ControlArraysIndexFromTheirFirstAndTagsResetWithTheForm) {
    ArrayForm form;
    EXPECT_EQ(form.Tags.LBound(), 1);
    EXPECT_EQ(form.Tags.UBound(), 3);
    EXPECT_EQ(form.Tags(3).Name(), "Tags(3)");
    EXPECT_EQ(form.Tags(2).Tag(), "tag 2");  // reading loads the form
    EXPECT_EQ(form.Tags.IndexOf(form.Tags(3)), 3);
    EXPECT_EQ(form.Tags.IndexOf(form_.Go), -1);
    EXPECT_THROW(form.Tags(0), std::out_of_range);
    EXPECT_THROW(form.Tags(4), std::out_of_range);
    form.Tags(1).SetTag("changed");
    form.Unload();
    EXPECT_EQ(form.Tags(1).Tag(), "tag 1");  // loaded afresh from the definition
    form.Unload();
}

TEST_F(ValidateTest, AFramePlacesItsControlsFromItsCornerAndCutsThemAtItsEdges) {
    ArrayForm form;
    form.Show();
    const os::Rect frame = form.Box.RectOnForm();
    EXPECT_EQ(frame.left, 30);
    EXPECT_EQ(form.Tags(1).RectOnForm().left, 30 + 10);  // 150 twips in
    EXPECT_EQ(form.Tags(1).RectOnForm().top, 20 + 20);
    EXPECT_GT(form.Tags(1).RectOnForm().right, frame.right);  // wider than the frame...
    const os::Surface* s = os::WindowSurface(form.hWnd());
    ASSERT_NE(s, nullptr);
    // ...but cut off: right of the frame the form's face shows, not the label.
    form.Tags(1).SetBackColor(0x0000FF);
    form.Refresh();
    EXPECT_EQ(s->pixel(frame.left + 50, form.Tags(1).RectOnForm().top + 3),
              os::PixelFromColorref(0x0000FF));
    EXPECT_EQ(s->pixel(frame.right + 5, form.Tags(1).RectOnForm().top + 3),
              os::PixelFromColorref(forms::ColorButtonFace));
    // The etched border's dark line runs below the caption's half height.
    const os::Rect border = form.Box.BorderRect();
    EXPECT_GT(border.top, 0);
    EXPECT_EQ(s->pixel(frame.left, frame.top + border.top + 20),
              os::PixelFromColorref(forms::ColorButtonShadow));
    EXPECT_EQ(form.Box.AccessKey(), 'G');
    form.Unload();
}

}  // namespace
