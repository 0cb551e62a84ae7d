// The advanced dialog on the headless host: what it loads from EventProbs, the share
// captions, typing and picking boundaries, the range check with its message and the kept
// focus, Esc, and what OK, Cancel and the close box leave in memory and in the registry;
// then the road through the settings dialog's Advanced button.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialogs/advance.h"
#include "dialogs/ss_config.h"
#include "forms/forms.h"
#include "os/registry.h"
#include "os/window.h"
#include "settings/settings.h"
#include "support/saver_fixture.h"

namespace {

using tavro_test::SaverFixture;

class AdvancedDialog : public SaverFixture {
protected:
    void TearDown() override {
        if (dialog().IsLoaded()) dialog().Unload();
        if (SSconfigInstance().IsLoaded()) SSconfigInstance().Unload();
        SaverFixture::TearDown();
    }

    Advance& dialog() { return AdvanceInstance(); }
    Advance& Open(float p1, float p2, float p3) {
        Settings.EventProbs[1] = p1;
        Settings.EventProbs[2] = p2;
        Settings.EventProbs[3] = p3;
        dialog().Show(false);
        return dialog();
    }
    os::HostWindowId Window() { return static_cast<os::HostWindowId>(dialog().hWnd()); }

    std::vector<std::string> Texts() {
        std::vector<std::string> t;
        for (int k = 0; k <= 4; ++k) t.push_back(dialog().Combo1(k).Text());
        return t;
    }
    std::vector<std::string> Captions() {
        std::vector<std::string> c;
        for (int i = 0; i <= 3; ++i) c.push_back(dialog().MeanLab(i).Caption());
        return c;
    }

    // Expects the next message box: records it and closes it with Enter.
    void WatchForMessage() {
        message_.reset();
        host().Schedule(host().NowMs() + 10, [this] {
            forms::OpenMessageBox box;
            if (!forms::MessageBoxOpen(&box)) return;
            message_ = box;
            host().PushKey(static_cast<os::HostWindowId>(box.hwnd), forms::vbKeyReturn, '\r');
        });
    }
    void Type(const std::string& text) {
        for (char c : text) host().PushKey(Window(), static_cast<unsigned char>(c), static_cast<unsigned char>(c));
        forms::DoEvents();
    }
    void Key(int vk, std::uint32_t ch = 0, unsigned shift = 0) {
        host().PushKey(Window(), static_cast<unsigned>(vk), ch, shift);
        forms::DoEvents();
    }
    void Enter() { Key(forms::vbKeyReturn, '\r'); }
    void ClickCentre(forms::Control& c) {
        const os::Rect r = c.RectOnForm();
        host().PushClick(Window(), (r.left + r.right) / 2, (r.top + r.bottom) / 2);
        forms::DoEvents();
    }
    // Types `text` over the entry of the focused box (focus selects it whole).
    void Replace(int k, const std::string& text) {
        ASSERT_TRUE(dialog().Combo1(k).HasFocus());
        dialog().Combo1(k).SetSelStart(0);
        dialog().Combo1(k).SetSelLength(100);
        Key(forms::vbKeyDelete);
        Type(text);
    }

    std::optional<forms::OpenMessageBox> message_;
};

const std::vector<std::string> kDefaultCaptions = {"Thunder 1 -  20%", "Thunder 2 -  20%",
                                                   "Sequence -  10%", "Direction -  50%"};

// --- loading -------------------------------------------------------------------------------------

TEST_F(AdvancedDialog, LoadsTheBoundariesAndSharesFromMemory) {
    Advance& d = Open(2, 4, 5);
    EXPECT_EQ(Texts(), (std::vector<std::string>{"0", "2", "4", "5", "10"}));
    EXPECT_EQ(Captions(), kDefaultCaptions);
    EXPECT_FALSE(d.Combo1(0).Visible());
    EXPECT_FALSE(d.Combo1(4).Visible());
    EXPECT_TRUE(d.Combo1(1).HasFocus());
    const char* const tags[] = {"Thunder 1 - ", "Thunder 2 - ", "Sequence - ", "Direction - "};
    for (int i = 0; i <= 3; ++i) EXPECT_EQ(d.MeanLab(i).Tag(), tags[i]);
    for (int k = 0; k <= 4; ++k) {
        ASSERT_EQ(d.Combo1(k).ListCount(), 10);
        for (int item = 0; item <= 9; ++item) EXPECT_EQ(d.Combo1(k).List(item), std::to_string(item));
    }
    EXPECT_EQ(writes_, 0);
}

TEST_F(AdvancedDialog, WindowControlsAndFocusOrderAreAsDesigned) {
    Advance& d = Open(2, 4, 5);
    EXPECT_EQ(d.Caption(), "Advance Options");
    EXPECT_EQ(d.BorderStyle(), forms::BorderStyle::FixedSingle);
    EXPECT_FLOAT_EQ(d.ScaleWidth(), 5175);
    EXPECT_FLOAT_EQ(d.ScaleHeight(), 3030);
    EXPECT_FALSE(d.OK.Default());
    EXPECT_FALSE(d.Cancel.Cancel());
    EXPECT_EQ(d.Label1(2).Caption(), "Sequence starts from ");
    EXPECT_EQ(d.Frame2.Caption(), "Meanings:");
    EXPECT_EQ(d.Combo1(3).ToolTipText(), "The end of sequence plus 1");
    // The icon is the settings dialog's.
    EXPECT_EQ(host().LastIcon(Window()).size(), SSconfigInstance().Icon().size());
    EXPECT_FALSE(SSconfigInstance().Icon().empty());
    const std::vector<forms::Control*> order = d.TabOrder();
    const std::vector<forms::Control*> expected = {&d.Combo1(1), &d.Combo1(2), &d.Combo1(3),
                                                   &d.OK, &d.Cancel};
    EXPECT_EQ(order, expected);
}

TEST_F(AdvancedDialog, OutOfOrderBoundariesFromTheRegistryShowEmptyShares) {
    Open(0, 0, 0);
    EXPECT_EQ(Captions(), (std::vector<std::string>{"Thunder 1 -  00%", "Thunder 2 -  00%",
                                                    "Sequence -  00%", "Direction -  100%"}));
    // No value lies between 0 and 0: leaving Combo1(1) is refused whatever it holds.
    WatchForMessage();
    Key(forms::vbKeyTab);
    ASSERT_TRUE(message_);
    EXPECT_EQ(message_->prompt, "Please insert number from 1 to-1.");
    EXPECT_TRUE(dialog().Combo1(1).HasFocus());
    Open(6, 3, 8);  // already open: the boundaries in the boxes stay
    dialog().Unload();
    Open(6, 3, 8);
    EXPECT_EQ(Captions(), (std::vector<std::string>{"Thunder 1 -  60%", "Thunder 2 - -30%",
                                                    "Sequence -  50%", "Direction -  20%"}));
}

// --- the range check ----------------------------------------------------------------------------

TEST_F(AdvancedDialog, AnEntryOutsideItsNeighboursIsRefusedWithTheRangeMessage) {
    Open(2, 4, 5);
    Key(forms::vbKeyTab);
    ASSERT_TRUE(dialog().Combo1(2).HasFocus());
    Type("7");  // the focus selected "4": typing replaces it
    EXPECT_EQ(dialog().Combo1(2).Text(), "7");
    WatchForMessage();
    Enter();
    ASSERT_TRUE(message_);
    EXPECT_EQ(message_->prompt, "Please insert number from 3 to 4.");
    EXPECT_EQ(message_->style, forms::vbCritical);
    EXPECT_EQ(message_->caption, forms::App.Title());  // no title of its own
    EXPECT_TRUE(dialog().Combo1(2).HasFocus());
    EXPECT_EQ(dialog().Combo1(2).Text(), "7");  // the entry stays as typed
    EXPECT_EQ(Captions(), kDefaultCaptions);
    EXPECT_FLOAT_EQ(Settings.EventProbs[2], 4);
}

TEST_F(AdvancedDialog, EqualToTheNextIsRefusedAndAValidEntryMovesOnAndRefreshes) {
    Open(2, 4, 5);
    Replace(1, "4");
    WatchForMessage();
    Enter();
    ASSERT_TRUE(message_);
    EXPECT_EQ(message_->prompt, "Please insert number from 1 to 3.");
    EXPECT_TRUE(dialog().Combo1(1).HasFocus());
    Replace(1, "3");
    WatchForMessage();
    Enter();
    EXPECT_FALSE(message_);
    EXPECT_TRUE(dialog().Combo1(2).HasFocus());
    EXPECT_EQ(Captions()[0], "Thunder 1 -  30%");
    EXPECT_EQ(Captions()[1], "Thunder 2 -  10%");
}

TEST_F(AdvancedDialog, LengthDecidesBeforeTheValue) {
    Open(2, 4, 5);
    struct Case {
        int box;
        std::string entry, message;
    };
    const Case cases[] = {
        {1, " 3", "Please insert number from 1 to 3."},  // a blank and a digit in range
        {1, "", "Please insert number from 1 to 3."},
        {1, "x", "Please insert number from 1 to 3."},  // counts as 0
        {1, "12", "Please insert number from 1 to 3."},
    };
    for (const Case& c : cases) {
        dialog().Combo1(c.box).SetText(c.entry);
        WatchForMessage();
        std::int16_t index = static_cast<std::int16_t>(c.box);
        EXPECT_EQ(dialog().InValidData(index), -1) << "'" << c.entry << "'";
        ASSERT_TRUE(message_) << "'" << c.entry << "'";
        EXPECT_EQ(message_->prompt, c.message);
        EXPECT_EQ(index, c.box);
    }
    // "10" in the last box: above 9.
    dialog().Combo1(3).SetText("10");
    WatchForMessage();
    EXPECT_EQ(dialog().InValidData(3), -1);
    ASSERT_TRUE(message_);
    EXPECT_EQ(message_->prompt, "Please insert number from 5 to 9.");
    EXPECT_EQ(Captions(), kDefaultCaptions);
}

TEST_F(AdvancedDialog, AOneValueRangeAndEnterOnTheLastBoxMovingToOK) {
    Open(2, 8, 9);
    Key(forms::vbKeyTab);
    Key(forms::vbKeyTab);
    ASSERT_TRUE(dialog().Combo1(3).HasFocus());
    Type("8");
    WatchForMessage();
    Enter();
    ASSERT_TRUE(message_);
    EXPECT_EQ(message_->prompt, "Please insert number from 9 to 9.");
    Replace(3, "9");
    WatchForMessage();
    Enter();
    EXPECT_FALSE(message_);
    EXPECT_TRUE(dialog().OK.HasFocus());
    EXPECT_EQ(Captions()[3], "Direction -  10%");
}

TEST_F(AdvancedDialog, IndexesOutsideTheBoundariesAreNeverChecked) {
    Open(2, 4, 5);
    WatchForMessage();
    EXPECT_EQ(dialog().InValidData(0), 0);
    EXPECT_EQ(dialog().InValidData(4), 0);
    EXPECT_EQ(dialog().InValidData(-3), 0);
    EXPECT_FALSE(message_);
    int esc = forms::vbKeyEscape;
    dialog().Combo1_KeyPress(4, esc);
    EXPECT_EQ(dialog().Combo1(4).Text(), "10");
}

// --- Esc, picking from the list ------------------------------------------------------------------

TEST_F(AdvancedDialog, EscPutsBackTheValueInMemoryNotTheLastAcceptedEntry) {
    Open(2, 4, 5);
    Replace(1, "3");
    Enter();  // accepted; the focus moves on to Combo1(2)
    ASSERT_TRUE(dialog().Combo1(2).HasFocus());
    Key(forms::vbKeyTab, 0, forms::vbShiftMask);
    ASSERT_TRUE(dialog().Combo1(1).HasFocus());
    Type("1");
    Key(forms::vbKeyEscape, 27);
    EXPECT_EQ(dialog().Combo1(1).Text(), "2");  // EventProbs(1), not the accepted "3"
    EXPECT_EQ(Captions()[0], "Thunder 1 -  30%");  // no refresh
    EXPECT_TRUE(dialog().IsLoaded());
}

TEST_F(AdvancedDialog, PickingFromTheListChangesTheTextAndTheSharesFollowOnLeaving) {
    Advance& d = Open(2, 4, 5);
    const os::Rect r = d.Combo1(1).RectOnForm();
    const os::Rect b = d.Combo1(1).Layout().button;
    host().PushClick(Window(), r.left + (b.left + b.right) / 2, r.top + (b.top + b.bottom) / 2);
    forms::DoEvents();
    ASSERT_TRUE(d.Combo1(1).DroppedDown());
    // Pick "1", scrolling it into view first when the list starts lower.
    d.Combo1(1).SetListIndex(1);
    const auto p = d.Combo1(1).ListLayout();
    ASSERT_LE(p.top_index, 1);
    const int row = 1 - p.top_index;
    host().PushClick(Window(), p.on_form.left + p.items.left + 3,
                     p.on_form.top + p.items.top + row * p.item_height + p.item_height / 2);
    d.Combo1(1).SetText("2");  // undo the code's choice; the click picks again
    forms::DoEvents();
    EXPECT_FALSE(d.Combo1(1).DroppedDown());
    EXPECT_EQ(d.Combo1(1).Text(), "1");
    EXPECT_EQ(Captions(), kDefaultCaptions);  // picking does not refresh
    Key(forms::vbKeyTab);
    EXPECT_TRUE(d.Combo1(2).HasFocus());
    EXPECT_EQ(Captions()[0], "Thunder 1 -  10%");
    EXPECT_EQ(Captions()[1], "Thunder 2 -  30%");
}

// --- OK, Cancel, the close box --------------------------------------------------------------------

TEST_F(AdvancedDialog, OKWritesTheBoundariesInMemoryOnly) {
    Open(2, 4, 5);
    Replace(1, "3");
    Enter();
    Enter();  // "4" in Combo1(2) is valid; on to Combo1(3)
    Replace(3, "5");
    ClickCentre(dialog().OK);
    EXPECT_FALSE(dialog().IsLoaded());
    EXPECT_FLOAT_EQ(Settings.EventProbs[0], 0);
    EXPECT_FLOAT_EQ(Settings.EventProbs[1], 3);
    EXPECT_FLOAT_EQ(Settings.EventProbs[2], 4);
    EXPECT_FLOAT_EQ(Settings.EventProbs[3], 5);
    EXPECT_EQ(writes_, 0);
    // The next opening loads afresh from memory.
    Open(Settings.EventProbs[1], Settings.EventProbs[2], Settings.EventProbs[3]);
    EXPECT_EQ(Texts()[1], "3");
}

TEST_F(AdvancedDialog, CancelAndTheCloseBoxWriteNothing) {
    Open(2, 4, 5);
    Replace(1, "3");
    Key(forms::vbKeyTab);
    ClickCentre(dialog().Cancel);
    EXPECT_FALSE(dialog().IsLoaded());
    EXPECT_FLOAT_EQ(Settings.EventProbs[1], 2);
    Open(2, 4, 5);
    Replace(1, "1");
    Key(forms::vbKeyTab);
    host().PushClose(Window());
    forms::DoEvents();
    EXPECT_FALSE(dialog().IsLoaded());
    EXPECT_FLOAT_EQ(Settings.EventProbs[1], 2);
    EXPECT_EQ(writes_, 0);
}

TEST_F(AdvancedDialog, AClickOnCancelOverAnInvalidEntryIsDroppedButTheCloseBoxCloses) {
    Open(2, 4, 5);
    Replace(1, "9");
    WatchForMessage();
    ClickCentre(dialog().Cancel);
    ASSERT_TRUE(message_);
    EXPECT_EQ(message_->prompt, "Please insert number from 1 to 3.");
    EXPECT_TRUE(dialog().IsLoaded());
    EXPECT_TRUE(dialog().Combo1(1).HasFocus());
    WatchForMessage();
    ClickCentre(dialog().OK);
    EXPECT_TRUE(message_);
    EXPECT_TRUE(dialog().IsLoaded());
    EXPECT_FLOAT_EQ(Settings.EventProbs[1], 2);
    host().PushClose(Window());
    forms::DoEvents();
    EXPECT_FALSE(dialog().IsLoaded());
    EXPECT_FLOAT_EQ(Settings.EventProbs[1], 2);
}

// --- the road through the settings dialog -----------------------------------------------------

TEST_F(AdvancedDialog, AdvancedButtonOpensItCentredAndModalAndItsOKLeavesApplyAlone) {
    LoadSettings();
    SSconfig& settings = SSconfigInstance();
    settings.Show(false);
    ASSERT_FALSE(settings.Apply.Enabled());
    bool loaded_inside = false, visible_inside = false;
    float left = 0, top = 0, width = 0, height = 0;
    host().Schedule(host().NowMs() + 10, [&] {
        Advance& d = dialog();
        loaded_inside = d.IsLoaded();
        visible_inside = d.IsLoaded() && d.Visible();
        left = d.Left();
        top = d.Top();
        width = d.Width();
        height = d.Height();
        // The settings dialog takes no input meanwhile: its Cancel stays unclicked.
        const os::Rect c = settings.Cancel.RectOnForm();
        host().PushClick(static_cast<os::HostWindowId>(settings.hWnd()), c.left + 5, c.top + 5);
        // In the dialog: Combo1(3) becomes 6, then OK.
        d.Combo1(3).SetFocus();
        d.Combo1(3).SetText("6");
        const os::Rect ok = d.OK.RectOnForm();
        host().PushClick(Window(), ok.left + 5, ok.top + 5);
    });
    settings.AdvOpt_Click();
    EXPECT_TRUE(loaded_inside);
    EXPECT_TRUE(visible_inside);
    EXPECT_FLOAT_EQ(left, (forms::Screen.Width() - width) / 2);
    EXPECT_FLOAT_EQ(top, (forms::Screen.Height() - height) / 2);
    EXPECT_FALSE(dialog().IsLoaded());
    EXPECT_TRUE(settings.IsLoaded());
    EXPECT_FLOAT_EQ(Settings.EventProbs[3], 6);
    EXPECT_FALSE(settings.Apply.Enabled());
    EXPECT_EQ(writes_, 0);
    // The settings dialog's OK writes the new boundaries with the rest.
    settings.OK_Click();
    EXPECT_EQ(writes_, 11);
    LoadSettings();
    EXPECT_FLOAT_EQ(Settings.EventProbs[3], 6);
    EXPECT_EQ(EventProbsText, "246");
}

}  // namespace
