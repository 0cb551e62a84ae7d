#include "dialogs/ss_config.h"

#include <cstdint>

#include "dialogs/about_ss.h"
#include "dialogs/advance.h"
#include "dialogs/control_values.h"
#include "dialogs/design.h"
#include "runtime/conversions.h"
#include "forms/msgbox.h"
#include "platform/explode_form.h"
#include "settings/settings.h"

using dialogs::Place;

SSconfig& SSconfigInstance() { return forms::Instance<SSconfig>(); }

SSconfig::SSconfig() : forms::Form("SSconfig") {
    OK.OnClick = [this] { OK_Click(); };
    Cancel.OnClick = [this] { Cancel_Click(); };
    Apply.OnClick = [this] { Apply_Click(); };
    Default.OnClick = [this] { Default_Click(); };
    AdvOpt.OnClick = [this] { AdvOpt_Click(); };
    Aboutshow.OnClick = [this] { Aboutshow_Click(); };
    CEventTime.OnChange = [this] { CEventTime_Change(); };
    CPlaneDistance.OnChange = [this] { CPlaneDistance_Change(); };
    CPlaneSpd.OnChange = [this] { CPlaneSpd_Change(); };
    CPlaneNum.OnChange = [this] { CPlaneNum_Change(); };
    CStep.OnChange = [this] { CStep_Change(); };
    CEnaTh.OnClick = [this] { CEnaTh_Click(); };
    CBkWavEna.OnClick = [this] { CBkWavEna_Click(); };
    CThWavEna.OnClick = [this] { CThWavEna_Click(); };
}

// --- the stored definition -------------------------------------------------------------------

void SSconfig::Design() {
    SetBorderStyle(forms::BorderStyle::FixedSingle);
    SetScaleMode(forms::ScaleMode::Twips);
    SetCaption("Tavro Screen Saver");
    SetIcon(forms::LoadIconImages({"icon32", "icon16"}));
    SetScaleWidth(6855);
    SetScaleHeight(4365);

    Place(OK, {3240, 3960, 1125, 330}, "OK", "Accept these parameters", 1);
    OK.SetDefault(true);
    Place(Cancel, {4440, 3960, 1125, 330}, "Cancel", "Ignore these parameters", 2);
    Cancel.SetCancel(true);
    Place(Apply, {5640, 3960, 1125, 330}, "&Apply", "Apply these parameters", 3);
    Apply.SetEnabled(false);

    Picture1.Move(120, 120, 6615, 3735);
    Picture1.SetTabIndex(0);
    DesignPanel();
}

void SSconfig::DesignPanel() {
    // The picture's box reaches 240 twips above the panel; the panel cuts that part off.
    F16Bck.Move(4320, -240, 2295, 2295);
    F16Bck.SetStretch(true);
    F16Bck.LoadPicture("aircraft");
    F16Bck.SetToolTipText("Created By Kolmi Ardev");

    struct Heading {
        forms::Label& label;
        const char* caption;
        float left, width;
    };
    const Heading headings[] = {
        {Label4, "Event Timing", 0, 855},   {Label3, "Plane Distance", 960, 855},
        {Label2, "Plane Speed", 1920, 855}, {Label1, "Plane Number", 2880, 855},
        {Label5, "Plane Step", 3960, 615},
    };
    for (const Heading& h : headings) {
        h.label.Move(h.left, 240, h.width, 495);
        h.label.SetCaption(h.caption);
        h.label.SetAlignment(forms::Alignment::Center);
    }
    // "Plane Step" reaches into the picture's box: a transparent heading keeps the picture
    // whole around its text.
    Label5.SetBackStyle(forms::BackStyle::Transparent);

    forms::Label* value_labels[] = {&CET, &CPD, &CPS, &CPN, &CSTP};
    const float value_lefts[] = {240, 1200, 2160, 3120, 4080};
    for (int i = 0; i < 5; ++i) {
        value_labels[i]->Move(value_lefts[i], 2880, 375, 255);
        value_labels[i]->SetCaption("0");
        value_labels[i]->SetAlignment(forms::Alignment::Center);
    }

    DesignBars();
    DesignCheckBoxes();

    Place(Aboutshow, {5040, 2280, 1155, 330}, "About ", "About this ScreenSaver", 12);
    Place(Default, {5040, 3240, 1155, 330}, "&Defaults", "Restore Recommended parameters defaults",
          13);
    Place(AdvOpt, {5040, 2760, 1155, 330}, "Ad&vanced ...", "Some Advanced Options", 24);
}

void SSconfig::DesignBars() {
    // Each bar has its largest value at the top (Min) and its smallest at the bottom (Max).
    struct Bar {
        forms::VScrollBar& bar;
        float left;
        int top_value, bottom_value, page, tab_index;
    };
    const Bar bars[] = {
        {CEventTime, 240, 20, 1, 5, 4},    {CPlaneDistance, 1200, 50, 0, 10, 5},
        {CPlaneSpd, 2160, 10, 1, 2, 6},    {CPlaneNum, 3120, 9, 0, 2, 7},
        {CStep, 4080, 15, 1, 2, 8},
    };
    for (const Bar& b : bars) {
        b.bar.Move(b.left, 720, 375, 2055);
        b.bar.SetMax(b.bottom_value);
        b.bar.SetMin(b.top_value);
        b.bar.SetSmallChange(1);
        b.bar.SetLargeChange(b.page);
        b.bar.SetTabIndex(b.tab_index);
    }
}

void SSconfig::DesignCheckBoxes() {
    Place(CEnaTh, {240, 3120, 1695, 255}, "Enable Lightnings", "Enable/Disable lightnings+Thunders",
          9);
    Place(CBkWavEna, {2160, 3120, 2295, 255}, "Enable BackGround Sound", "The Sound of The Planes",
          10);
    Place(CThWavEna, {2160, 3360, 2055, 255}, "Enable Thunder Sound",
          "This sound goes with the Lightning", 11);
}

// --- settings into the controls and back ----------------------------------------------------

void SSconfig::Form_Load() {
    using dialogs::BarValue;
    using dialogs::CheckValue;
    // Setting a value runs the control's handler when the value changes: labels follow,
    // Apply is enabled and CThWavEna's enabled state follows CEnaTh.
    CPlaneNum.SetValue(BarValue(Settings.PlaneNum + 1.0f, CPlaneNum.Min(), CPlaneNum.Max()));
    const float top = static_cast<float>(CPlaneSpd.Min());
    CPlaneSpd.SetValue(
        BarValue((top - Settings.TimeInt) + 1.0f, CPlaneSpd.Min(), CPlaneSpd.Max()));
    CPlaneDistance.SetValue(
        BarValue(Settings.PlaneDist, CPlaneDistance.Min(), CPlaneDistance.Max()));
    CEventTime.SetValue(
        BarValue(Settings.EventInt / 1000.0, CEventTime.Min(), CEventTime.Max()));
    CStep.SetValue(BarValue(Settings.Step, CStep.Min(), CStep.Max()));
    CBkWavEna.SetValue(CheckValue(Settings.BkWavEna));
    CThWavEna.SetValue(CheckValue(Settings.ThWavEna));
    CEnaTh.SetValue(CheckValue(Settings.EnaTh));
    // A bar whose value did not change ran no handler: its label is written all the same,
    // and so is CThWavEna's state when CEnaTh kept its value.
    ShowBarValues();
    CThWavEna.SetEnabled(CEnaTh.Value() != 0);
    Apply.SetEnabled(false);
}

void SSconfig::Apply_Click() {
    // The controls' values combine in 16-bit arithmetic; within the bars' ranges every
    // result fits (the largest is 20 x 1000).
    const auto i16 = [](int v) { return static_cast<std::int16_t>(v); };
    Settings.PlaneNum = i16(CPlaneNum.Value() - 1);
    Settings.TimeInt = i16(CPlaneSpd.Min() - CPlaneSpd.Value() + 1);
    Settings.PlaneDist = i16(CPlaneDistance.Value());
    Settings.EventInt = i16(CEventTime.Value() * 1000);
    Settings.BkWavEna = i16(CBkWavEna.Value());
    Settings.ThWavEna = i16(CThWavEna.Value());  // also while the box is disabled
    Settings.EnaTh = i16(CEnaTh.Value());
    Settings.Step = i16(CStep.Value());
    Apply.SetEnabled(false);
}

void SSconfig::OK_Click() {
    Apply_Click();
    // A save that fails is told and the dialog stays open, so nothing set in it is lost:
    // OK can be tried again, or Cancel leaves.
    if (!SaveSettings()) {
        forms::MsgBox("The settings could not be saved.", forms::vbExclamation);
        return;
    }
    Cancel_Click();
}

void SSconfig::Cancel_Click() { Unload(); }

void SSconfig::AdvOpt_Click() {
    // Reading the width loads the dialog (its Form_Load fills it) before it is placed.
    Advance& advanced = AdvanceInstance();
    const float width = advanced.Width();
    advanced.SetLeft((forms::Screen.Width() - width) / 2);
    advanced.SetTop((forms::Screen.Height() - advanced.Height()) / 2);
    advanced.Show(true);
}

void SSconfig::Aboutshow_Click() {
    // Reading the box's size loads it; its centre then lies on the screen's centre.
    AboutSS& about = AboutSSInstance();
    about.SetLeft((forms::Screen.Width() - about.Width()) / 2);
    about.SetTop((forms::Screen.Height() - about.Height()) / 2);
    ExplodeForm(about, -1);
}

void SSconfig::Default_Click() {
    SetDefaults();
    Form_Load();
    Apply.SetEnabled(true);
}

// --- change handlers ---------------------------------------------------------------------------

void SSconfig::BarChanged(forms::VScrollBar& bar, forms::Label& label) {
    Apply.SetEnabled(true);
    label.SetCaption(runtime::NumberToText(bar.Value()));
}

void SSconfig::ShowBarValues() {
    CET.SetCaption(runtime::NumberToText(CEventTime.Value()));
    CPD.SetCaption(runtime::NumberToText(CPlaneDistance.Value()));
    CPS.SetCaption(runtime::NumberToText(CPlaneSpd.Value()));
    CPN.SetCaption(runtime::NumberToText(CPlaneNum.Value()));
    CSTP.SetCaption(runtime::NumberToText(CStep.Value()));
}

void SSconfig::CEventTime_Change() { BarChanged(CEventTime, CET); }
void SSconfig::CPlaneDistance_Change() { BarChanged(CPlaneDistance, CPD); }
void SSconfig::CPlaneNum_Change() { BarChanged(CPlaneNum, CPN); }
void SSconfig::CPlaneSpd_Change() { BarChanged(CPlaneSpd, CPS); }
void SSconfig::CStep_Change() { BarChanged(CStep, CSTP); }

void SSconfig::CBkWavEna_Click() { Apply.SetEnabled(true); }
void SSconfig::CThWavEna_Click() { Apply.SetEnabled(true); }

void SSconfig::CEnaTh_Click() {
    Apply.SetEnabled(true);
    // Disabled, the box keeps its tick (Apply still stores it).
    CThWavEna.SetEnabled(CEnaTh.Value() != 0);
}
