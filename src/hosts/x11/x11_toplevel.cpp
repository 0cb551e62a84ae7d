// Every window of the display, ours and other programs': the top-level walk, titles,
// existence, rectangles and the active window. A window manager puts each program's window
// inside a frame of its own; the walk reports the program's window (the one carrying
// WM_STATE) so that titles are those the programs set.
#include "hosts/x11/x11_state.h"
// (first: the host interface must come before Xlib's macros)

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <cstring>

#include "hosts/x11/x11_text.h"

namespace hosts {

namespace {

std::vector<Window> Children(Display* display, Window window, Window* parent_out = nullptr) {
    Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    std::vector<Window> result;
    if (XQueryTree(display, window, &root, &parent, &children, &count)) {
        result.assign(children, children + count);
        if (parent_out) *parent_out = parent;
    }
    if (children) XFree(children);
    return result;
}

// The program's window inside a window-manager frame (searched a few levels deep), or the
// window itself when it is a program's window or no client is found.
Window ClientWindowOf(x11::State& s, Window top) {
    if (s.Find(static_cast<os::HostWindowId>(top)) || s.HasProperty(top, s.atoms.wm_state)) {
        return top;
    }
    std::vector<Window> level = Children(s.display, top);
    for (int depth = 0; depth < 4 && !level.empty(); ++depth) {
        std::vector<Window> next;
        for (Window child : level) {
            if (s.HasProperty(child, s.atoms.wm_state)) return child;
            for (Window grandchild : Children(s.display, child)) next.push_back(grandchild);
        }
        level = std::move(next);
    }
    return top;
}

// The ancestor of window that is a child of the root (window itself when it is one); 0 when
// the window does not exist.
Window TopLevelAncestor(x11::State& s, Window window) {
    for (int guard = 0; guard < 64; ++guard) {
        Window parent = 0;
        Window root = 0, *children = nullptr;
        unsigned count = 0;
        if (!XQueryTree(s.display, window, &root, &parent, &children, &count)) return 0;
        if (children) XFree(children);
        if (parent == s.root || parent == 0) return window;
        window = parent;
    }
    return window;
}

}  // namespace

std::vector<os::HostWindowId> X11Host::TopLevelWindows() {
    const std::vector<Window> bottom_to_top = Children(s_->display, s_->root);
    std::vector<os::HostWindowId> result;
    result.reserve(bottom_to_top.size());
    for (auto it = bottom_to_top.rbegin(); it != bottom_to_top.rend(); ++it) {
        result.push_back(static_cast<os::HostWindowId>(ClientWindowOf(*s_, *it)));
    }
    return result;
}

bool X11Host::WindowExists(os::HostWindowId id) {
    if (id == 0) return false;
    XWindowAttributes attributes;
    return XGetWindowAttributes(s_->display, static_cast<Window>(id), &attributes) != 0;
}

std::optional<std::string> X11Host::WindowTitle(os::HostWindowId id) {
    if (!WindowExists(id)) return std::nullopt;
    const auto window = static_cast<Window>(id);
    Atom type = 0;
    int format = 0;
    if (auto utf8 = s_->GetProperty(window, s_->atoms.net_wm_name, &type, &format, nullptr);
        utf8 && format == 8) {
        return std::string(utf8->begin(), utf8->end());
    }
    if (auto name = s_->GetProperty(window, XA_WM_NAME, &type, &format, nullptr);
        name && format == 8) {
        std::string text(name->begin(), name->end());
        return type == XA_STRING ? x11::Utf8FromLatin1(text) : text;
    }
    return std::string();
}

std::optional<os::HostRect> X11Host::WindowRect(os::HostWindowId id) {
    if (id == 0) return std::nullopt;
    Window window = static_cast<Window>(id);
    // A program's window managed in a frame: the frame is its outer rectangle.
    const Window top = TopLevelAncestor(*s_, window);
    if (top == 0) return std::nullopt;
    if (top != window && s_->HasProperty(window, s_->atoms.wm_state)) window = top;
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(s_->display, window, &attributes)) return std::nullopt;
    int x = 0, y = 0;
    Window child = 0;
    if (!XTranslateCoordinates(s_->display, window, s_->root, 0, 0, &x, &y, &child)) {
        return std::nullopt;
    }
    const int border = attributes.border_width;
    return os::HostRect{x - border, y - border, x + attributes.width + border,
                        y + attributes.height + border};
}

os::HostWindowId X11Host::ForegroundWindow() {
    Atom type = 0;
    int format = 0;
    unsigned long items = 0;
    if (auto active = s_->GetProperty(s_->root, s_->atoms.net_active_window, &type, &format, &items);
        active && format == 32 && items >= 1) {
        unsigned long value = 0;
        std::memcpy(&value, active->data(), sizeof value);
        if (value != 0) return static_cast<os::HostWindowId>(value);
    }
    Window focus = 0;
    int revert = 0;
    XGetInputFocus(s_->display, &focus, &revert);
    if (focus == None || focus == PointerRoot) {
        // Keys go to the window under the pointer.
        Window root = 0, child = 0;
        int rx = 0, ry = 0, wx = 0, wy = 0;
        unsigned mask = 0;
        if (!XQueryPointer(s_->display, s_->root, &root, &child, &rx, &ry, &wx, &wy, &mask) ||
            child == 0) {
            return 0;
        }
        return static_cast<os::HostWindowId>(ClientWindowOf(*s_, child));
    }
    if (s_->Find(static_cast<os::HostWindowId>(focus))) return static_cast<os::HostWindowId>(focus);
    const Window top = TopLevelAncestor(*s_, focus);
    return top ? static_cast<os::HostWindowId>(ClientWindowOf(*s_, top)) : 0;
}

}  // namespace hosts
