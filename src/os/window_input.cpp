// Cursor display count, the saver-running declaration with its input grab, window regions,
// and the reset of the whole window system.
#include <algorithm>
#include <vector>

#include "os/gdi.h"
#include "os/window_internal.h"

namespace os {

namespace {
int g_cursor_count = 0;
bool g_saver_running = false;
HWND g_grab_target = 0;  // the window that should hold keyboard and pointer, 0 for none
bool g_grab_held = false;  // the host holds both for g_grab_target

bool CursorVisible() { return g_cursor_count >= 0; }

// Our topmost visible top-level window, in the host's stacking order.
HWND TopmostVisibleOurs() {
    for (HostWindowId id : CurrentHost().TopLevelWindows()) {
        const detail::OurWindow* w = detail::Find(static_cast<HWND>(id));
        if (w && w->visible && !w->host_gone && w->parent == 0) return w->hwnd;
    }
    return 0;
}
}  // namespace

namespace detail {

void UpdateInputGrab() {
    if (!HasHost()) return;
    Host& host = CurrentHost();
    const HWND target = g_saver_running ? TopmostVisibleOurs() : 0;
    if (target == 0) {
        if (g_grab_target != 0) host.ReleaseInput();
        g_grab_target = 0;
        g_grab_held = false;
        return;
    }
    // A grab refused now (another program holds the input) is tried again on every pass of
    // the message loop (KeepInputGrab); the host answers at once while it holds it.
    g_grab_target = target;
    g_grab_held = host.GrabInput(static_cast<HostWindowId>(target));
}

void KeepInputGrab() {
    if (g_grab_target == 0 || !HasHost()) return;
    g_grab_held = CurrentHost().GrabInput(static_cast<HostWindowId>(g_grab_target));
}

bool InputGrabPending() { return g_grab_target != 0 && !g_grab_held; }

HWND InputGrabTarget() { return g_grab_target; }

void PutBackAfterOutsideChange(HWND hwnd, HostEvent::Type change) {
    OurWindow* w = Find(hwnd);
    // A window of ours inside another window (the preview) is left where it was put.
    if (!w || !w->visible || w->host_gone || w->parent != 0 || !g_saver_running) return;
    Host& host = CurrentHost();
    if (change == HostEvent::Type::Reparented) host.Reparent(static_cast<HostWindowId>(hwnd), 0);
    if (change != HostEvent::Type::Unmapped)
        MoveHostedWindow(hwnd, w->x, w->y, w->surface.width(), w->surface.height());
    host.ShowWindow(static_cast<HostWindowId>(hwnd), true);
    w->present_all = true;
    // Showing it raised it: our topmost windows that stood above it go back on top, in
    // their order.
    std::vector<const OurWindow*> above;
    for (const auto& [h, other] : Windows())
        if (other.get() != w && other->visible && !other->host_gone && other->parent == 0 &&
            (other->ex_style & WS_EX_TOPMOST) && other->z_seq > w->z_seq)
            above.push_back(other.get());
    std::sort(above.begin(), above.end(),
              [](const OurWindow* a, const OurWindow* b) { return a->z_seq < b->z_seq; });
    for (const OurWindow* other : above) host.SetTopmost(static_cast<HostWindowId>(other->hwnd));
    UpdateInputGrab();
}

void ApplyCursorTo(HWND hwnd) {
    CurrentHost().SetCursorVisible(static_cast<HostWindowId>(hwnd), CursorVisible());
}

}  // namespace detail

int ShowCursor(BOOL show) {
    const bool was_visible = CursorVisible();
    g_cursor_count += show ? 1 : -1;
    if (CursorVisible() != was_visible && HasHost()) {
        for (const auto& [hwnd, w] : detail::Windows())
            if (!w->host_gone) detail::ApplyCursorTo(hwnd);
    }
    return g_cursor_count;
}

int CursorDisplayCount() { return g_cursor_count; }

BOOL SystemParametersInfoA(UINT action, UINT param, void* pv, UINT win_ini) {
    (void)win_ini;  // there is no user profile to update and nobody to tell
    if (action != SPI_SCREENSAVERRUNNING) return 0;
    const BOOL previous = g_saver_running ? 1 : 0;
    g_saver_running = param != 0;
    if (pv) *static_cast<BOOL*>(pv) = previous;
    detail::UpdateInputGrab();
    return 1;
}

bool SaverDeclaredRunning() { return g_saver_running; }

int SetWindowRgn(HWND hwnd, HRGN region, BOOL redraw) {
    (void)redraw;  // the host redraws a reshaped window itself
    detail::OurWindow* w = detail::Find(hwnd);
    if (!w || w->host_gone) return 0;
    HostRect shape;  // empty: no cut
    if (region != 0) {
        Rect r;
        if (!RegionEllipse(region, &r)) return 0;
        shape = HostRect{r.left, r.top, r.right, r.bottom};
    }
    CurrentHost().SetEllipticShape(static_cast<HostWindowId>(hwnd), shape);
    // The window now owns the region; the one it replaces is freed.
    if (w->region != 0 && w->region != region) DeleteObject(w->region);
    w->region = region;
    return 1;
}

void ResetWindowSystem() {
    detail::Windows().clear();
    g_cursor_count = 0;
    g_saver_running = false;
    g_grab_target = 0;
    g_grab_held = false;
}

}  // namespace os
