// The settings dialog on the headless host: what it shows after loading (defaults, odd and
// unshowable stored values), how its bars, boxes and buttons change the controls, the
// settings in memory and the registry, and the settings road that centres and shows it.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <map>
#include <string>
#include <vector>

#include "dialogs/advance.h"
#include "dialogs/ss_config.h"
#include "forms/msgbox.h"
#include "forms/tool_tip.h"
#include "os/registry.h"
#include "settings/settings.h"
#include "support/registry_values.h"
#include "support/saver_fixture.h"

namespace {

using tavro_test::SaverFixture;

const char* const kElevenNames[] = {"PlaneNum", "TimeInt",    "PlaneDist", "EventInt",
                                    "BkWavEna", "ThWavEna",   "EnaTh",     "EventProbs",
                                    "Step",     "BKWav",      "ThunderWav"};

constexpr int vbKeyPageUp = 33;
constexpr int vbKeyPageDown = 34;

class SettingsDialog : public SaverFixture {
protected:
    void TearDown() override {
        if (dialog().IsLoaded()) dialog().Unload();
        os::SetRegistryLockWait(3000);
        SaverFixture::TearDown();
    }

    // Closes the next message box with Enter and tells its text ("" when none opened).
    void AnswerNextMessage(std::string* prompt) {
        prompt->clear();
        host().Schedule(host().NowMs() + 10, [this, prompt] {
            forms::OpenMessageBox box;
            if (!forms::MessageBoxOpen(&box)) return;
            *prompt = box.prompt;
            host().PushKey(static_cast<os::HostWindowId>(box.hwnd), forms::vbKeyReturn, '\r');
        });
    }

    SSconfig& dialog() { return SSconfigInstance(); }
    // The settings from the registry, then the dialog loaded and shown as the road does.
    SSconfig& Open() {
        LoadSettings();
        dialog().Show(false);
        return dialog();
    }
    os::HostWindowId Window() { return static_cast<os::HostWindowId>(dialog().hWnd()); }

    // A stored value as written: its type and bytes; nullopt when it is not there.
    std::optional<std::pair<os::DWORD, std::string>> Raw(const std::string& name) {
        const auto value = tavro_test::ReadValue(kSettingsKey, name);
        if (!value) return std::nullopt;
        return std::make_pair(value->type, value->bytes);
    }
    std::map<std::string, std::string> StoredTexts() {
        std::map<std::string, std::string> texts;
        for (const char* name : kElevenNames) {
            const auto raw = Raw(name);
            if (!raw) continue;
            EXPECT_EQ(raw->first, os::REG_SZ) << name;
            texts[name] = raw->second;
        }
        return texts;
    }

    std::vector<int> Bars() {
        SSconfig& d = dialog();
        return {d.CPlaneNum.Value(), d.CPlaneSpd.Value(), d.CPlaneDistance.Value(),
                d.CEventTime.Value(), d.CStep.Value()};
    }
    std::vector<std::string> Labels() {
        SSconfig& d = dialog();
        return {d.CPN.Caption(), d.CPS.Caption(), d.CPD.Caption(), d.CET.Caption(),
                d.CSTP.Caption()};
    }

    // Real input through the host, in the dialog's client pixels.
    void PushClickOn(forms::Control& c, int dx, int dy) {
        const os::Rect r = c.RectOnForm();
        host().PushClick(Window(), r.left + dx, r.top + dy);
    }
    void ClickOn(forms::Control& c, int dx, int dy) {
        PushClickOn(c, dx, dy);
        forms::DoEvents();
    }
    void ClickCentre(forms::Control& c) {
        const os::Rect r = c.RectOnForm();
        ClickOn(c, (r.right - r.left) / 2, (r.bottom - r.top) / 2);
    }
    void PushArrowClick(forms::VScrollBar& bar, bool up) {
        const auto parts = bar.Layout();
        const os::Rect a = up ? parts.up_arrow : parts.down_arrow;
        PushClickOn(bar, (a.left + a.right) / 2, (a.top + a.bottom) / 2);
    }
    void ClickArrow(forms::VScrollBar& bar, bool up) {
        PushArrowClick(bar, up);
        forms::DoEvents();
    }
    void Key(int vk, std::uint32_t ch = 0, unsigned shift = 0) {
        host().PushKey(Window(), static_cast<unsigned>(vk), ch, shift);
        forms::DoEvents();
    }

};

// --- what the dialog shows after loading -----------------------------------------------------

TEST_F(SettingsDialog, OpensWithTheDefaultsShownAndApplyDisabled) {
    SSconfig& d = Open();
    EXPECT_EQ(Bars(), (std::vector<int>{4, 10, 25, 10, 2}));
    EXPECT_EQ(Labels(), (std::vector<std::string>{" 4", " 10", " 25", " 10", " 2"}));
    EXPECT_EQ(d.CBkWavEna.Value(), 0);
    EXPECT_EQ(d.CThWavEna.Value(), 1);
    EXPECT_EQ(d.CEnaTh.Value(), 1);
    EXPECT_TRUE(d.CThWavEna.Enabled());
    EXPECT_FALSE(d.Apply.Enabled());
    EXPECT_EQ(writes_, 0);  // loading reads, never writes
}

TEST_F(SettingsDialog, WindowCaptionSizeIconAndButtonsAreAsDesigned) {
    SSconfig& d = dialog();
    EXPECT_EQ(d.Caption(), "Tavro Screen Saver");
    EXPECT_EQ(d.BorderStyle(), forms::BorderStyle::FixedSingle);
    EXPECT_FLOAT_EQ(d.ScaleWidth(), 6855);
    EXPECT_FLOAT_EQ(d.ScaleHeight(), 4365);
    EXPECT_FLOAT_EQ(d.Width(), 6855 + 90);  // the outer size, which centring uses
    EXPECT_FLOAT_EQ(d.Height(), 4365 + 375);
    ASSERT_EQ(host().LastIcon(Window()).size(), 2u);
    ASSERT_NE(d.F16Bck.Picture(), nullptr);
    EXPECT_EQ(d.F16Bck.Picture()->width(), 144);
    EXPECT_EQ(d.F16Bck.Picture()->height(), 88);
    EXPECT_TRUE(d.F16Bck.Stretch());

    struct Button {
        forms::CommandButton& b;
        const char* caption;
        const char* tip;
    };
    const Button buttons[] = {
        {d.OK, "OK", "Accept these parameters"},
        {d.Cancel, "Cancel", "Ignore these parameters"},
        {d.Apply, "&Apply", "Apply these parameters"},
        {d.Aboutshow, "About ", "About this ScreenSaver"},
        {d.Default, "&Defaults", "Restore Recommended parameters defaults"},
        {d.AdvOpt, "Ad&vanced ...", "Some Advanced Options"},
    };
    for (const Button& b : buttons) {
        EXPECT_EQ(b.b.Caption(), b.caption);
        EXPECT_EQ(b.b.ToolTipText(), b.tip) << b.caption;
    }
    EXPECT_EQ(d.CEnaTh.ToolTipText(), "Enable/Disable lightnings+Thunders");
    EXPECT_EQ(d.CThWavEna.Caption(), "Enable Thunder Sound");
    EXPECT_EQ(d.F16Bck.ToolTipText(), "Created By Kolmi Ardev");
    EXPECT_TRUE(d.OK.Default());
    EXPECT_TRUE(d.Cancel.Cancel());
}

TEST_F(SettingsDialog, PictureBoxReachesAboveThePanelAndIsCutOffThere) {
    SSconfig& d = Open();
    const os::Rect panel = d.Picture1.RectOnForm();
    const os::Rect image = d.F16Bck.RectOnForm();
    EXPECT_EQ(image.top, panel.top - 16);  // 240 twips
    EXPECT_EQ(image.right, panel.right);
    // Above the panel the dialog's own grey shows, not the picture.
    forms::DoEvents();
    const os::Surface* s = os::WindowSurface(dialog().hWnd());
    ASSERT_NE(s, nullptr);
    for (int x = image.left; x < image.right; x += 7)
        EXPECT_EQ(s->pixel(x, panel.top - 3), os::PixelFromColorref(forms::ColorButtonFace)) << x;
}

TEST_F(SettingsDialog, OddStoredValuesLoadToTheNearestTiesToEvenAndApplyBack) {
    StoreSetting("EventInt", " 10500");
    StoreSetting("PlaneNum", " 2.5");
    SSconfig& d = Open();
    EXPECT_EQ(d.CEventTime.Value(), 10);
    EXPECT_EQ(d.CPlaneNum.Value(), 4);  // 3.5 goes to 4
    d.Apply_Click();
    EXPECT_EQ(Settings.EventInt, 10000);
    EXPECT_EQ(Settings.PlaneNum, 3);
    d.Unload();

    StoreSetting("EventInt", " 11500");
    Open();
    EXPECT_EQ(d.CEventTime.Value(), 12);
    EXPECT_EQ(d.CET.Caption(), " 12");
    d.Apply_Click();
    EXPECT_EQ(Settings.EventInt, 12000);
}

TEST_F(SettingsDialog, StoredValuesNoControlCanShowArePulledIntoRangeWithMatchingLabels) {
    StoreSetting("PlaneNum", " 9");      // bar value 10
    StoreSetting("TimeInt", " 0");       // 11
    StoreSetting("PlaneDist", " 51");
    StoreSetting("EventInt", " 21000");
    StoreSetting("Step", " 0");
    StoreSetting("BkWavEna", " 3");
    StoreSetting("ThWavEna", " 2");
    StoreSetting("EnaTh", "-1");
    SSconfig& d = Open();
    EXPECT_EQ(Bars(), (std::vector<int>{9, 10, 50, 20, 1}));
    EXPECT_EQ(Labels(), (std::vector<std::string>{" 9", " 10", " 50", " 20", " 1"}));
    // Every number but 0 is "on" for the saver: shown ticked, never greyed.
    EXPECT_EQ(d.CBkWavEna.Value(), 1);
    EXPECT_EQ(d.CThWavEna.Value(), 1);
    EXPECT_EQ(d.CEnaTh.Value(), 1);
    EXPECT_TRUE(d.CThWavEna.Enabled());
    d.Apply_Click();
    EXPECT_EQ(Settings.PlaneNum, 8);
    EXPECT_EQ(Settings.TimeInt, 1);
    EXPECT_EQ(Settings.PlaneDist, 50);
    EXPECT_EQ(Settings.EventInt, 20000);
    EXPECT_EQ(Settings.Step, 1);
    EXPECT_EQ(Settings.BkWavEna, 1);
    d.Unload();

    // The other ends, and numbers far beyond 16 bits.
    StoreSetting("PlaneNum", "-7");
    StoreSetting("TimeInt", " 1E+12");
    StoreSetting("PlaneDist", "-1E+30");
    StoreSetting("EventInt", " 0");
    StoreSetting("Step", " 99999");
    StoreSetting("BkWavEna", " 0.4");
    Open();
    EXPECT_EQ(Bars(), (std::vector<int>{0, 1, 0, 1, 15}));
    EXPECT_EQ(Labels(), (std::vector<std::string>{" 0", " 1", " 0", " 1", " 15"}));
    EXPECT_EQ(d.CBkWavEna.Value(), 0);
}

TEST_F(SettingsDialog, LightningsOffOpensWithThunderSoundDisabledShowingItsOwnTick) {
    StoreSetting("EnaTh", " 0");
    SSconfig& d = Open();
    EXPECT_EQ(d.CEnaTh.Value(), 0);
    EXPECT_FALSE(d.CThWavEna.Enabled());
    EXPECT_EQ(d.CThWavEna.Value(), 1);
    d.Unload();

    StoreSetting("ThWavEna", " 0");
    Open();
    EXPECT_FALSE(d.CThWavEna.Enabled());
    EXPECT_EQ(d.CThWavEna.Value(), 0);
}

TEST_F(SettingsDialog, LabelIsWrittenAlsoForABarWhoseValueTheLoadLeftAsItWas) {
    SSconfig& d = Open();
    d.CPN.SetCaption("stale");
    d.CSTP.SetCaption("stale");
    ASSERT_EQ(d.CPlaneNum.Value(), 4);
    d.Default_Click();  // reloads the same values: no bar changes
    EXPECT_EQ(d.CPN.Caption(), " 4");
    EXPECT_EQ(d.CSTP.Caption(), " 2");
}

// --- editing ---------------------------------------------------------------------------------

TEST_F(SettingsDialog, ChangesFromCodeRunTheirHandlersNestedAndOnlyOnARealChange) {
    SSconfig& d = Open();
    d.CPlaneNum.SetValue(4);  // unchanged
    d.CEnaTh.SetValue(1);
    EXPECT_FALSE(d.Apply.Enabled());
    d.CPlaneNum.SetValue(7);
    EXPECT_TRUE(d.Apply.Enabled());  // before SetValue returned
    EXPECT_EQ(d.CPN.Caption(), " 7");
    d.Apply_Click();
    EXPECT_FALSE(d.Apply.Enabled());
    d.CBkWavEna.SetValue(1);
    EXPECT_TRUE(d.Apply.Enabled());
    d.Apply_Click();
    d.CThWavEna.SetValue(0);
    EXPECT_TRUE(d.Apply.Enabled());
    EXPECT_TRUE(d.CThWavEna.Enabled());
}

TEST_F(SettingsDialog, ArrowTrackAndKeysMoveTheBarsAndTheirLabels) {
    SSconfig& d = Open();
    ClickArrow(d.CPlaneNum, true);
    EXPECT_EQ(d.CPlaneNum.Value(), 5);
    EXPECT_EQ(d.CPN.Caption(), " 5");
    EXPECT_TRUE(d.Apply.Enabled());
    ClickArrow(d.CPlaneNum, false);
    ClickArrow(d.CPlaneNum, false);
    EXPECT_EQ(d.CPN.Caption(), " 3");

    // A click in the track above the thumb moves by the page step towards the top.
    const auto parts = d.CPlaneDistance.Layout();
    ASSERT_GT(parts.thumb.top, parts.track.top + 2);
    ClickOn(d.CPlaneDistance, (parts.track.left + parts.track.right) / 2, parts.track.top + 1);
    EXPECT_EQ(d.CPlaneDistance.Value(), 35);
    EXPECT_EQ(d.CPD.Caption(), " 35");

    // With the focus (the arrow click gave it), Up raises by 1 and Page Down lowers by 2.
    ClickArrow(d.CPlaneSpd, true);  // already at the top: stays 10
    EXPECT_EQ(d.CPlaneSpd.Value(), 10);
    EXPECT_TRUE(d.CPlaneSpd.HasFocus());
    Key(vbKeyPageDown);
    EXPECT_EQ(d.CPlaneSpd.Value(), 8);
    Key(forms::vbKeyUp);
    EXPECT_EQ(d.CPS.Caption(), " 9");
    Key(vbKeyPageUp);
    EXPECT_EQ(d.CPS.Caption(), " 10");

    // Nothing reaches Settings until Apply.
    EXPECT_EQ(Settings.PlaneNum, 3);
    EXPECT_EQ(Settings.PlaneDist, 25);
    d.Apply_Click();
    EXPECT_EQ(Settings.PlaneNum, 2);
    EXPECT_EQ(Settings.PlaneDist, 35);
    EXPECT_EQ(Settings.TimeInt, 1);
}

TEST_F(SettingsDialog, ClearingLightningsDisablesThunderSoundKeepingItsTickForApply) {
    SSconfig& d = Open();
    ClickCentre(d.CEnaTh);
    EXPECT_EQ(d.CEnaTh.Value(), 0);
    EXPECT_FALSE(d.CThWavEna.Enabled());
    EXPECT_EQ(d.CThWavEna.Value(), 1);
    EXPECT_TRUE(d.Apply.Enabled());
    ClickCentre(d.CThWavEna);  // disabled: the click changes nothing
    EXPECT_EQ(d.CThWavEna.Value(), 1);
    d.Apply_Click();
    EXPECT_EQ(Settings.EnaTh, 0);
    EXPECT_EQ(Settings.ThWavEna, 1);

    ClickCentre(d.CEnaTh);
    EXPECT_TRUE(d.CThWavEna.Enabled());
    ClickCentre(d.CThWavEna);
    d.Apply_Click();
    EXPECT_EQ(Settings.EnaTh, 1);
    EXPECT_EQ(Settings.ThWavEna, 0);
}

TEST_F(SettingsDialog, ApplyConvertsEveryBarAtItsEnds) {
    SSconfig& d = Open();
    d.CPlaneNum.SetValue(0);
    d.CPlaneSpd.SetValue(10);
    d.CEventTime.SetValue(20);
    d.Apply_Click();
    EXPECT_EQ(Settings.PlaneNum, -1);
    EXPECT_EQ(Settings.TimeInt, 1);
    EXPECT_EQ(Settings.EventInt, 20000);
    d.CPlaneNum.SetValue(9);
    d.CPlaneSpd.SetValue(1);
    d.CEventTime.SetValue(1);
    d.Apply_Click();
    EXPECT_EQ(Settings.PlaneNum, 8);
    EXPECT_EQ(Settings.TimeInt, 10);
    EXPECT_EQ(Settings.EventInt, 1000);
    EXPECT_EQ(writes_, 0);  // Apply never writes
}

TEST_F(SettingsDialog, TabVisitsOnlyEnabledControlsInTabIndexOrder) {
    SSconfig& d = Open();
    std::vector<std::string> names;
    for (forms::Control* c : d.TabOrder()) names.push_back(c->Name());
    EXPECT_EQ(names, (std::vector<std::string>{"OK", "Cancel", "CEventTime", "CPlaneDistance",
                                               "CPlaneSpd", "CPlaneNum", "CStep", "CEnaTh",
                                               "CBkWavEna", "CThWavEna", "Aboutshow",
                                               "Default", "AdvOpt"}));
    // The first focus is OK; Tab from CBkWavEna skips a disabled CThWavEna.
    EXPECT_TRUE(d.OK.HasFocus());
    d.CEnaTh.SetValue(0);
    d.CBkWavEna.SetFocus();
    Key(forms::vbKeyTab);
    EXPECT_TRUE(d.Aboutshow.HasFocus());
    // Apply joins the order once enabled, after Cancel.
    d.Cancel.SetFocus();
    Key(forms::vbKeyTab);
    EXPECT_TRUE(d.Apply.HasFocus());
    Key(forms::vbKeyTab);
    EXPECT_TRUE(d.CEventTime.HasFocus());
}

TEST_F(SettingsDialog, AccessKeysReachDefaultsAndApplyOnlyWhileItIsEnabled) {
    SSconfig& d = Open();
    d.CPlaneNum.SetValue(8);
    d.Apply_Click();
    Key('A', 0, forms::vbAltMask);  // Apply disabled: nothing happens
    d.CStep.SetValue(9);
    Key('D', 0, forms::vbAltMask);  // Defaults
    EXPECT_EQ(Settings.PlaneNum, 3);
    EXPECT_EQ(d.CStep.Value(), 2);
    EXPECT_TRUE(d.Apply.Enabled());
    d.CPlaneNum.SetValue(6);
    Key('A', 0, forms::vbAltMask);
    EXPECT_EQ(Settings.PlaneNum, 5);
    EXPECT_FALSE(d.Apply.Enabled());
    // Alt+V opens the advanced dialog over this one; its Cancel closes it again.
    bool opened = false;
    host().Schedule(host().NowMs() + 50, [&] {
        opened = AdvanceInstance().IsLoaded();
        if (opened) AdvanceInstance().Cancel.SetValue(true);
    });
    Key('V', 0, forms::vbAltMask);
    EXPECT_TRUE(opened);
    EXPECT_FALSE(AdvanceInstance().IsLoaded());
    EXPECT_TRUE(d.IsLoaded());
    EXPECT_EQ(writes_, 0);
}

TEST_F(SettingsDialog, RestingOnAButtonShowsItsToolTip) {
    SSconfig& d = Open();
    const os::Rect r = d.Default.RectOnForm();
    host().PushMotion(Window(), r.left + 5, r.top + 5);
    forms::DoEvents();
    host().Advance(forms::ToolTipDelayMs + 100);
    forms::DoEvents();
    std::string text;
    ASSERT_TRUE(forms::ToolTipShown(&text));
    EXPECT_EQ(text, "Restore Recommended parameters defaults");
    d.Unload();
    EXPECT_FALSE(forms::ToolTipShown());
}

// --- closing -------------------------------------------------------------------------------

TEST_F(SettingsDialog, OkWritesTheExactTextsOfAllElevenSettings) {
    StoreSetting("BKWav", "Jets.wav");
    writes_ = 0;
    SSconfig& d = Open();
    d.CPlaneNum.SetValue(0);
    d.CPlaneSpd.SetValue(7);
    d.CPlaneDistance.SetValue(50);
    d.CEventTime.SetValue(20);
    d.CStep.SetValue(15);
    d.CBkWavEna.SetValue(1);
    d.CEnaTh.SetValue(0);
    Settings.EventProbs[1] = 1;  // as the advanced dialog leaves it
    Settings.EventProbs[2] = 3;
    Settings.EventProbs[3] = 6;
    ClickCentre(d.OK);
    EXPECT_FALSE(d.IsLoaded());
    EXPECT_EQ(writes_, 11);
    const std::map<std::string, std::string> expected{
        {"PlaneNum", "-1"},  {"TimeInt", " 4"},    {"PlaneDist", " 50"},
        {"EventInt", " 20000"}, {"BkWavEna", " 1"}, {"ThWavEna", " 1"},
        {"EnaTh", " 0"},     {"EventProbs", "136"}, {"Step", " 15"},
        {"BKWav", "Jets.wav"}, {"ThunderWav", "Thunder.Wav"}};
    EXPECT_EQ(StoredTexts(), expected);
}

// A save that fails (the hive cannot be written, or another process keeps it locked) is
// told, and the dialog stays open with what was set, so OK can be tried again.
TEST_F(SettingsDialog, OkThatCannotSaveSaysSoAndKeepsTheDialogOpen) {
    StoreSetting("PlaneNum", " 5");
    const auto before = StoredTexts();
    SSconfig& d = Open();
    d.CPlaneNum.SetValue(2);
    std::string told;

    os::SetRegistryHook([](const os::RegistryCall& call) {
        return call.op == os::RegistryOp::Set && call.name == "Step" ? os::ERROR_ACCESS_DENIED
                                                                     : os::ERROR_SUCCESS;
    });
    AnswerNextMessage(&told);
    ClickCentre(d.OK);
    EXPECT_EQ(told, "The settings could not be saved.");
    EXPECT_TRUE(d.IsLoaded());
    EXPECT_EQ(StoredTexts(), before);  // not one of the eleven written
    os::SetRegistryHook({});

    const int other = open((hive_path() + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    ASSERT_GE(other, 0);
    ASSERT_EQ(flock(other, LOCK_EX), 0);  // another process is saving and does not finish
    os::SetRegistryLockWait(100);
    AnswerNextMessage(&told);
    Key(forms::vbKeyReturn);
    EXPECT_EQ(told, "The settings could not be saved.");
    EXPECT_TRUE(d.IsLoaded());
    EXPECT_EQ(StoredTexts(), before);

    close(other);
    AnswerNextMessage(&told);
    ClickCentre(d.OK);
    EXPECT_EQ(told, "");
    EXPECT_FALSE(d.IsLoaded());
    EXPECT_EQ(StoredTexts().at("PlaneNum"), " 1");
}

TEST_F(SettingsDialog, OkWhileApplyIsDisabledStillCopiesTheControlsAndWritesAll) {
    SSconfig& d = Open();
    ASSERT_FALSE(d.Apply.Enabled());
    Settings.PlaneNum = 7;  // memory that the controls do not show
    Settings.Step = 11;
    Key(forms::vbKeyReturn);  // Enter: the default button
    EXPECT_FALSE(d.IsLoaded());
    EXPECT_EQ(Settings.PlaneNum, 3);
    EXPECT_EQ(writes_, 11);
    const auto texts = StoredTexts();
    EXPECT_EQ(texts.size(), 11u);
    EXPECT_EQ(texts.at("PlaneNum"), " 3");
    EXPECT_EQ(texts.at("Step"), " 2");
    EXPECT_EQ(texts.at("EventProbs"), "245");
}

TEST_F(SettingsDialog, CancelEscAndTheCloseBoxWriteNothingAndKeepMemory) {
    StoreSetting("PlaneNum", " 5");
    const int stored_writes = writes_;
    for (int way = 0; way < 3; ++way) {
        SSconfig& d = Open();
        d.CPlaneNum.SetValue(1);
        d.CEnaTh.SetValue(0);
        if (way == 0) ClickCentre(d.Cancel);
        if (way == 1) Key(forms::vbKeyEscape);
        if (way == 2) {
            host().PushClose(Window());
            forms::DoEvents();
        }
        EXPECT_FALSE(d.IsLoaded()) << way;
        EXPECT_EQ(writes_, stored_writes) << way;
        EXPECT_EQ(Settings.PlaneNum, 5) << way;
        EXPECT_EQ(Settings.EnaTh, 1) << way;
    }
    EXPECT_EQ(Raw("PlaneNum")->second, " 5");
}

TEST_F(SettingsDialog, DefaultsResetMemoryButOnlyOkWritesThem) {
    StoreSetting("PlaneNum", " 6");
    StoreSetting("EventProbs", "379");
    StoreSetting("ThunderWav", "Boom.wav");
    writes_ = 0;
    SSconfig& d = Open();
    ClickCentre(d.Default);
    EXPECT_EQ(Bars(), (std::vector<int>{4, 10, 25, 10, 2}));
    EXPECT_EQ(Settings.ThunderWav, "Thunder.Wav");
    EXPECT_EQ(Settings.EventProbs[1], 2);
    EXPECT_TRUE(d.Apply.Enabled());
    ClickCentre(d.Cancel);
    EXPECT_EQ(writes_, 0);
    EXPECT_EQ(Raw("PlaneNum")->second, " 6");

    Open();
    ClickCentre(d.Default);
    ClickCentre(d.OK);
    const std::map<std::string, std::string> defaults{
        {"PlaneNum", " 3"},  {"TimeInt", " 1"},    {"PlaneDist", " 25"},
        {"EventInt", " 10000"}, {"BkWavEna", " 0"}, {"ThWavEna", " 1"},
        {"EnaTh", " 1"},     {"EventProbs", "245"}, {"Step", " 2"},
        {"BKWav", "Planes.Wav"}, {"ThunderWav", "Thunder.Wav"}};
    EXPECT_EQ(StoredTexts(), defaults);
}

// --- the settings road -----------------------------------------------------------------------

TEST_F(SettingsDialog, SettingsRoadCentresTheDialogInTwipsAndEndsWhenItCloses) {
    for (const char* cmd : {"/c", "", "/C:567"}) {
        StoreSetting("Step", " 7");
        float left = -1, top = -1;
        std::vector<int> bars;
        host().Schedule(host().NowMs() + 100, [&] {
            left = dialog().Left();
            top = dialog().Top();
            bars = Bars();
            host().PushKey(Window(), forms::vbKeyEscape);
        });
        RunMain(cmd);
        // 1024 x 768 pixels: (15360 - 6945) / 2 and (11520 - 4740) / 2; the odd difference
        // leaves a half twip.
        EXPECT_FLOAT_EQ(left, 4207.5f) << cmd;
        EXPECT_FLOAT_EQ(top, 3390.0f) << cmd;
        ASSERT_EQ(bars.size(), 5u) << cmd;
        EXPECT_EQ(bars[4], 7) << cmd;  // loaded from the registry before the dialog
        EXPECT_FALSE(dialog().IsLoaded()) << cmd;
        EXPECT_EQ(host().WindowCount(), 0) << cmd;
    }
}

TEST_F(SettingsDialog, SettingsRoadOkSavesWhatTheNextLoadReads) {
    host().Schedule(host().NowMs() + 100, [&] {
        SSconfig& d = dialog();
        PushArrowClick(d.CPlaneNum, true);
        const os::Rect box = d.CBkWavEna.RectOnForm();
        host().PushClick(Window(), box.left + 6, (box.top + box.bottom) / 2);
        host().PushKey(Window(), forms::vbKeyReturn);
    });
    RunMain("/c");
    EXPECT_FALSE(dialog().IsLoaded());
    SetDefaults();
    LoadSettings();
    EXPECT_EQ(Settings.PlaneNum, 4);
    EXPECT_EQ(Settings.BkWavEna, 1);
    EXPECT_EQ(Settings.ThWavEna, 1);
}

}  // namespace
