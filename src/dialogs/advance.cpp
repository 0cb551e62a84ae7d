#include "dialogs/advance.h"

#include <string>

#include "dialogs/design.h"
#include "dialogs/ss_config.h"
#include "runtime/conversions.h"
#include "settings/settings.h"

namespace {

constexpr int kFirstBoundary = 1;
constexpr int kLastBoundary = 3;

bool IsBoundary(int index) { return index >= kFirstBoundary && index <= kLastBoundary; }

}  // namespace

using dialogs::Place;

Advance& AdvanceInstance() { return forms::Instance<Advance>(); }

Advance::Advance() : forms::Form("Advance") {
    OK.OnClick = [this] { OK_Click(); };
    Cancel.OnClick = [this] { Cancel_Click(); };
    // The array's elements share their handlers, told apart by the index.
    for (int k = 0; k < Combo1.Count(); ++k) {
        const auto index = static_cast<std::int16_t>(k);
        Combo1(k).OnKeyPress = [this, index](int& key) { Combo1_KeyPress(index, key); };
        Combo1(k).OnValidate = [this, index](int& cancel) { Combo1_Validate(index, cancel); };
    }
}

// --- the stored definition -------------------------------------------------------------------

void Advance::Design() {
    SetBorderStyle(forms::BorderStyle::FixedSingle);
    SetScaleMode(forms::ScaleMode::Twips);
    SetCaption("Advance Options");
    SetScaleWidth(5175);
    SetScaleHeight(3030);

    Frame1.Move(0, 0, 5175, 3015);
    Frame1.SetTabIndex(3);

    Label2.Move(120, 240, 4935, 855);
    Label2.SetCaption(
        "The events are randomly decided from values of 0 to 9, without skips. Thunder 1 is "
        "starting from 0. Direction changes is ending with 9. Please select other values:");
    Label2.SetTabIndex(9);

    DesignBoundaries();
    DesignMeanings();

    Place(OK, {2760, 2520, 1095, 375}, "OK", "Save Current Setting", 4);
    Place(Cancel, {3960, 2520, 1095, 375}, "Cancel", "Exit without change", 5);
}

void Advance::DesignBoundaries() {
    struct Row {
        const char* label;
        float label_width;
        float top;
        const char* tip;
    };
    const Row rows[] = {
        {"Thunder 2 starts from", 1575, 1080, "The end of thunder 1 plus 1"},
        {"Sequence starts from ", 1575, 1440, "The end of thunder 2 plus 1"},
        {"Direction starts from ", 1695, 1800, "The end of sequence plus 1"},
    };
    for (int k = kFirstBoundary; k <= kLastBoundary; ++k) {
        const Row& row = rows[k - kFirstBoundary];
        Label1(k).Move(360, row.top, row.label_width, 255);
        Label1(k).SetCaption(row.label);
        Label1(k).SetTabIndex(5 + k);
        Combo1(k).Move(2040, row.top, 390, 315);
        Combo1(k).SetToolTipText(row.tip);
        Combo1(k).SetTabIndex(k - 1);
        Combo1(k).SetText("0");
    }
    Combo1(0).Move(480, 2160, 390, 315);
    Combo1(0).SetText("0");
    Combo1(0).SetTabIndex(10);
    Combo1(4).Move(1200, 2160, 390, 315);
    Combo1(4).SetText("10");
    Combo1(4).SetTabIndex(11);
    for (forms::ComboBox& box : Combo1)
        for (int digit = 0; digit <= 9; ++digit) box.AddItem(std::to_string(digit));
    Combo1(0).SetVisible(false);
    Combo1(4).SetVisible(false);
}

void Advance::DesignMeanings() {
    Place(Frame2, {3240, 840, 1815, 1455}, "Meanings:", "Probability to each event.", 12);
    const char* const starts[] = {"Thunder 1 - ", "Thunder 2 - ", "Sequence - ", "Direction - "};
    for (int i = 0; i < MeanLab.Count(); ++i) {
        MeanLab(i).Move(240, 360 + 240 * static_cast<float>(i), 1400, 255);
        MeanLab(i).SetCaption(starts[i]);
        MeanLab(i).SetTag(starts[i]);
        MeanLab(i).SetTabIndex(13 + i);
    }
}

// --- loading and the captions ------------------------------------------------------------------

void Advance::Form_Load() {
    SetIcon(SSconfigInstance().Icon());
    for (int k = kFirstBoundary; k <= kLastBoundary; ++k)
        Combo1(k).SetText(runtime::NumberToTrimmedText(Settings.EventProbs[k]));
    RefreshMeanings();
}

double Advance::BoundaryValue(int k) { return runtime::TextToNumber(Combo1(k).Text()); }

// Each kind owns the draw values from its boundary up to the next one, each worth 10 %:
// the width is written as a number with "0%" appended (width 2 gives " 20%").
void Advance::RefreshMeanings() {
    for (int i = 0; i < MeanLab.Count(); ++i) {
        const double width = BoundaryValue(i + 1) - BoundaryValue(i);
        MeanLab(i).SetCaption(MeanLab(i).Tag() + runtime::NumberToText(width) + "0%");
    }
}

// --- checking a boundary -----------------------------------------------------------------------

std::int16_t Advance::InValidData(std::int16_t index) {
    if (!IsBoundary(index)) return 0;
    const double prev = BoundaryValue(index - 1);
    const double next = BoundaryValue(index + 1);
    const double cur = BoundaryValue(index);
    const std::size_t length = Combo1(index).Text().size();
    if (length != 1 || cur <= prev || cur >= next) {
        // The bounds come from the neighbours, never from the entry.
        forms::MsgBox("Please insert number from" + runtime::NumberToText(prev + 1) + " to" +
                          runtime::NumberToText(next - 1) + ".",
                      forms::vbCritical);
        return -1;
    }
    RefreshMeanings();
    return 0;
}

// Enter checks the entry and, when it is valid, moves on to the next boundary (after the
// last one, to OK); the move checks it once more as the box is left. Esc puts back the
// boundary held in memory. The key itself goes on to the box unchanged.
void Advance::Combo1_KeyPress(std::int16_t index, int& KeyAscii) {
    if (KeyAscii == forms::vbKeyReturn) {
        if (InValidData(index) == 0) {
            if (index >= kLastBoundary) OK.SetFocus();
            else Combo1(index + 1).SetFocus();
        }
    }
    if (KeyAscii == forms::vbKeyEscape && IsBoundary(index))
        Combo1(index).SetText(runtime::NumberToTrimmedText(Settings.EventProbs[index]));
}

void Advance::Combo1_Validate(std::int16_t index, int& Cancel) { Cancel = InValidData(index); }

// --- closing -------------------------------------------------------------------------------------

void Advance::OK_Click() {
    for (int k = kFirstBoundary; k <= kLastBoundary; ++k)
        Settings.EventProbs[k] = static_cast<float>(BoundaryValue(k));
    Cancel_Click();
}

void Advance::Cancel_Click() { Unload(); }
