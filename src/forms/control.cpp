#include "forms/control.h"

#include <algorithm>

#include "forms/form.h"
#include "forms/metrics.h"

namespace forms {

namespace {

// Tab indices follow creation order until set otherwise.
int CountControls(Container& c) {
    int n = 0;
    for (Control* child : c.Children()) {
        ++n;
        if (Container* inner = child->AsContainer()) n += CountControls(*inner);
    }
    return n;
}

}  // namespace

Control::Control(Container& container, std::string name)
    : container_(container), name_(std::move(name)) {
    tab_index_ = CountControls(container_.OwnerForm());
    container_.children_.push_back(this);
}

Control::~Control() {
    auto& siblings = container_.children_;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
}

void Control::Touch() { OwnerForm().EnsureLoaded(); }

void Control::Invalidate() {
    Form& form = OwnerForm();
    if (visible_ && form.IsLoaded()) form.InvalidateRect(RectOnForm());
}

float Control::Left() { Touch(); return left_ / ContainerTwipsPerUnit(); }
float Control::Width() { Touch(); return width_ / ContainerTwipsPerUnit(); }
float Control::Height() { Touch(); return height_ / ContainerTwipsPerUnit(); }

void Control::SetLeft(float v) {
    Touch();
    Invalidate();
    left_ = v * ContainerTwipsPerUnit();
    Invalidate();
}

void Control::SetTop(float v) {
    Touch();
    Invalidate();
    top_ = v * ContainerTwipsPerUnit();
    Invalidate();
}

void Control::SetWidth(float v) {
    Touch();
    Invalidate();
    width_ = std::max(0.0f, v * ContainerTwipsPerUnit());
    Invalidate();
}

void Control::SetHeight(float v) {
    Touch();
    Invalidate();
    height_ = std::max(0.0f, v * ContainerTwipsPerUnit());
    Invalidate();
}

void Control::Move(float left, float top, float width, float height) {
    SetLeft(left);
    SetTop(top);
    SetWidth(width);
    SetHeight(height);
}

int Control::PixelWidth() { return std::max(0, TwipsToPixels(width_)); }
int Control::PixelHeight() { return std::max(0, TwipsToPixels(height_)); }

bool Control::Visible() { Touch(); return visible_; }

void Control::SetVisible(bool v) {
    Touch();
    if (visible_ == v) return;
    const bool had_focus = HasFocus();
    Invalidate();
    visible_ = v;
    Invalidate();
    if (had_focus) OwnerForm().FocusNext(false);
}

bool Control::Enabled() { Touch(); return enabled_; }

void Control::SetEnabled(bool v) {
    Touch();
    if (enabled_ == v) return;
    const bool had_focus = HasFocus();
    enabled_ = v;
    Invalidate();
    if (had_focus) OwnerForm().FocusNext(false);
}

int Control::TabIndex() { Touch(); return tab_index_; }
void Control::SetTabIndex(int v) { Touch(); tab_index_ = v; }
bool Control::TabStop() { Touch(); return tab_stop_; }
const std::string& Control::ToolTipText() { Touch(); return tool_tip_; }
void Control::SetToolTipText(std::string v) { Touch(); tool_tip_ = std::move(v); }

void Control::SetFocus() {
    Touch();
    if (TakesFocus() && EffectivelyEnabled() && EffectivelyVisible()) OwnerForm().MoveFocus(this);
}

bool Control::HasFocus() { return OwnerForm().ActiveControl() == this; }

os::Rect Control::RectOnForm() {
    const os::Rect origin = container_.ClientRectOnForm();
    const int x = origin.left + TwipsToPixels(left_);
    const int y = origin.top + TwipsToPixels(top_);
    return os::Rect{x, y, x + PixelWidth(), y + PixelHeight()};
}

bool Control::EffectivelyEnabled() { return HeldUpThroughContainers(&Control::enabled_); }

bool Control::EffectivelyVisible() { return HeldUpThroughContainers(&Control::visible_); }

bool Control::HeldUpThroughContainers(bool Control::*flag) {
    if (!(this->*flag)) return false;
    Container* c = &container_;
    while (c != &OwnerForm()) {
        auto* holder = dynamic_cast<Control*>(c);
        if (!holder) break;
        if (!(holder->*flag)) return false;
        c = &holder->container_;
    }
    return true;
}

void Control::OnAccessKey() { SetFocus(); }

void Control::HandleMouseDown(int, int, int, int) {}
void Control::HandleMouseUp(int, int, int, int) {}
void Control::HandleMouseMove(int, int, int, int) {}

void Control::Destroy() {
    left_ = top_ = width_ = height_ = 0;
    visible_ = true;
    enabled_ = true;
    tab_stop_ = true;
    tool_tip_.clear();
    // Creation order again.
    int index = 0;
    for (Control* c : OwnerForm().AllControls()) {
        if (c == this) break;
        ++index;
    }
    tab_index_ = index;
}

}  // namespace forms
