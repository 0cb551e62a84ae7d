#include "forms/pressable_control.h"

#include "forms/metrics.h"

namespace forms {

void PressableControl::Destroy() {
    pressed_ = mouse_held_ = space_held_ = false;
    CaptionedControl::Destroy();
}

void PressableControl::SetPressed(bool p) {
    if (pressed_ == p) return;
    pressed_ = p;
    Invalidate();
}

void PressableControl::HandleMouseDown(int button, int, int, int) {
    if (button != vbLeftButton) return;
    mouse_held_ = true;
    SetPressed(true);
}

void PressableControl::HandleMouseMove(int, int, int x, int y) {
    if (!mouse_held_) return;
    // Held down, the control looks pressed only while the pointer is over it.
    SetPressed(x >= 0 && y >= 0 && x < PixelWidth() && y < PixelHeight());
}

void PressableControl::HandleMouseUp(int button, int, int, int) {
    if (button != vbLeftButton) return;
    mouse_held_ = false;
    SetPressed(space_held_);
}

void PressableControl::HandleKeyDown(int& key, int) {
    if (key != vbKeySpace) return;
    space_held_ = true;
    SetPressed(true);
}

// Space acts on release, as the pressed look suggests.
void PressableControl::HandleKeyUp(int& key, int) {
    if (key != vbKeySpace || !space_held_) return;
    space_held_ = false;
    SetPressed(mouse_held_);
    HandleClick();
}

void PressableControl::HandleFocus(bool gained) {
    if (!gained) {
        space_held_ = false;
        SetPressed(mouse_held_);
    }
    Invalidate();
}

}  // namespace forms
