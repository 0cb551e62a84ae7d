#include "hosts/x11/x11_state.h"
// (first: the host interface must come before Xlib's macros)

#include <X11/Xatom.h>

#include <algorithm>
#include <cstring>
#include <ctime>

#include "hosts/x11/x11_text.h"

namespace hosts::x11 {

std::uint64_t MonotonicMs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::uint64_t>(now.tv_sec) * 1000u +
           static_cast<std::uint64_t>(now.tv_nsec) / 1000000u;
}

void Atoms::Load(Display* display) {
    const char* names[] = {"WM_PROTOCOLS",
                           "WM_DELETE_WINDOW",
                           "WM_STATE",
                           "UTF8_STRING",
                           "_NET_WM_NAME",
                           "_NET_WM_ICON",
                           "_NET_WM_STATE",
                           "_NET_WM_STATE_ABOVE",
                           "_NET_ACTIVE_WINDOW",
                           "_NET_WM_WINDOW_TYPE",
                           "_NET_WM_WINDOW_TYPE_DIALOG",
                           "_MOTIF_WM_HINTS"};
    Atom* targets[] = {&wm_protocols,       &wm_delete_window,  &wm_state,
                       &utf8_string,        &net_wm_name,       &net_wm_icon,
                       &net_wm_state,       &net_wm_state_above, &net_active_window,
                       &net_wm_window_type, &net_wm_window_type_dialog, &motif_wm_hints};
    constexpr int kCount = static_cast<int>(sizeof(names) / sizeof(names[0]));
    Atom atoms[kCount];
    XInternAtoms(display, const_cast<char**>(names), kCount, False, atoms);
    for (int i = 0; i < kCount; ++i) *targets[i] = atoms[i];
}

State::~State() {
    if (!display) return;
    if (keyboard_grab || pointer_grab) {
        XUngrabKeyboard(display, CurrentTime);
        XUngrabPointer(display, CurrentTime);
    }
    write_image.reset();
    for (auto& [xid, window] : windows) {
        window.image.reset();
        if (window.alive) XDestroyWindow(display, xid);
    }
    windows.clear();
    if (blank_cursor) XFreeCursor(display, blank_cursor);
    if (window_gc) XFreeGC(display, window_gc);
    if (root_gc) XFreeGC(display, root_gc);
    XCloseDisplay(display);
}

HostedWindow* State::Find(os::HostWindowId id) {
    const auto it = windows.find(static_cast<Window>(id));
    return it == windows.end() ? nullptr : &it->second;
}

std::uint32_t* State::Pixels(HostedWindow& window, int* stride) {
    if (!window.converted.empty()) {
        if (stride) *stride = window.width;
        return window.converted.data();
    }
    XImage* image = window.image->image();
    if (stride) *stride = image->bytes_per_line / 4;
    return reinterpret_cast<std::uint32_t*>(image->data);
}

void State::ConvertToImage(HostedWindow& window, int x, int y, int w, int h) {
    if (window.converted.empty()) return;
    XImage* image = window.image->image();
    for (int row = y; row < y + h; ++row) {
        const std::uint32_t* src =
            window.converted.data() + static_cast<std::size_t>(row) * window.width;
        for (int col = x; col < x + w; ++col) XPutPixel(image, col, row, format.Encode(src[col]));
    }
}

void State::PresentRect(HostedWindow& window, os::HostRect rect) {
    if (!window.alive || !window.image) return;
    rect.left = std::max(rect.left, 0);
    rect.top = std::max(rect.top, 0);
    rect.right = std::min(rect.right, window.width);
    rect.bottom = std::min(rect.bottom, window.height);
    if (rect.width() <= 0 || rect.height() <= 0) return;
    ConvertToImage(window, rect.left, rect.top, rect.width(), rect.height());
    window.image->Put(window.xid, window_gc, rect.left, rect.top, rect.width(), rect.height(),
                      rect.left, rect.top);
}

void State::ResizeImage(HostedWindow& window, int width, int height) {
    width = std::max(width, 1);
    height = std::max(height, 1);
    auto image = ImageBuffer::Create(display, visual, depth, width, height, shm);
    if (!image) return;  // out of memory: keep the old pixels and size
    const int keep_w = std::min(width, window.width), keep_h = std::min(height, window.height);
    if (format.IsDirect()) {
        if (window.image) {
            XImage* from = window.image->image();
            XImage* to = image->image();
            for (int row = 0; row < keep_h; ++row) {
                std::memcpy(to->data + static_cast<std::size_t>(row) * to->bytes_per_line,
                            from->data + static_cast<std::size_t>(row) * from->bytes_per_line,
                            static_cast<std::size_t>(keep_w) * 4);
            }
        }
    } else {
        std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * height, 0);
        for (int row = 0; row < keep_h && !window.converted.empty(); ++row) {
            std::copy_n(window.converted.begin() + static_cast<std::ptrdiff_t>(row) * window.width,
                        keep_w, pixels.begin() + static_cast<std::ptrdiff_t>(row) * width);
        }
        window.converted = std::move(pixels);
    }
    window.image = std::move(image);
    window.width = width;
    window.height = height;
}

std::optional<std::vector<unsigned char>> State::GetProperty(Window window, Atom property,
                                                             Atom* type, int* format_out,
                                                             unsigned long* items) {
    Atom actual_type = 0;
    int actual_format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, window, property, 0, 1L << 24, False, AnyPropertyType,
                           &actual_type, &actual_format, &count, &after, &data) != Success) {
        return std::nullopt;
    }
    std::optional<std::vector<unsigned char>> result;
    if (actual_type != 0 && data) {
        const std::size_t unit = actual_format == 32 ? sizeof(long)
                                 : actual_format == 16 ? sizeof(short)
                                                       : 1;
        result.emplace(data, data + count * unit);
        if (type) *type = actual_type;
        if (format_out) *format_out = actual_format;
        if (items) *items = count;
    }
    if (data) XFree(data);
    return result;
}

bool State::ManagedByWindowManager(const HostedWindow& window) {
    if (window.kind != os::WindowKind::Dialog || window.embedded) return false;
    // A window manager is the one client that redirects the root's children.
    XWindowAttributes attributes;
    return XGetWindowAttributes(display, root, &attributes) &&
           (attributes.all_event_masks & SubstructureRedirectMask) != 0;
}

bool State::HasProperty(Window window, Atom property) {
    Atom type = 0;
    int actual_format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    const bool ok = XGetWindowProperty(display, window, property, 0, 0, False, AnyPropertyType,
                                       &type, &actual_format, &count, &after, &data) == Success;
    if (data) XFree(data);
    return ok && type != 0;
}

void State::SetTitleProperties(Window window, const std::string& title) {
    const std::string utf8 = IsValidUtf8(title) ? title : Utf8FromLatin1(title);
    const std::string latin1 = Latin1FromUtf8(title);
    XChangeProperty(display, window, XA_WM_NAME, XA_STRING, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(latin1.data()),
                    static_cast<int>(latin1.size()));
    XChangeProperty(display, window, atoms.net_wm_name, atoms.utf8_string, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(utf8.data()),
                    static_cast<int>(utf8.size()));
}

void State::KeepTopmostOnTop(std::uint64_t now_ms) {
    // Two programs that both keep a window on top would otherwise raise in turn forever.
    if (now_ms < NextRaiseCheckMs()) {
        raise_check_due = true;
        return;
    }
    raise_check_due = false;
    Window root_return = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display, root, &root_return, &parent, &children, &count)) return;
    const auto keeps_on_top = [&](Window xid) {
        const HostedWindow* ours = Find(static_cast<os::HostWindowId>(xid));
        return ours && ours->topmost && ours->alive && !ours->embedded &&
               ours->kind == os::WindowKind::Popup;
    };
    // Top to bottom: a topmost window is covered once any other window above it shows.
    bool other_above = false;
    std::vector<Window> covered;
    for (unsigned i = count; i-- > 0;) {
        if (keeps_on_top(children[i])) {
            if (other_above) covered.push_back(children[i]);
            continue;
        }
        XWindowAttributes attributes;
        if (!other_above && XGetWindowAttributes(display, children[i], &attributes) &&
            attributes.map_state == IsViewable) {
            other_above = true;
        }
    }
    if (children) XFree(children);
    // Raised lowest first, they keep their order among themselves.
    for (auto it = covered.rbegin(); it != covered.rend(); ++it) XRaiseWindow(display, *it);
    if (!covered.empty()) {
        last_raise_ms = now_ms;
        XFlush(display);
    }
}

}  // namespace hosts::x11
