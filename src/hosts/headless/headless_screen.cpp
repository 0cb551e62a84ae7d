// The headless host's screen: presenting window pixels, composing what the screen shows,
// and reading and drawing on the screen itself.
#include <algorithm>
#include <cstring>

#include "hosts/headless/headless_host.h"

namespace hosts {

namespace {

HostRect Clip(const HostRect& a, const HostRect& b) {
    HostRect r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
               std::min(a.bottom, b.bottom)};
    if (r.right <= r.left || r.bottom <= r.top) return HostRect{};
    return r;
}

bool Empty(const HostRect& r) { return r.right <= r.left || r.bottom <= r.top; }

// Whether pixel (x, y) lies in the ellipse inscribed in `box` (pixel centres are tested).
bool InEllipse(const HostRect& box, int x, int y) {
    const double rx = box.width() / 2.0, ry = box.height() / 2.0;
    const double dx = (x + 0.5 - (box.left + rx)) / rx;
    const double dy = (y + 0.5 - (box.top + ry)) / ry;
    return dx * dx + dy * dy <= 1.0;
}

}  // namespace

HostRect HeadlessHost::ScreenRectOf(const Window& w) const {
    int x = w.x, y = w.y;
    for (const Window* p = Any(w.parent); p; p = Any(p->parent)) {
        x += p->x;
        y += p->y;
    }
    return HostRect{x, y, x + w.width, y + w.height};
}

bool HeadlessHost::InsideShapes(const Window& w, int sx, int sy) const {
    for (const Window* c = &w; c; c = Any(c->parent)) {
        if (Empty(c->shape)) continue;
        const HostRect r = ScreenRectOf(*c);
        if (!InEllipse(c->shape, sx - r.left, sy - r.top)) return false;
    }
    return true;
}

void HeadlessHost::ComposeWindow(const Window& w, const HostRect& clip, std::uint32_t* out) {
    const HostRect outer = ScreenRectOf(w);
    const HostRect area = Clip(outer, clip);
    if (Empty(area)) return;
    bool shaped = false;
    for (const Window* c = &w; c; c = Any(c->parent)) shaped = shaped || !Empty(c->shape);
    for (int sy = area.top; sy < area.bottom; ++sy) {
        const std::uint32_t* src =
            w.shown.data() + static_cast<std::size_t>(sy - outer.top) * w.width - outer.left;
        std::uint32_t* dst = out + static_cast<std::size_t>(sy) * width_;
        if (!shaped) {
            std::memcpy(dst + area.left, src + area.left,
                        sizeof(std::uint32_t) * static_cast<std::size_t>(area.width()));
            continue;
        }
        for (int sx = area.left; sx < area.right; ++sx)
            if (InsideShapes(w, sx, sy)) dst[sx] = src[sx];
    }
    for (auto it = w.children.rbegin(); it != w.children.rend(); ++it) {
        const Window* kid = Live(*it);
        if (kid && kid->visible) ComposeWindow(*kid, area, out);
    }
}

std::vector<std::uint32_t> HeadlessHost::ComposeScreen() {
    std::vector<std::uint32_t> out(static_cast<std::size_t>(width_) * height_);
    for (int y = 0; y < height_; ++y)
        std::memcpy(out.data() + static_cast<std::size_t>(y) * width_, desktop_.row(y),
                    sizeof(std::uint32_t) * static_cast<std::size_t>(width_));
    const HostRect screen{0, 0, width_, height_};
    for (auto it = top_order_.rbegin(); it != top_order_.rend(); ++it) {
        const Window* w = Live(*it);
        if (w && w->visible) ComposeWindow(*w, screen, out.data());
    }
    if (any_overlay_) {
        for (std::size_t i = 0; i < out.size(); ++i)
            if (overlay_mask_[i]) out[i] = overlay_[i];
    }
    return out;
}

std::uint32_t HeadlessHost::ScreenPixel(int x, int y) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
    return ComposeScreen()[static_cast<std::size_t>(y) * width_ + x];
}

bool HeadlessHost::ReadScreen(std::uint32_t* dst, int dst_stride, int x, int y, int w, int h) {
    const HostRect want{x, y, x + w, y + h};
    const HostRect part = Clip(want, HostRect{0, 0, width_, height_});
    if (!dst || Empty(part)) return false;
    const std::vector<std::uint32_t> screen = ComposeScreen();
    for (int sy = part.top; sy < part.bottom; ++sy)
        std::memcpy(dst + static_cast<std::ptrdiff_t>(sy - y) * dst_stride + (part.left - x),
                    screen.data() + static_cast<std::size_t>(sy) * width_ + part.left,
                    sizeof(std::uint32_t) * static_cast<std::size_t>(part.width()));
    return true;
}

void HeadlessHost::WriteScreen(const std::uint32_t* src, int src_stride, int x, int y, int w,
                               int h) {
    const HostRect part = Clip(HostRect{x, y, x + w, y + h}, HostRect{0, 0, width_, height_});
    if (!src || Empty(part)) return;
    for (int sy = part.top; sy < part.bottom; ++sy) {
        const std::size_t row = static_cast<std::size_t>(sy) * width_;
        const std::uint32_t* from = src + static_cast<std::ptrdiff_t>(sy - y) * src_stride - x;
        for (int sx = part.left; sx < part.right; ++sx) {
            overlay_[row + sx] = from[sx];
            overlay_mask_[row + sx] = 1;
        }
    }
    any_overlay_ = true;
}

void HeadlessHost::ClearOverlay(const HostRect& screen_rect) {
    const HostRect part = Clip(screen_rect, HostRect{0, 0, width_, height_});
    for (int sy = part.top; sy < part.bottom; ++sy)
        std::memset(overlay_mask_.data() + static_cast<std::size_t>(sy) * width_ + part.left, 0,
                    static_cast<std::size_t>(part.width()));
}

void HeadlessHost::Present(HostWindowId id, const HostRect* rects, int count) {
    Window* w = Live(id);
    if (!w || !w->ours) return;
    ++w->present_count;
    w->last_present.clear();
    const HostRect bounds{0, 0, w->width, w->height};
    const HostRect on_screen = ScreenRectOf(*w);
    for (int i = 0; rects && i < count; ++i) {
        const HostRect r = Clip(rects[i], bounds);
        if (Empty(r)) continue;
        w->last_present.push_back(r);
        for (int y = r.top; y < r.bottom; ++y) {
            const std::size_t at = static_cast<std::size_t>(y) * w->width + r.left;
            std::memcpy(w->shown.data() + at, w->pixels.data() + at,
                        sizeof(std::uint32_t) * static_cast<std::size_t>(r.width()));
        }
        // Presented pixels cover what was drawn straight onto the screen there.
        if (any_overlay_ && w->visible)
            ClearOverlay(HostRect{on_screen.left + r.left, on_screen.top + r.top,
                                  on_screen.left + r.right, on_screen.top + r.bottom});
    }
}

}  // namespace hosts
