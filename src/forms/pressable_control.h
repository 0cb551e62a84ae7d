// A captioned control the user presses: held down by the left button or by Space, it looks
// pressed while the pointer stays over it; a click (or Space released) activates it. Command
// buttons and check boxes share this behaviour.
#pragma once

#include <string>

#include "forms/captioned_control.h"

namespace forms {

class PressableControl : public CaptionedControl {
public:
    using CaptionedControl::CaptionedControl;

    // Whether the control is drawn pressed in (mouse held down over it, or Space held).
    bool Pressed() const { return pressed_; }

    bool TakesFocus() const override { return true; }
    void HandleMouseDown(int button, int shift, int x, int y) override;
    void HandleMouseUp(int button, int shift, int x, int y) override;
    void HandleMouseMove(int buttons, int shift, int x, int y) override;
    void HandleKeyDown(int& key, int shift) override;
    void HandleKeyUp(int& key, int shift) override;
    void HandleFocus(bool gained) override;
    void Destroy() override;

private:
    void SetPressed(bool p);

    bool pressed_ = false;
    bool mouse_held_ = false;
    bool space_held_ = false;
};

}  // namespace forms
