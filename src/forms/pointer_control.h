// A control that hands the pointer's presses, moves and releases, and its clicks, to the
// program's handlers (an image, a label).
#pragma once

#include <functional>
#include <string>

#include "forms/control.h"
#include "forms/mouse_events.h"

namespace forms {

class PointerControl : public Control {
public:
    using Control::Control;

    std::function<void()> OnClick;
    // Pointer pressed on the control, moved over it (or, while pressed, anywhere) and released.
    MouseHandler OnMouseDown;
    MouseHandler OnMouseMove;
    MouseHandler OnMouseUp;

    void HandleClick() override;
    void HandleMouseDown(int button, int shift, int x, int y) override;
    void HandleMouseUp(int button, int shift, int x, int y) override;
    void HandleMouseMove(int buttons, int shift, int x, int y) override;
};

}  // namespace forms
