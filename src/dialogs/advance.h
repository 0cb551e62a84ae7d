// The advanced dialog: edits the three movable boundaries of EventProbs, the draw values
// (0 to 9) at which Thunder 2, Sequence and Direction begin. Thunder 1 always begins at 0
// and Direction always ends at 9, held by two hidden boxes ("0" and "10") so that every
// boundary is checked against its two neighbours the same way. While the user edits, the
// Meanings frame shows each kind's share in tens of percent. OK writes the boundaries into
// EventProbs in memory only; the settings dialog's OK saves them with everything else.
#pragma once

#include <cstdint>

#include "forms/forms.h"

class Advance : public forms::Form {
public:
    Advance();

    // Controls; the frames come before the controls they hold.
    forms::Frame Frame1{*this, "Frame1"};
    forms::Label Label2{Frame1, "Label2"};
    forms::ControlArray<forms::Label, 3, 1> Label1{Frame1, "Label1"};
    // Element k holds boundary k as text; 0 ("0") and 4 ("10") are hidden and fixed.
    forms::ControlArray<forms::ComboBox, 5> Combo1{Frame1, "Combo1"};
    forms::Frame Frame2{Frame1, "Frame2"};
    // One per event kind; each tag holds the fixed start of its caption.
    forms::ControlArray<forms::Tagged<forms::Label>, 4> MeanLab{Frame2, "MeanLab"};
    forms::CommandButton OK{Frame1, "OK"};
    forms::CommandButton Cancel{Frame1, "Cancel"};

    // Rebuilds the four share captions from the boundary boxes.
    void RefreshMeanings();
    // -1 (after showing the range message) when the entry of Combo1(index) is not a single
    // character lying strictly between its neighbours; else 0, after RefreshMeanings.
    // Defined for index 1 to 3; any other index has no entry to check and gives 0.
    std::int16_t InValidData(std::int16_t index);

    // Event handlers (public so that tests drive them as the framework does).
    void Cancel_Click();
    void Combo1_KeyPress(std::int16_t index, int& KeyAscii);
    void Combo1_Validate(std::int16_t index, int& Cancel);
    void Form_Load() override;
    void OK_Click();

protected:
    void Design() override;

private:
    void DesignBoundaries();
    void DesignMeanings();
    // The number that Combo1(k)'s text begins with (0 when none).
    double BoundaryValue(int k);
};

// The dialog's one instance (created on first use, not loaded until touched).
Advance& AdvanceInstance();
