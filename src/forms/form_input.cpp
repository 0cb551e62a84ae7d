// Input of a form: mouse events with click and double-click synthesis and pointer capture,
// key routing (Tab order, Enter to the default button, Esc to the cancel button, Alt+key
// access keys), focus with the leaving control's Validate event, and the close box.
#include <algorithm>
#include <cstdlib>

#include "forms/form.h"
#include "forms/metrics.h"
#include "forms/tool_tip.h"
#include "forms/validation.h"
#include "os/message_loop.h"

namespace forms {

namespace {

constexpr std::uint64_t kDoubleClickMs = 500;
constexpr int kDoubleClickSlop = 4;

// Window-system buttons (1 left, 2 middle, 3 right) as the event's Button value.
int ButtonValue(int host_button) {
    switch (host_button) {
        case 1: return vbLeftButton;
        case 2: return vbMiddleButton;
        case 3: return vbRightButton;
        default: return 0;
    }
}

// Window-system button bits (bit 0 left, 1 middle, 2 right) as the event's Button mask.
int ButtonMask(unsigned host_buttons) {
    int mask = 0;
    if (host_buttons & 1u) mask |= vbLeftButton;
    if (host_buttons & 2u) mask |= vbMiddleButton;
    if (host_buttons & 4u) mask |= vbRightButton;
    return mask;
}

}  // namespace

float Form::ToScaleX(int px) { return PixelsToTwips(px) / TwipsPerUnit(); }
float Form::ToScaleY(int px) { return PixelsToTwips(px) / TwipsPerUnit(); }

void Form::AfterEvent(std::uint64_t generation) {
    if (StillLoaded(generation)) Flush();
}

// The topmost visible control under (x, y), searching containers' children first.
Control* Form::HitTest(Container& in, int x, int y) {
    const auto& children = in.Children();
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        Control* c = *it;
        if (!c->Visible()) continue;
        const os::Rect r = c->RectOnForm();
        if (x < r.left || x >= r.right || y < r.top || y >= r.bottom) continue;
        if (Container* inner = c->AsContainer()) {
            const os::Rect client = inner->ClientRectOnForm();
            if (x >= client.left && x < client.right && y >= client.top && y < client.bottom)
                if (Control* deeper = HitTest(*inner, x, y)) return deeper;
        }
        return c;
    }
    return nullptr;
}

// --- mouse ---------------------------------------------------------------------------------

void Form::OnMouseDown(int button, unsigned shift, int x, int y) {
    if (state_ != State::Loaded) return;
    const std::uint64_t generation = load_generation_;
    ToolTipDismiss();
    Control* target = HitTest(*this, x, y);
    if (target && !target->EffectivelyEnabled()) return;  // a disabled control swallows it
    const int b = ButtonValue(button);
    const int s = static_cast<int>(shift & 7u);

    const std::uint64_t now = os::NowMs();
    const bool dbl = pointer_.have_last_click && pointer_.last_click_target == target &&
                     now - pointer_.last_click_ms <= kDoubleClickMs &&
                     std::abs(x - pointer_.last_click_x) <= kDoubleClickSlop &&
                     std::abs(y - pointer_.last_click_y) <= kDoubleClickSlop && b == vbLeftButton;
    pointer_.down = true;
    pointer_.target = target;
    pointer_.button = b;
    pointer_.pending_dbl = dbl;
    pointer_.have_last_click = false;
    if (!dbl) {
        pointer_.last_click_ms = now;
        pointer_.last_click_x = x;
        pointer_.last_click_y = y;
    }

    // A press anywhere but on a dropped list's box or the list itself closes that list.
    for (Control* c : AllControls()) c->HandleFormPress(target);

    if (target) {
        if (target->TakesFocus()) {
            target->SetFocus();
            if (!StillLoaded(generation)) return;
            // The control being left kept the focus (its Validate cancelled): the press
            // is dropped, and so is the release that ends it.
            if (active_control_ != target) {
                pointer_.down = false;
                pointer_.target = nullptr;
                AfterEvent(generation);
                return;
            }
        }
        const os::Rect r = target->RectOnForm();
        target->HandleMouseDown(b, s, x - r.left, y - r.top);
        if (dbl && StillLoaded(generation)) target->HandleDblClick();
    } else if (dbl) {
        Form_DblClick();
    } else {
        Form_MouseDown(b, s, ToScaleX(x), ToScaleY(y));
    }
    AfterEvent(generation);
}

void Form::OnMouseUp(int button, unsigned shift, int x, int y) {
    if (state_ != State::Loaded) return;
    const std::uint64_t generation = load_generation_;
    const int b = ButtonValue(button);
    const int s = static_cast<int>(shift & 7u);
    if (!pointer_.down) {
        // A release without a press of ours (the press went to another window).
        if (!HitTest(*this, x, y)) Form_MouseUp(b, s, ToScaleX(x), ToScaleY(y));
        AfterEvent(generation);
        return;
    }
    Control* target = pointer_.target;
    const bool was_dbl = pointer_.pending_dbl;
    pointer_.down = false;
    pointer_.pending_dbl = false;
    const bool inside = HitTest(*this, x, y) == target;

    if (target) {
        const os::Rect r = target->RectOnForm();
        target->HandleMouseUp(b, s, x - r.left, y - r.top);
    } else {
        Form_MouseUp(b, s, ToScaleX(x), ToScaleY(y));
    }
    if (!StillLoaded(generation)) return;
    // A click is a press and release on the same object; the release of a double-click
    // ends it without another click.
    if (inside && !was_dbl && (b == vbLeftButton || !target)) {
        pointer_.have_last_click = b == vbLeftButton;
        pointer_.last_click_target = target;
        if (target) {
            if (target->EffectivelyEnabled()) target->HandleClick();
        } else {
            Form_Click();
        }
    }
    AfterEvent(generation);
}

void Form::OnMouseMove(unsigned buttons, unsigned shift, int x, int y) {
    if (state_ != State::Loaded) return;
    const std::uint64_t generation = load_generation_;
    const int mask = ButtonMask(buttons);
    const int s = static_cast<int>(shift & 7u);
    Control* target = pointer_.down ? pointer_.target : HitTest(*this, x, y);
    if (!pointer_.down) ToolTipPointerMoved(*this, target, x, y);
    if (target) {
        const os::Rect r = target->RectOnForm();
        if (target->EffectivelyEnabled()) target->HandleMouseMove(mask, s, x - r.left, y - r.top);
    } else {
        Form_MouseMove(mask, s, ToScaleX(x), ToScaleY(y));
    }
    AfterEvent(generation);
}

// --- keys ------------------------------------------------------------------------------------

void Form::OnKeyDown(unsigned key, unsigned shift) {
    if (state_ != State::Loaded) return;
    const std::uint64_t generation = load_generation_;
    ToolTipDismiss();
    suppress_char_ = false;
    int key_code = static_cast<int>(key);
    int shift_state = static_cast<int>(shift & 7u);
    Control* focus = active_control_;
    if (key_preview_ || !focus) {
        Form_KeyDown(key_code, shift_state);
        if (!StillLoaded(generation)) return;
    }
    if (key_code != 0) {
        if (HandleFrameworkKey(key_code, shift_state)) {
            suppress_char_ = true;
        } else if (focus && focus == active_control_) {
            focus->HandleKeyDown(key_code, shift_state);
        }
    }
    AfterEvent(generation);
}

void Form::OnKeyUp(unsigned key, unsigned shift) {
    if (state_ != State::Loaded) return;
    const std::uint64_t generation = load_generation_;
    int key_code = static_cast<int>(key);
    int shift_state = static_cast<int>(shift & 7u);
    Control* focus = active_control_;
    if (key_preview_ || !focus) {
        Form_KeyUp(key_code, shift_state);
        if (!StillLoaded(generation)) return;
    }
    if (key_code != 0 && focus && focus == active_control_) focus->HandleKeyUp(key_code, shift_state);
    AfterEvent(generation);
}

void Form::OnChar(std::uint32_t ch) {
    if (state_ != State::Loaded) return;
    if (suppress_char_) {
        suppress_char_ = false;
        return;
    }
    if (ch == 0 || ch > 255) return;  // text is 8-bit
    const std::uint64_t generation = load_generation_;
    int key_ascii = static_cast<int>(ch);
    Control* focus = active_control_;
    if (key_preview_ || !focus) {
        Form_KeyPress(key_ascii);
        if (!StillLoaded(generation)) return;
    }
    if (key_ascii != 0 && focus && focus == active_control_) focus->HandleKeyPress(key_ascii);
    AfterEvent(generation);
}

// Tab, Enter, Esc and Alt+access keys; true when the key was used here.
bool Form::HandleFrameworkKey(int key, int shift) {
    if (key == vbKeyTab && (shift & (vbCtrlMask | vbAltMask)) == 0) {
        if (TabOrder().empty()) return false;
        FocusNext((shift & vbShiftMask) != 0);
        return true;
    }
    // A dropped list takes Enter and Esc itself (to choose or to close).
    if ((key == vbKeyReturn || key == vbKeyEscape) && active_control_ &&
        active_control_->KeepsEnterAndEsc())
        return false;
    if (key == vbKeyReturn) {
        // A focused button is the default while it has the focus.
        if (active_control_ && active_control_->ClicksOnEnter()) {
            ClickButton(active_control_);
            return true;
        }
        if (default_button_) {
            ClickButton(default_button_);
            return true;
        }
        return false;
    }
    if (key == vbKeyEscape) {
        if (!cancel_button_) return false;
        ClickButton(cancel_button_);
        return true;
    }
    if ((shift & vbAltMask) != 0 && ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9'))) {
        for (Control* c : AllControls()) {
            if (c->AccessKey() == static_cast<char>(key) && c->EffectivelyEnabled() &&
                c->EffectivelyVisible()) {
                c->OnAccessKey();
                return true;
            }
        }
    }
    return false;
}

void Form::ClickButton(Control* button) {
    if (!button->EffectivelyEnabled() || !button->EffectivelyVisible()) return;
    button->HandleClick();
}

// --- focus -----------------------------------------------------------------------------------

std::vector<Control*> Form::TabOrder() {
    std::vector<Control*> order;
    for (Control* c : AllControls())
        if (c->TakesFocus() && c->TabStop() && c->EffectivelyEnabled() && c->EffectivelyVisible())
            order.push_back(c);
    std::stable_sort(order.begin(), order.end(),
                     [](Control* a, Control* b) { return a->TabIndex() < b->TabIndex(); });
    return order;
}

void Form::FocusNext(bool backwards) {
    const std::vector<Control*> order = TabOrder();
    if (order.empty()) {
        MoveFocus(nullptr);
        return;
    }
    const int n = static_cast<int>(order.size());
    const auto it = std::find(order.begin(), order.end(), active_control_);
    int next;
    if (it != order.end()) {
        const int at = static_cast<int>(it - order.begin());
        next = backwards ? (at + n - 1) % n : (at + 1) % n;
    } else if (active_control_) {
        // The focused control has just become unable to hold the focus: go on from its place.
        const int index = active_control_->TabIndex();
        next = 0;
        for (int i = 0; i < n; ++i)
            if (order[i]->TabIndex() > index) {
                next = i;
                break;
            }
    } else {
        next = backwards ? n - 1 : 0;
    }
    MoveFocus(order[next]);
}

bool Form::MoveFocus(Control* target) {
    if (target == active_control_) return true;
    Control* previous = active_control_;
    // The control being left validates first, unless its own handler is moving the focus.
    // A control that can no longer hold the focus (hidden, disabled) is not asked.
    Validating* validating = previous ? previous->AsValidating() : nullptr;
    if (target && validating && validating->HasValidateHandler() && previous != validating_ &&
        previous->EffectivelyEnabled() && previous->EffectivelyVisible()) {
        const std::uint64_t generation = load_generation_;
        Control* outer = validating_;
        validating_ = previous;
        int cancel = 0;
        validating->RunValidate(cancel);
        if (state_ == State::Unloaded || load_generation_ != generation) return false;
        validating_ = outer;
        if (cancel != 0) return false;
        // The handler moved the focus itself: that move stands.
        if (active_control_ != previous) return active_control_ == target;
        if (!target->EffectivelyEnabled() || !target->EffectivelyVisible()) return false;
    }
    active_control_ = target;
    if (previous) {
        previous->HandleFocus(false);
        InvalidateRect(previous->RectOnForm());
    }
    if (target && active_control_ == target) {
        target->HandleFocus(true);
        InvalidateRect(target->RectOnForm());
    }
    // The default button's frame depends on whether another button has the focus.
    if (default_button_) InvalidateRect(default_button_->RectOnForm());
    return true;
}

// --- window ----------------------------------------------------------------------------------

void Form::OnCloseRequest() {
    if (state_ != State::Loaded) return;
    UnloadFor(vbFormControlMenu);
}

void Form::OnFocusOut() { ToolTipFormGone(*this); }

void Form::OnHostDestroyed() {
    if (state_ != State::Loaded) return;
    UnloadFor(vbAppWindows);
}

void Form::RegisterDefaultButton(Control* button, bool is_default) {
    if (is_default) {
        if (default_button_ && default_button_ != button) default_button_->LoseDefault();
        default_button_ = button;
    } else if (default_button_ == button) {
        default_button_ = nullptr;
    }
}

void Form::RegisterCancelButton(Control* button, bool is_cancel) {
    if (is_cancel) {
        if (cancel_button_ && cancel_button_ != button) cancel_button_->LoseCancel();
        cancel_button_ = button;
    } else if (cancel_button_ == button) {
        cancel_button_ = nullptr;
    }
}

}  // namespace forms
