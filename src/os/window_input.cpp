// Cursor display count, the saver-running declaration with its input grab, window regions,
// and the reset of the whole window system.
#include "os/gdi.h"
#include "os/window_internal.h"

namespace os {

namespace {
int g_cursor_count = 0;
bool g_saver_running = false;
HWND g_grabbed = 0;  // the window holding keyboard and pointer, 0 for none

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
    if (target == g_grabbed) return;
    if (target == 0) {
        host.ReleaseInput();
        g_grabbed = 0;
        return;
    }
    if (host.GrabInput(static_cast<HostWindowId>(target))) {
        g_grabbed = target;
    } else {
        // Refused (another program holds the input): try again at the next change.
        if (g_grabbed != 0) host.ReleaseInput();
        g_grabbed = 0;
    }
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
    g_grabbed = 0;
}

}  // namespace os
