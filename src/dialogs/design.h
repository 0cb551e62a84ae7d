// The dialogs' stored definitions: a captioned control (button, check box, frame) set up
// in one line from where it stands, its caption, tool tip and tab index.
#pragma once

#include "forms/captioned_control.h"

namespace dialogs {

// A box in the container's scale units.
struct Box {
    float left, top, width, height;
};

inline void Place(forms::CaptionedControl& control, Box box, const char* caption,
                  const char* tip, int tab_index) {
    control.Move(box.left, box.top, box.width, box.height);
    control.SetCaption(caption);
    control.SetToolTipText(tip);
    control.SetTabIndex(tab_index);
}

}  // namespace dialogs
