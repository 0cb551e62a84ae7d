// Our windows: creation, destruction, visibility, geometry, pixels and event delivery.
#include <algorithm>
#include <cstring>

#include "os/gdi.h"
#include "os/window_internal.h"

namespace os {
namespace detail {

namespace {
std::uint64_t g_next_z_seq = 1;

LONG BaseStyle(WindowKind kind) {
    return kind == WindowKind::Dialog ? (WS_CAPTION | WS_SYSMENU) : WS_POPUP;
}

void BindToHost(OurWindow& w, int width, int height) {
    int stride = 0;
    std::uint32_t* pixels = CurrentHost().WindowPixels(static_cast<HostWindowId>(w.hwnd), &stride);
    if (pixels)
        w.surface.BindExternal(pixels, width, height, stride);
    else
        w.surface.Resize(width, height);  // the host keeps no pixels: draw into our own
    w.present_all = true;
}

// Copies the window's pixels into memory of its own, so that the surface stays usable when
// the host's buffer goes away.
void DetachFromHost(OurWindow& w) {
    w.surface.Resize(w.surface.width(), w.surface.height());
}
}  // namespace

std::map<HWND, std::unique_ptr<OurWindow>>& Windows() {
    static std::map<HWND, std::unique_ptr<OurWindow>> windows;
    return windows;
}

OurWindow* Find(HWND hwnd) {
    auto& all = Windows();
    auto it = all.find(hwnd);
    return it == all.end() ? nullptr : it->second.get();
}

std::vector<HWND> ChildrenOf(HWND parent) {
    std::vector<const OurWindow*> kids;
    for (const auto& [h, w] : Windows())
        if (w->parent == parent) kids.push_back(w.get());
    std::sort(kids.begin(), kids.end(),
              [](const OurWindow* a, const OurWindow* b) { return a->z_seq > b->z_seq; });
    std::vector<HWND> out;
    out.reserve(kids.size());
    for (const OurWindow* w : kids) out.push_back(w->hwnd);
    return out;
}

bool IsSelfOrAncestor(HWND ancestor, HWND hwnd) {
    // Parent chains of our windows are acyclic (SetParent refuses cycles); the bound
    // guards against a table that was corrupted anyway.
    for (std::size_t steps = 0; hwnd != 0 && steps <= Windows().size(); ++steps) {
        if (hwnd == ancestor) return true;
        const OurWindow* w = Find(hwnd);
        if (!w) return false;
        hwnd = w->parent;
    }
    return false;
}

std::uint64_t NextZSeq() { return g_next_z_seq++; }

void DeliverEvent(const HostEvent& ev) {
    const HWND hwnd = static_cast<HWND>(ev.window);
    OurWindow* w = Find(hwnd);
    if (!w) return;
    using T = HostEvent::Type;
    switch (ev.type) {
        case T::KeyDown:
            if (w->events) w->events->OnKeyDown(ev.key, ev.shift);
            // The handler may have destroyed the window or replaced its sink.
            w = Find(hwnd);
            if (w && w->events && ev.ch != 0) w->events->OnChar(ev.ch);
            break;
        case T::KeyUp:
            if (w->events) w->events->OnKeyUp(ev.key, ev.shift);
            break;
        case T::ButtonDown:
            if (w->events) w->events->OnMouseDown(ev.button, ev.shift, ev.x, ev.y);
            break;
        case T::ButtonUp:
            if (w->events) w->events->OnMouseUp(ev.button, ev.shift, ev.x, ev.y);
            break;
        case T::Motion:
            if (w->events) w->events->OnMouseMove(ev.buttons, ev.shift, ev.x, ev.y);
            break;
        case T::CloseRequest:
            if (w->events) w->events->OnCloseRequest();
            break;
        case T::Destroyed:
            if (w->host_gone) break;
            w->host_gone = true;
            DetachFromHost(*w);
            UpdateInputGrab();
            if (w->events) w->events->OnHostDestroyed();
            break;
        case T::Expose:
            w->exposed.push_back(Rect{ev.rect.left, ev.rect.top, ev.rect.right, ev.rect.bottom});
            break;
        case T::FocusOut:
            if (w->events) w->events->OnFocusOut();
            break;
        case T::Unmapped:
        case T::Reparented:
        case T::Moved:
            PutBackAfterOutsideChange(hwnd, ev.type);
            break;
        case T::None:
            break;
    }
}

}  // namespace detail

using detail::Find;
using detail::OurWindow;

HWND CreateHostedWindow(const WindowParams& params, WindowEvents* events) {
    HostWindowSpec spec;
    spec.kind = params.kind;
    spec.x = params.x;
    spec.y = params.y;
    spec.width = std::max(1, params.width);
    spec.height = std::max(1, params.height);
    spec.title = params.title;
    const HostWindowId id = CurrentHost().CreateWindow(spec);
    if (id == 0) return 0;
    const HWND hwnd = static_cast<HWND>(id);

    auto w = std::make_unique<OurWindow>();
    w->hwnd = hwnd;
    w->kind = params.kind;
    w->events = events;
    w->style = (params.style | detail::BaseStyle(params.kind)) & ~WS_VISIBLE;
    w->x = spec.x;
    w->y = spec.y;
    w->z_seq = detail::NextZSeq();
    OurWindow& ref = *w;
    detail::Windows()[hwnd] = std::move(w);
    detail::BindToHost(ref, spec.width, spec.height);
    detail::ApplyCursorTo(hwnd);
    return hwnd;
}

void DestroyHostedWindow(HWND hwnd) {
    if (!Find(hwnd)) return;
    // Children go with their parent, innermost first.
    for (HWND child : detail::ChildrenOf(hwnd)) DestroyHostedWindow(child);
    if (const HRGN region = Find(hwnd)->region) DeleteObject(region);
    detail::Windows().erase(hwnd);
    CurrentHost().DestroyWindow(static_cast<HostWindowId>(hwnd));
    detail::UpdateInputGrab();
}

bool IsOurWindow(HWND hwnd) { return Find(hwnd) != nullptr; }

Surface* WindowSurface(HWND hwnd) {
    OurWindow* w = Find(hwnd);
    return w ? &w->surface : nullptr;
}

void ShowHostedWindow(HWND hwnd, bool visible) {
    OurWindow* w = Find(hwnd);
    if (!w) return;
    w->visible = visible;
    if (visible) w->present_all = true;
    if (!w->host_gone) CurrentHost().ShowWindow(static_cast<HostWindowId>(hwnd), visible);
    detail::UpdateInputGrab();
}

bool IsWindowVisible(HWND hwnd) {
    const OurWindow* w = Find(hwnd);
    return w && w->visible;
}

void MoveHostedWindow(HWND hwnd, int x, int y, int width, int height) {
    OurWindow* w = Find(hwnd);
    if (!w) return;
    width = std::max(1, width);
    height = std::max(1, height);
    w->x = x;
    w->y = y;
    if (w->host_gone) {
        w->surface.Resize(width, height);
        return;
    }
    Host& host = CurrentHost();
    const HostWindowId id = static_cast<HostWindowId>(hwnd);
    Surface& s = w->surface;
    if (width == s.width() && height == s.height()) {
        host.MoveResizeWindow(id, x, y, width, height);
        int stride = 0;
        std::uint32_t* pixels = host.WindowPixels(id, &stride);
        if (pixels && (s.height() == 0 || pixels != s.row(0) || stride != s.stride()))
            s.BindExternal(pixels, width, height, stride);
        return;
    }
    // The host's buffer is replaced on a resize: keep the old pixels that still fit.
    const int keep_w = std::min(width, s.width()), keep_h = std::min(height, s.height());
    std::vector<std::uint32_t> kept(static_cast<std::size_t>(std::max(0, keep_w)) *
                                    std::max(0, keep_h));
    for (int row = 0; row < keep_h; ++row)
        std::memcpy(kept.data() + static_cast<std::size_t>(row) * keep_w, s.row(row),
                    sizeof(std::uint32_t) * keep_w);
    host.MoveResizeWindow(id, x, y, width, height);
    detail::BindToHost(*w, width, height);
    for (int row = 0; row < keep_h; ++row)
        std::memcpy(s.row(row), kept.data() + static_cast<std::size_t>(row) * keep_w,
                    sizeof(std::uint32_t) * keep_w);
}

void SetHostedWindowEvents(HWND hwnd, WindowEvents* events) {
    if (OurWindow* w = Find(hwnd)) w->events = events;
}

void SetHostedWindowIcon(HWND hwnd, const std::vector<IconImage>& images) {
    OurWindow* w = Find(hwnd);
    if (w && !w->host_gone) CurrentHost().SetIcon(static_cast<HostWindowId>(hwnd), images);
}

void FocusHostedWindow(HWND hwnd) {
    OurWindow* w = Find(hwnd);
    if (w && !w->host_gone) CurrentHost().SetFocus(static_cast<HostWindowId>(hwnd));
}

}  // namespace os
