// The classic window calls: styles, parents, the window walk, titles, placement and
// rectangles. Handles of other programs' windows are answered from the host.
#include <algorithm>
#include <climits>
#include <cstring>

#include "os/window_internal.h"

namespace os {

using detail::Find;
using detail::OurWindow;

namespace {

// The screen's pseudo window. Host window ids stay below it (X11 ids use 29 bits; the
// headless host counts up from a small number).
constexpr HWND kDesktopWindow = 0x7FFFFFF0;

HostWindowId HostId(HWND hwnd) { return static_cast<HostWindowId>(hwnd); }

bool IsLiveOurs(const OurWindow* w) { return w && !w->host_gone; }

// The windows of hwnd's own level, topmost first: its siblings for a child of ours, every
// top-level window of the host otherwise. Empty when the window is unknown.
std::vector<HWND> LevelOf(HWND hwnd) {
    const OurWindow* w = Find(hwnd);
    if (w && w->parent != 0) return detail::ChildrenOf(w->parent);
    std::vector<HWND> level;
    if (hwnd == kDesktopWindow) {
        level.push_back(hwnd);
        return level;
    }
    Host& host = CurrentHost();
    const std::vector<HostWindowId> tops = host.TopLevelWindows();
    if (std::find(tops.begin(), tops.end(), HostId(hwnd)) != tops.end()) {
        for (HostWindowId id : tops) level.push_back(static_cast<HWND>(id));
    } else if (w || host.WindowExists(HostId(hwnd))) {
        // A window whose siblings we cannot see (e.g. a child inside another program).
        level.push_back(hwnd);
    }
    return level;
}

}  // namespace

LONG GetWindowLongA(HWND hwnd, int index) {
    const OurWindow* w = Find(hwnd);
    if (!w) return 0;
    if (index == GWL_STYLE) return w->style | (w->visible ? WS_VISIBLE : 0);
    if (index == GWL_EXSTYLE) return w->ex_style;
    return 0;
}

LONG SetWindowLongA(HWND hwnd, int index, LONG value) {
    OurWindow* w = Find(hwnd);
    if (!w) return 0;
    if (index == GWL_STYLE) {
        const LONG previous = GetWindowLongA(hwnd, index);
        // Visibility is changed by showing the window, not through the style word.
        w->style = value & ~WS_VISIBLE;
        return previous;
    }
    if (index == GWL_EXSTYLE) {
        const LONG previous = w->ex_style;
        w->ex_style = value;
        return previous;
    }
    return 0;
}

HWND SetParent(HWND child, HWND new_parent) {
    OurWindow* w = Find(child);
    if (!IsLiveOurs(w) || new_parent == 0) return 0;
    Host& host = CurrentHost();
    const HWND previous = w->parent != 0 ? w->parent : kDesktopWindow;
    if (new_parent == kDesktopWindow) {
        if (w->parent != 0 && !host.Reparent(HostId(child), 0)) return 0;
        w->parent = 0;
    } else {
        // A window cannot go inside itself or one of its own children.
        if (detail::IsSelfOrAncestor(child, new_parent)) return 0;
        const OurWindow* p = Find(new_parent);
        if (p ? p->host_gone : !host.WindowExists(HostId(new_parent))) return 0;
        if (!host.Reparent(HostId(child), HostId(new_parent))) return 0;
        w->parent = new_parent;
    }
    w->z_seq = detail::NextZSeq();
    w->present_all = true;
    detail::UpdateInputGrab();
    return previous;
}

HWND GetParent(HWND hwnd) {
    const OurWindow* w = Find(hwnd);
    return w ? w->parent : 0;
}

HWND GetWindow(HWND hwnd, UINT cmd) {
    if (cmd == GW_CHILD) {
        if (hwnd == kDesktopWindow) {
            const std::vector<HostWindowId> tops = CurrentHost().TopLevelWindows();
            return tops.empty() ? 0 : static_cast<HWND>(tops.front());
        }
        const std::vector<HWND> kids = detail::ChildrenOf(hwnd);
        return kids.empty() || hwnd == 0 ? 0 : kids.front();
    }
    if (cmd == GW_OWNER || hwnd == 0) return 0;  // our windows have no owners
    const std::vector<HWND> level = LevelOf(hwnd);
    if (level.empty()) return 0;
    switch (cmd) {
        case GW_HWNDFIRST:
            return level.front();
        case GW_HWNDLAST:
            return level.back();
        case GW_HWNDNEXT:
        case GW_HWNDPREV: {
            auto it = std::find(level.begin(), level.end(), hwnd);
            if (it == level.end()) return 0;
            if (cmd == GW_HWNDNEXT) return ++it == level.end() ? 0 : *it;
            return it == level.begin() ? 0 : *--it;
        }
        default:
            return 0;
    }
}

int GetWindowTextLengthA(HWND hwnd) {
    if (hwnd == 0 || hwnd == kDesktopWindow) return 0;
    const std::optional<std::string> title = CurrentHost().WindowTitle(HostId(hwnd));
    if (!title) return 0;
    return static_cast<int>(std::min<std::size_t>(title->size(), INT_MAX - 1));
}

int GetWindowTextA(HWND hwnd, char* buffer, int max_count) {
    if (!buffer || max_count <= 0) return 0;
    buffer[0] = '\0';
    if (hwnd == 0 || hwnd == kDesktopWindow) return 0;
    const std::optional<std::string> title = CurrentHost().WindowTitle(HostId(hwnd));
    if (!title) return 0;
    const std::size_t room = static_cast<std::size_t>(max_count) - 1;
    const std::size_t n = std::min(title->size(), room);
    std::memcpy(buffer, title->data(), n);
    buffer[n] = '\0';
    return static_cast<int>(n);
}

BOOL SetWindowTextA(HWND hwnd, const char* text) {
    const OurWindow* w = Find(hwnd);
    if (!IsLiveOurs(w)) return 0;
    CurrentHost().SetTitle(HostId(hwnd), text ? text : "");
    return 1;
}

BOOL SetWindowPos(HWND hwnd, HWND insert_after, int x, int y, int cx, int cy, UINT flags) {
    OurWindow* w = Find(hwnd);
    if (!IsLiveOurs(w)) return 0;
    if (!(flags & SWP_NOZORDER)) {
        if (insert_after == HWND_TOPMOST) {
            CurrentHost().SetTopmost(HostId(hwnd));
            w->ex_style |= WS_EX_TOPMOST;
            w->z_seq = detail::NextZSeq();
        } else if (insert_after == HWND_NOTOPMOST) {
            w->ex_style &= ~WS_EX_TOPMOST;
        }
    }
    if (!(flags & SWP_NOMOVE) || !(flags & SWP_NOSIZE)) {
        const int nx = (flags & SWP_NOMOVE) ? w->x : x;
        const int ny = (flags & SWP_NOMOVE) ? w->y : y;
        const int ncx = (flags & SWP_NOSIZE) ? w->surface.width() : cx;
        const int ncy = (flags & SWP_NOSIZE) ? w->surface.height() : cy;
        MoveHostedWindow(hwnd, nx, ny, ncx, ncy);
    }
    if (flags & SWP_SHOWWINDOW) ShowHostedWindow(hwnd, true);
    if (flags & SWP_HIDEWINDOW) ShowHostedWindow(hwnd, false);
    detail::UpdateInputGrab();
    return 1;
}

BOOL GetWindowRect(HWND hwnd, RECT* rect) {
    if (!rect) return 0;
    Host& host = CurrentHost();
    if (hwnd == kDesktopWindow) {
        *rect = RECT{0, 0, host.ScreenWidth(), host.ScreenHeight()};
        return 1;
    }
    if (hwnd == 0) return 0;
    const std::optional<HostRect> r = host.WindowRect(HostId(hwnd));
    if (!r) return 0;
    *rect = RECT{r->left, r->top, r->right, r->bottom};
    return 1;
}

BOOL IsWindow(HWND hwnd) {
    if (hwnd == 0) return 0;
    if (hwnd == kDesktopWindow || Find(hwnd)) return 1;
    return CurrentHost().WindowExists(HostId(hwnd)) ? 1 : 0;
}

HWND GetDesktopWindow() { return kDesktopWindow; }

int GetSystemMetrics(int index) {
    switch (index) {
    case SM_CXSCREEN: return CurrentHost().ScreenWidth();
    case SM_CYSCREEN: return CurrentHost().ScreenHeight();
    default: return 0;
    }
}

HWND GetForegroundWindow() { return static_cast<HWND>(CurrentHost().ForegroundWindow()); }

}  // namespace os
