// Canvas: the pixels a drawing call may touch on a context, in its logical coordinates.
#include "os/gdi_internal.h"
#include "os/host.h"

namespace os::gdi {

Canvas::Canvas(DcState& dc, const Rect& area, bool apply_dc_clip, bool read_screen)
    : origin_(dc.origin) {
    Rect bounds;
    surface_ = CurrentSurface(dc);
    if (surface_) {
        bounds = surface_->bounds();
    } else if (dc.kind == DcKind::Screen && HasHost()) {
        bounds = Rect{0, 0, CurrentHost().ScreenWidth(), CurrentHost().ScreenHeight()};
    } else {
        return;
    }
    valid_ = true;
    // Work in device coordinates, then express the result logically.
    Rect device = ClampRect(static_cast<long long>(area.left) + origin_.x,
                            static_cast<long long>(area.top) + origin_.y,
                            static_cast<long long>(area.right) + origin_.x,
                            static_cast<long long>(area.bottom) + origin_.y);
    device = Intersect(device, bounds);
    if (apply_dc_clip && dc.clip) {
        const Rect c = ClampRect(static_cast<long long>(dc.clip->left) + origin_.x,
                                 static_cast<long long>(dc.clip->top) + origin_.y,
                                 static_cast<long long>(dc.clip->right) + origin_.x,
                                 static_cast<long long>(dc.clip->bottom) + origin_.y);
        device = Intersect(device, c);
    }
    if (device.empty()) return;
    clip_ = Rect{device.left - origin_.x, device.top - origin_.y, device.right - origin_.x,
                 device.bottom - origin_.y};
    off_x_ = clip_.left;
    off_y_ = clip_.top;
    if (surface_) {
        base_ = surface_->row(device.top) + device.left;
        stride_ = surface_->stride();
    } else if (read_screen) {
        buffer_.assign(static_cast<std::size_t>(device.width()) * device.height(), 0);
        CurrentHost().ReadScreen(buffer_.data(), device.width(), device.left, device.top,
                                 device.width(), device.height());
        base_ = buffer_.data();
        stride_ = device.width();
    }
}

bool Canvas::ReadScreenInto(std::uint32_t* dst, std::ptrdiff_t dst_stride, const Rect& r) const {
    if (surface_ || !valid_ || r.empty() || !HasHost()) return false;
    return CurrentHost().ReadScreen(dst, static_cast<int>(dst_stride), r.left + origin_.x,
                                    r.top + origin_.y, r.width(), r.height());
}

void Canvas::Wrote(const Rect& r0) {
    const Rect r = Intersect(r0, clip_);
    if (r.empty()) return;
    if (surface_) {
        surface_->NoteWritten(
            Rect{r.left + origin_.x, r.top + origin_.y, r.right + origin_.x, r.bottom + origin_.y});
    } else {
        dirty_ = Union(dirty_, r);
    }
}

Canvas::~Canvas() {
    if (surface_ || dirty_.empty() || !HasHost()) return;
    CurrentHost().WriteScreen(At(dirty_.left, dirty_.top), static_cast<int>(stride_),
                              dirty_.left + origin_.x, dirty_.top + origin_.y, dirty_.width(),
                              dirty_.height());
}

}  // namespace os::gdi
