// A frame: a grey box with an etched border and an optional caption breaking its top edge,
// holding other controls. Its controls are placed in twips from the frame's top-left corner
// and are cut off at its edges. A frame takes no focus; a press on it goes to the form.
#pragma once

#include <string>

#include "forms/captioned_control.h"

namespace forms {

class Frame : public CaptionedControl, public Container {
public:
    Frame(Container& container, std::string name);
    ~Frame() override;

    // Where the etched border runs, in the frame's own pixels: its top edge lies half a
    // text line down so that the caption sits on it.
    os::Rect BorderRect();

    // Container
    Form& OwnerForm() override { return Control::OwnerForm(); }
    float TwipsPerUnit() override { return 1.0f; }
    os::Rect ClientRectOnForm() override { return RectOnForm(); }
    Container* AsContainer() override { return this; }

    // The caption's access key focuses the first control after the frame in tab order.
    void OnAccessKey() override;
    void Paint(os::HDC dc, int width, int height) override;
};

}  // namespace forms
