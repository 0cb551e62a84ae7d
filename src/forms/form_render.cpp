// Drawing a form: its background (BackColor, or the persistent image), then its visible
// controls in creation order, each clipped to its container.
#include <algorithm>

#include "forms/draw3d.h"
#include "forms/form.h"
#include "os/gdi.h"

namespace forms {

namespace {

bool AnyVisibleControl(Container& c) {
    for (Control* child : c.Children())
        if (child->Visible() && child->Width() > 0 && child->Height() > 0) return true;
    return false;
}

}  // namespace

void Form::InvalidateRect(const os::Rect& r) {
    const os::Rect clipped = Intersect(r, ClientRectOnForm());
    if (!clipped.empty()) dirty_ = Union(dirty_, clipped);
}

void Form::Flush() {
    if (state_ != State::Loaded || hwnd_ == 0) return;
    os::Surface* window = os::WindowSurface(hwnd_);
    if (!window) return;
    // What was drawn into the persistent image shows in the window.
    if (auto_redraw_ && image_ && image_->WriteSeq() != image_shown_seq_ &&
        image_->width() == window->width() && image_->height() == window->height()) {
        const std::vector<os::Rect> changed = window->CopyWholeFrom(*image_);
        image_shown_seq_ = image_->WriteSeq();
        if (AnyVisibleControl(*this))
            for (const os::Rect& r : changed) dirty_ = Union(dirty_, r);
    }
    if (dirty_.empty()) return;
    const os::Rect area = dirty_;
    dirty_ = os::Rect{};
    Render(area);
}

void Form::Render(const os::Rect& area) {
    if (image_) {
        os::BitBlt(window_dc_, area.left, area.top, area.width(), area.height(), image_dc_,
                   area.left, area.top, os::SRCCOPY);
    } else {
        FillSolid(window_dc_, area, back_color_);
    }
    for (Control* c : Children()) RenderControl(*c, area);
}

void Form::RenderControl(Control& c, const os::Rect& clip) {
    if (!c.Visible()) return;
    const os::Rect r = c.RectOnForm();
    const os::Rect area = Intersect(r, clip);
    if (area.empty()) return;
    // The control paints over what lies under it, in its own coordinates.
    scratch_->Resize(r.width(), r.height());
    os::BitBlt(scratch_dc_, 0, 0, r.width(), r.height(), window_dc_, r.left, r.top, os::SRCCOPY);
    c.Paint(scratch_dc_, r.width(), r.height());
    os::BitBlt(window_dc_, area.left, area.top, area.width(), area.height(), scratch_dc_,
               area.left - r.left, area.top - r.top, os::SRCCOPY);
    if (Container* inner = c.AsContainer()) {
        const os::Rect inner_clip = Intersect(area, inner->ClientRectOnForm());
        if (inner_clip.empty()) return;
        for (Control* child : inner->Children()) RenderControl(*child, inner_clip);
    }
}

void Form::Cls() {
    EnsureLoaded();
    if (image_) {
        FillSolid(image_dc_, image_->bounds(), back_color_);
    }
    InvalidateRect(ClientRectOnForm());
}

void Form::Refresh() {
    EnsureLoaded();
    InvalidateRect(ClientRectOnForm());
    Flush();
}

}  // namespace forms
