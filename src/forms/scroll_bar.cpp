#include "forms/scroll_bar.h"

#include <algorithm>
#include <cmath>

#include "forms/draw3d.h"
#include "forms/form.h"
#include "os/gdi.h"

namespace forms {

namespace {

bool Inside(const os::Rect& r, int x, int y) {
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

// A black (or, disabled, etched grey) triangle pointing up or down, centred in r.
void DrawArrowGlyph(os::HDC dc, const os::Rect& r, bool up, bool enabled) {
    const int side = std::min(r.width(), r.height());
    const int rows = std::max(2, (side - 4) / 4 + 1);
    const int cx = r.left + r.width() / 2;
    const int top = r.top + (r.height() - rows) / 2;
    auto draw = [&](int dx, int dy, os::COLORREF color) {
        for (int i = 0; i < rows; ++i) {
            const int half = up ? i : rows - 1 - i;
            FillSolid(dc, os::Rect{cx - half + dx, top + i + dy, cx + half + 1 + dx, top + i + 1 + dy},
                      color);
        }
    };
    if (enabled) {
        draw(0, 0, ColorButtonText);
    } else {
        draw(1, 1, ColorButtonHighlight);
        draw(0, 0, ColorButtonShadow);
    }
}

void DrawArrowButton(os::HDC dc, const os::Rect& r, bool up, bool pressed, bool enabled) {
    if (r.empty()) return;
    FillSolid(dc, r, ColorButtonFace);
    DrawRaisedEdge(dc, r, pressed);
    os::Rect glyph = r;
    if (pressed) glyph = os::Rect{r.left + 1, r.top + 1, r.right + 1, r.bottom + 1};
    DrawArrowGlyph(dc, glyph, up, enabled);
}

// The track's 50% dither of white and button face; `dark` is the part a held press pages
// through, drawn black and grey.
void FillTrack(os::HDC dc, const os::Rect& r, bool dark) {
    const os::COLORREF a = dark ? ColorButtonDarkShadow : ColorButtonHighlight;
    const os::COLORREF b = dark ? ColorButtonShadow : ColorButtonFace;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x) os::SetPixel(dc, x, y, ((x + y) & 1) ? a : b);
}

}  // namespace

VScrollBar::VScrollBar(Container& container, std::string name)
    : Control(container, std::move(name)) {}

VScrollBar::~VScrollBar() {
    if (repeat_timer_) os::DestroyTimer(repeat_timer_);
}

void VScrollBar::Create() {}

void VScrollBar::Destroy() {
    StopRepeat();
    if (repeat_timer_) os::DestroyTimer(repeat_timer_);
    repeat_timer_ = 0;
    min_ = 0;
    max_ = 32767;
    value_ = 0;
    small_change_ = large_change_ = 1;
    hold_ = Hold::None;
    held_arrow_ = 0;
    held_arrow_pressed_ = false;
    track_direction_ = 0;
    dragging_ = false;
    Control::Destroy();
}

// --- properties ------------------------------------------------------------------------

int VScrollBar::Low() const { return std::min(min_, max_); }
int VScrollBar::High() const { return std::max(min_, max_); }
int VScrollBar::Clamp(int v) const { return std::clamp(v, Low(), High()); }

int VScrollBar::Min() { Touch(); return min_; }
int VScrollBar::Max() { Touch(); return max_; }
int VScrollBar::Value() { Touch(); return value_; }
int VScrollBar::SmallChange() { Touch(); return small_change_; }

void VScrollBar::SetMin(int v) {
    Touch();
    min_ = v;
    Invalidate();
    Assign(Clamp(value_));
}

void VScrollBar::SetMax(int v) {
    Touch();
    max_ = v;
    Invalidate();
    Assign(Clamp(value_));
}

void VScrollBar::SetValue(int v) {
    Touch();
    Assign(Clamp(v));
}

void VScrollBar::SetSmallChange(int v) { Touch(); small_change_ = std::max(1, v); }
void VScrollBar::SetLargeChange(int v) { Touch(); large_change_ = std::max(1, v); }

// Every change of the value goes through here: it is drawn and OnChange runs, nested.
void VScrollBar::Assign(int v) {
    if (v == value_) return;
    value_ = v;
    Invalidate();
    if (OnChange) OnChange();
}

void VScrollBar::StepBy(long long delta_toward_max) {
    const long long sign = max_ >= min_ ? 1 : -1;
    const long long target = static_cast<long long>(value_) + delta_toward_max * sign;
    const long long clamped = std::clamp(target, static_cast<long long>(Low()),
                                         static_cast<long long>(High()));
    Assign(static_cast<int>(clamped));
}

// --- geometry --------------------------------------------------------------------------

// Square arrow buttons at the ends (shorter when the bar is too short for two squares),
// a square thumb in the track between them, placed by where Value lies from Min to Max.
VScrollBar::Parts VScrollBar::Layout() {
    const int w = PixelWidth(), h = PixelHeight();
    const int arrow = std::min(w, h / 2);
    Parts p;
    p.up_arrow = os::Rect{0, 0, w, arrow};
    p.down_arrow = os::Rect{0, h - arrow, w, h};
    p.track = os::Rect{0, arrow, w, h - arrow};
    const int thumb = std::max(std::min(w, p.track.height()), 0);
    // No thumb when the track cannot hold one.
    if (thumb < 6 || !EffectivelyEnabled()) {
        p.thumb = os::Rect{0, p.track.top, 0, p.track.top};
        return p;
    }
    const int room = p.track.height() - thumb;
    int top;
    if (dragging_) {
        top = drag_thumb_top_;
    } else {
        const double span = static_cast<double>(max_) - static_cast<double>(min_);
        const double fraction = span == 0 ? 0.0 : (static_cast<double>(value_) - min_) / span;
        top = p.track.top + static_cast<int>(std::lround(fraction * room));
    }
    top = std::clamp(top, p.track.top, p.track.top + room);
    p.thumb = os::Rect{0, top, w, top + thumb};
    return p;
}

// The value a thumb with its top edge at thumb_top stands for.
int VScrollBar::ValueAtThumbTop(int thumb_top) {
    const Parts p = Layout();
    const int room = p.track.height() - p.thumb.height();
    if (room <= 0) return value_;
    const double fraction =
        std::clamp(static_cast<double>(thumb_top - p.track.top) / room, 0.0, 1.0);
    const double span = static_cast<double>(max_) - static_cast<double>(min_);
    return Clamp(static_cast<int>(std::lround(min_ + fraction * span)));
}

// --- mouse -----------------------------------------------------------------------------

void VScrollBar::HandleMouseDown(int button, int, int x, int y) {
    if (button != vbLeftButton || hold_ != Hold::None) return;
    const Parts p = Layout();
    pointer_y_ = y;
    if (Inside(p.up_arrow, x, y) || Inside(p.down_arrow, x, y)) {
        hold_ = Hold::Arrow;
        held_arrow_ = Inside(p.up_arrow, x, y) ? -1 : +1;
        held_arrow_pressed_ = true;
        Invalidate();
        StepBy(static_cast<long long>(held_arrow_) * small_change_);
    } else if (!p.thumb.empty() && Inside(p.thumb, x, y)) {
        hold_ = Hold::Thumb;
        dragging_ = true;
        drag_offset_ = y - p.thumb.top;
        drag_thumb_top_ = p.thumb.top;
        drag_start_value_ = value_;
        Invalidate();
        return;
    } else if (Inside(p.track, x, y)) {
        hold_ = Hold::Track;
        track_direction_ = y < p.thumb.top ? -1 : +1;
        Invalidate();
        if (!StepTrackOnce()) return;
    } else {
        return;
    }
    // A handler may have unloaded the form or taken the press away.
    if (hold_ == Hold::None || !OwnerForm().IsLoaded()) return;
    if (repeat_timer_) os::DestroyTimer(repeat_timer_);
    repeat_timer_ = os::CreateTimer([this] { Repeat(); });
    os::SetTimerInterval(repeat_timer_, RepeatDelayMs);
}

// One page towards the held side, while the thumb has not reached the pointer; false when
// there is nothing more to do.
bool VScrollBar::StepTrackOnce() {
    const Parts p = Layout();
    const bool beyond = track_direction_ < 0 ? pointer_y_ < p.thumb.top : pointer_y_ >= p.thumb.bottom;
    if (!beyond || !Inside(p.track, 0, pointer_y_)) return false;
    const int before = value_;
    StepBy(static_cast<long long>(track_direction_) * large_change_);
    return value_ != before;
}

void VScrollBar::Repeat() {
    if (hold_ == Hold::None || !OwnerForm().IsLoaded()) {
        StopRepeat();
        return;
    }
    if (repeat_timer_) os::SetTimerInterval(repeat_timer_, RepeatIntervalMs);
    if (hold_ == Hold::Arrow) {
        if (held_arrow_pressed_) StepBy(static_cast<long long>(held_arrow_) * small_change_);
    } else if (hold_ == Hold::Track) {
        StepTrackOnce();
    }
    Form& form = OwnerForm();
    if (form.IsLoaded()) form.Flush();
}

void VScrollBar::StopRepeat() {
    if (repeat_timer_) os::EnableTimer(repeat_timer_, false);
}

void VScrollBar::HandleMouseMove(int, int, int x, int y) {
    if (hold_ == Hold::None) return;
    pointer_y_ = y;
    const Parts p = Layout();
    if (hold_ == Hold::Arrow) {
        const bool over = Inside(held_arrow_ < 0 ? p.up_arrow : p.down_arrow, x, y);
        if (over != held_arrow_pressed_) {
            held_arrow_pressed_ = over;
            Invalidate();
        }
    } else if (hold_ == Hold::Thumb) {
        const int room = p.track.height() - p.thumb.height();
        drag_thumb_top_ = std::clamp(y - drag_offset_, p.track.top, p.track.top + std::max(0, room));
        Invalidate();
        const int v = ValueAtThumbTop(drag_thumb_top_);
        if (v != value_) {
            value_ = v;
            if (OnScroll) OnScroll();
        }
    } else {
        Invalidate();
    }
}

void VScrollBar::HandleMouseUp(int button, int, int, int) {
    if (button != vbLeftButton || hold_ == Hold::None) return;
    const Hold was = hold_;
    hold_ = Hold::None;
    held_arrow_ = 0;
    held_arrow_pressed_ = false;
    track_direction_ = 0;
    StopRepeat();
    Invalidate();
    if (was != Hold::Thumb) return;
    dragging_ = false;
    // The drag ends: the value under the thumb is the new value, one Change for it all.
    if (value_ != drag_start_value_ && OnChange) OnChange();
}

// --- keys and focus --------------------------------------------------------------------

void VScrollBar::HandleKeyDown(int& key, int) {
    if (hold_ == Hold::Thumb) return;
    switch (key) {
        case vbKeyUp:
        case vbKeyLeft: StepBy(-static_cast<long long>(small_change_)); break;
        case vbKeyDown:
        case vbKeyRight: StepBy(small_change_); break;
        case vbKeyPageUp: StepBy(-static_cast<long long>(large_change_)); break;
        case vbKeyPageDown: StepBy(large_change_); break;
        case vbKeyHome: Assign(min_); break;
        case vbKeyEnd: Assign(max_); break;
        default: return;
    }
    key = 0;
}

void VScrollBar::HandleFocus(bool) { Invalidate(); }

// --- drawing ---------------------------------------------------------------------------

void VScrollBar::Paint(os::HDC dc, int width, int height) {
    (void)width, (void)height;
    const bool enabled = EffectivelyEnabled();
    const Parts p = Layout();
    DrawArrowButton(dc, p.up_arrow, true, hold_ == Hold::Arrow && held_arrow_ < 0 && held_arrow_pressed_,
                    enabled);
    DrawArrowButton(dc, p.down_arrow, false,
                    hold_ == Hold::Arrow && held_arrow_ > 0 && held_arrow_pressed_, enabled);
    FillTrack(dc, p.track, false);
    if (hold_ == Hold::Track && !p.thumb.empty()) {
        // The part being paged through, while the pointer still holds it.
        const os::Rect part = track_direction_ < 0
                                  ? os::Rect{p.track.left, p.track.top, p.track.right, p.thumb.top}
                                  : os::Rect{p.track.left, p.thumb.bottom, p.track.right, p.track.bottom};
        if (Inside(part, part.left, pointer_y_)) FillTrack(dc, part, true);
    }
    if (p.thumb.empty()) return;
    FillSolid(dc, p.thumb, ColorButtonFace);
    DrawRaisedEdge(dc, p.thumb, false);
    if (HasFocus()) {
        // The focused bar shows its thumb inverted.
        const os::RECT r{p.thumb.left, p.thumb.top, p.thumb.right, p.thumb.bottom};
        os::InvertRect(dc, &r);
    }
}

}  // namespace forms
