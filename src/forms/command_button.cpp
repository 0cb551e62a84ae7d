#include "forms/command_button.h"

#include "forms/draw3d.h"
#include "forms/form.h"
#include "forms/metrics.h"
#include "os/gdi.h"

namespace forms {

CommandButton::CommandButton(Container& container, std::string name)
    : PressableControl(container, std::move(name)) {}

CommandButton::~CommandButton() = default;

void CommandButton::Destroy() {
    default_ = cancel_ = false;
    PressableControl::Destroy();
}

bool CommandButton::Default() { Touch(); return default_; }

// The default button wears an extra frame; the cancel button looks like any other.
void CommandButton::SetDefault(bool on) {
    if (SetRole(default_, on, &Form::RegisterDefaultButton)) Invalidate();
}

bool CommandButton::Cancel() { Touch(); return cancel_; }

void CommandButton::SetCancel(bool on) { SetRole(cancel_, on, &Form::RegisterCancelButton); }

bool CommandButton::SetRole(bool& role, bool on, void (Form::*enlist)(Control*, bool)) {
    Touch();
    if (role == on) return false;
    role = on;
    (OwnerForm().*enlist)(this, on);
    return true;
}

void CommandButton::SetValue(bool v) {
    Touch();
    if (v) HandleClick();
}

void CommandButton::OnAccessKey() {
    SetFocus();
    HandleClick();
}

void CommandButton::HandleClick() {
    if (OnClick) OnClick();
}

void CommandButton::Paint(os::HDC dc, int width, int height) {
    const os::Rect all{0, 0, width, height};
    FillSolid(dc, all, ColorButtonFace);
    // The default button (and a focused one) wears an extra black frame.
    const Control* active = OwnerForm().ActiveControl();
    const bool framed = HasFocus() || (default_ && !(active && active->ClicksOnEnter()));
    os::Rect face = all;
    if (framed && width > 2 && height > 2) {
        FillSolid(dc, os::Rect{0, 0, width, 1}, ColorButtonDarkShadow);
        FillSolid(dc, os::Rect{0, height - 1, width, height}, ColorButtonDarkShadow);
        FillSolid(dc, os::Rect{0, 0, 1, height}, ColorButtonDarkShadow);
        FillSolid(dc, os::Rect{width - 1, 0, width, height}, ColorButtonDarkShadow);
        face = os::Rect{1, 1, width - 1, height - 1};
    }
    DrawRaisedEdge(dc, face, Pressed());

    const os::SIZE text = os::MeasureAccessText(dc, CaptionText());
    int x = face.left + (face.width() - text.cx) / 2;
    int y = face.top + (face.height() - text.cy) / 2;
    if (Pressed()) {
        ++x;
        ++y;
    }
    DrawCaption(dc, x, y, CaptionText(), ColorButtonText, !EffectivelyEnabled());
    if (HasFocus()) {
        const os::RECT focus{face.left + 3, face.top + 3, face.right - 3, face.bottom - 3};
        if (focus.right > focus.left && focus.bottom > focus.top) os::DrawFocusRect(dc, &focus);
    }
}

}  // namespace forms
