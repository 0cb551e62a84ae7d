// A check box: a sunken white square with a black tick, its caption to the right (access
// key "&x"). Value 0 is clear, 1 ticked, 2 greyed (ticked on a dithered grey square: a
// value that is neither, e.g. read back from storage). A click on the square or on its
// caption, Space while it has the focus, or its access key toggles it between 0 and 1 (a
// greyed box becomes clear) and runs OnClick. Setting Value from code runs OnClick nested
// in the call, only when the value actually changes. Disabled, the box keeps its tick,
// drawn grey, and its caption is etched.
#pragma once

#include <functional>
#include <string>

#include "forms/pressable_control.h"

namespace forms {

constexpr int vbUnchecked = 0;
constexpr int vbChecked = 1;
constexpr int vbGrayed = 2;

class CheckBox : public PressableControl {
public:
    CheckBox(Container& container, std::string name);
    ~CheckBox() override;

    // 0, 1 or 2; a value outside that range is clamped into it.
    int Value();
    void SetValue(int v);

    // The Click event: every change of Value, by the user or from code.
    std::function<void()> OnClick;

    // The square's side in pixels and where it stands in the control (vertically centred
    // at the left edge); the caption starts CaptionGap pixels to its right.
    static constexpr int BoxSize = 13;
    static constexpr int CaptionGap = 4;
    os::Rect BoxRect();

    void OnAccessKey() override;
    void Paint(os::HDC dc, int width, int height) override;
    void HandleClick() override;
    void HandleDblClick() override;
    void Destroy() override;

private:
    void Toggle();

    int value_ = vbUnchecked;
};

}  // namespace forms
