// Mouse event handlers of a control as the program writes them: Button (the pressed button,
// or during a move the held buttons as a mask), Shift, and X and Y measured from the
// control's top-left corner in its container's scale units.
#pragma once

#include <functional>

#include "forms/metrics.h"

namespace forms {

using MouseHandler = std::function<void(int Button, int Shift, float X, float Y)>;

// Runs handler, when set, for a pointer at control pixel (x, y) of a control whose
// container has twips_per_unit twips in one scale unit.
inline void RaiseMouseEvent(const MouseHandler& handler, float twips_per_unit, int button,
                            int shift, int x, int y) {
    if (!handler) return;
    handler(button, shift, PixelsToTwips(x) / twips_per_unit, PixelsToTwips(y) / twips_per_unit);
}

}  // namespace forms
