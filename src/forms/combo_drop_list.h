// Inside the combo box: the control that shows its dropped list. It is created the first
// time the list drops, as a child of the form itself, so it comes after every control of
// the form: drawn over them and hit first. Closed, it has no size. It takes no focus; the
// combo box keeps the focus while the list is used.
#pragma once

#include "forms/combo_box.h"
#include "forms/control.h"
#include "forms/metrics.h"

namespace forms {

// The selection colours of text fields and lists.
constexpr os::COLORREF ColorHighlight = 0x800000;  // navy
constexpr os::COLORREF ColorHighlightText = 0xFFFFFF;

inline bool InsideRect(const os::Rect& r, int x, int y) {
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

// A small black triangle pointing up or down (grey and etched when disabled), centred in r.
void DrawComboArrow(os::HDC dc, const os::Rect& r, bool up, bool enabled);

class ComboDropList : public Control {
public:
    ComboDropList(Container& form, ComboBox& owner);
    ComboBox& Owner() { return owner_; }
    void Redraw() { Invalidate(); }

    void Paint(os::HDC dc, int width, int height) override { owner_.PaintList(dc, width, height); }
    void HandleMouseDown(int button, int shift, int x, int y) override;
    void HandleMouseMove(int buttons, int shift, int x, int y) override;
    void HandleMouseUp(int button, int shift, int x, int y) override;

private:
    ComboBox& owner_;
};

}  // namespace forms
