#include "forms/check_box.h"

#include <algorithm>

#include "forms/draw3d.h"
#include "forms/form.h"
#include "forms/metrics.h"
#include "os/gdi.h"

namespace forms {

namespace {

// The tick: a 7 by 7 pixel check mark, three pixels thick, '#' drawn.
constexpr const char* kTick[7] = {
    "......#",
    ".....##",
    "#...###",
    "##.###.",
    "#####..",
    ".###...",
    "..#....",
};

void DrawTick(os::HDC dc, int left, int top, os::COLORREF color) {
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 7; ++x)
            if (kTick[y][x] == '#') os::SetPixel(dc, left + x, top + y, color);
}

// A 50% grey dither of white and button face, as a greyed square's inside looks.
void FillDither(os::HDC dc, const os::Rect& r) {
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            os::SetPixel(dc, x, y, ((x + y) & 1) ? ColorButtonHighlight : ColorButtonFace);
}

}  // namespace

CheckBox::CheckBox(Container& container, std::string name)
    : PressableControl(container, std::move(name)) {}

CheckBox::~CheckBox() = default;

void CheckBox::Destroy() {
    value_ = vbUnchecked;
    PressableControl::Destroy();
}

int CheckBox::Value() { Touch(); return value_; }

void CheckBox::SetValue(int v) {
    Touch();
    v = std::clamp(v, static_cast<int>(vbUnchecked), static_cast<int>(vbGrayed));
    if (v == value_) return;
    value_ = v;
    Invalidate();
    if (OnClick) OnClick();
}

// Clear becomes ticked; ticked and greyed become clear.
void CheckBox::Toggle() { SetValue(value_ == vbUnchecked ? vbChecked : vbUnchecked); }

os::Rect CheckBox::BoxRect() {
    const int top = std::max(0, (PixelHeight() - BoxSize) / 2);
    return os::Rect{0, top, BoxSize, top + BoxSize};
}

void CheckBox::OnAccessKey() {
    SetFocus();
    Toggle();
}

void CheckBox::HandleClick() { Toggle(); }

// The second press of a double-click toggles again, as two clicks would.
void CheckBox::HandleDblClick() { Toggle(); }

void CheckBox::Paint(os::HDC dc, int width, int height) {
    FillSolid(dc, os::Rect{0, 0, width, height}, ColorButtonFace);
    const bool enabled = EffectivelyEnabled();
    const os::Rect box = BoxRect();
    DrawSunkenEdge(dc, box);
    const os::Rect inside{box.left + 2, box.top + 2, box.right - 2, box.bottom - 2};
    if (value_ == vbGrayed) {
        FillDither(dc, inside);
    } else {
        // Held down or disabled, the inside is grey instead of white.
        FillSolid(dc, inside, enabled && !Pressed() ? ColorWindow : ColorButtonFace);
    }
    if (value_ != vbUnchecked) {
        const os::COLORREF tick = enabled && value_ == vbChecked ? ColorWindowText : ColorGrayText;
        DrawTick(dc, inside.left + 1, inside.top + 1, tick);
    }

    const std::string& caption = CaptionText();
    const os::SIZE text = os::MeasureAccessText(dc, caption);
    const int x = BoxSize + CaptionGap;
    const int y = (height - text.cy) / 2;
    DrawCaption(dc, x, y, caption, ColorButtonText, !enabled);
    if (HasFocus() && !caption.empty()) {
        const os::RECT focus{x - 1, std::max(0, y - 1), std::min(width, x + text.cx + 1),
                             std::min(height, y + text.cy + 1)};
        if (focus.right > focus.left && focus.bottom > focus.top) os::DrawFocusRect(dc, &focus);
    }
}

}  // namespace forms
