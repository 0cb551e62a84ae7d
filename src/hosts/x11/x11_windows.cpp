// Our windows: creation with the hints each kind needs, their pixels, placement, stacking,
// embedding into other windows and their shape.
#include "hosts/x11/x11_state.h"
// (first: the host interface must come before Xlib's macros)

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/shape.h>

#include <algorithm>

#include "hosts/x11/x11_errors.h"
#include "hosts/x11/x11_shape.h"

namespace hosts {

namespace {

constexpr long kOurEvents = ExposureMask | KeyPressMask | KeyReleaseMask | ButtonPressMask |
                            ButtonReleaseMask | PointerMotionMask | StructureNotifyMask |
                            FocusChangeMask | VisibilityChangeMask;

// Window-manager hints in the layout the Motif hints property has always had.
struct MotifHints {
    unsigned long flags, functions, decorations;
    long input_mode;
    unsigned long status;
};
constexpr unsigned long kMotifFunctions = 1, kMotifDecorations = 2;
constexpr unsigned long kMotifFuncMove = 4, kMotifFuncClose = 32;
constexpr unsigned long kMotifDecorBorder = 2, kMotifDecorTitle = 8, kMotifDecorMenu = 16;

void SetSizeHints(Display* display, const x11::HostedWindow& window) {
    XSizeHints hints{};
    hints.flags = PPosition | USPosition | PWinGravity;
    hints.x = window.x;
    hints.y = window.y;
    hints.win_gravity = NorthWestGravity;  // the requested position is the frame's corner
    if (window.kind == os::WindowKind::Dialog) {
        hints.flags |= PMinSize | PMaxSize;
        hints.min_width = hints.max_width = window.width;
        hints.min_height = hints.max_height = window.height;
    }
    XSetWMNormalHints(display, window.xid, &hints);
}

void SetDialogHints(x11::State& s, Window xid) {
    MotifHints motif{kMotifFunctions | kMotifDecorations, kMotifFuncMove | kMotifFuncClose,
                     kMotifDecorBorder | kMotifDecorTitle | kMotifDecorMenu, 0, 0};
    XChangeProperty(s.display, xid, s.atoms.motif_wm_hints, s.atoms.motif_wm_hints, 32,
                    PropModeReplace, reinterpret_cast<unsigned char*>(&motif), 5);
    XChangeProperty(s.display, xid, s.atoms.net_wm_window_type, XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(&s.atoms.net_wm_window_type_dialog), 1);
}

void SetCommonHints(x11::State& s, Window xid) {
    XWMHints wm_hints{};
    wm_hints.flags = InputHint | StateHint;
    wm_hints.input = True;
    wm_hints.initial_state = NormalState;
    XSetWMHints(s.display, xid, &wm_hints);
    char name[] = "tavross", class_name[] = "TavroSS";
    XClassHint class_hint{name, class_name};
    XSetClassHint(s.display, xid, &class_hint);
    XSetWMProtocols(s.display, xid, &s.atoms.wm_delete_window, 1);
}

}  // namespace

os::HostWindowId X11Host::CreateWindow(const os::HostWindowSpec& spec) {
    x11::HostedWindow window;
    window.kind = spec.kind;
    window.x = spec.x;
    window.y = spec.y;
    window.width = std::max(spec.width, 1);
    window.height = std::max(spec.height, 1);
    s_->ResizeImage(window, window.width, window.height);
    if (!window.image) return 0;

    XSetWindowAttributes attributes{};
    attributes.background_pixmap = None;  // no flash: what was there stays until we present
    attributes.border_pixel = 0;
    attributes.event_mask = kOurEvents;
    attributes.override_redirect = spec.kind == os::WindowKind::Popup ? True : False;
    window.xid = XCreateWindow(s_->display, s_->root, window.x, window.y,
                               static_cast<unsigned>(window.width),
                               static_cast<unsigned>(window.height), 0, CopyFromParent,
                               InputOutput, CopyFromParent,
                               CWBackPixmap | CWBorderPixel | CWEventMask | CWOverrideRedirect,
                               &attributes);
    if (!window.xid) return 0;
    window.parent = s_->root;
    SetCommonHints(*s_, window.xid);
    SetSizeHints(s_->display, window);
    if (spec.kind == os::WindowKind::Dialog) SetDialogHints(*s_, window.xid);
    s_->SetTitleProperties(window.xid, spec.title);
    XFlush(s_->display);
    const auto id = static_cast<os::HostWindowId>(window.xid);
    s_->windows.emplace(window.xid, std::move(window));
    return id;
}

void X11Host::DestroyWindow(os::HostWindowId id) {
    const auto it = s_->windows.find(static_cast<Window>(id));
    if (it == s_->windows.end()) return;
    if (s_->keyboard_grab == it->first || s_->pointer_grab == it->first) ReleaseInput();
    it->second.image.reset();
    if (it->second.alive) XDestroyWindow(s_->display, it->first);
    s_->windows.erase(it);
    std::erase_if(s_->pending, [id](const os::HostEvent& ev) { return ev.window == id; });
    XFlush(s_->display);
}

std::uint32_t* X11Host::WindowPixels(os::HostWindowId id, int* stride) {
    x11::HostedWindow* window = s_->Find(id);
    if (!window || !window->image) return nullptr;
    return s_->Pixels(*window, stride);
}

void X11Host::MoveResizeWindow(os::HostWindowId id, int x, int y, int width, int height) {
    x11::HostedWindow* window = s_->Find(id);
    if (!window) return;
    width = std::max(width, 1);
    height = std::max(height, 1);
    if (width != window->width || height != window->height) s_->ResizeImage(*window, width, height);
    window->x = x;
    window->y = y;
    if (!window->alive) return;
    SetSizeHints(s_->display, *window);
    XMoveResizeWindow(s_->display, window->xid, x, y, static_cast<unsigned>(window->width),
                      static_cast<unsigned>(window->height));
    XFlush(s_->display);
}

void X11Host::ShowWindow(os::HostWindowId id, bool visible) {
    x11::HostedWindow* window = s_->Find(id);
    if (!window || !window->alive) return;
    const bool managed = window->kind == os::WindowKind::Dialog && !window->embedded;
    window->shown = visible;
    if (visible) {
        if (managed) {
            XMapWindow(s_->display, window->xid);
        } else {
            XMapRaised(s_->display, window->xid);
        }
    } else if (managed) {
        s_->ForgetGrabsOn(window->xid);  // the server ends grabs on a window it unmaps
        XWithdrawWindow(s_->display, window->xid, s_->screen);  // tells the window manager
    } else {
        s_->ForgetGrabsOn(window->xid);
        XUnmapWindow(s_->display, window->xid);
    }
    XFlush(s_->display);
}

void X11Host::SetTitle(os::HostWindowId id, const std::string& title) {
    x11::HostedWindow* window = s_->Find(id);
    if (!window || !window->alive) return;
    s_->SetTitleProperties(window->xid, title);
    XFlush(s_->display);
}

void X11Host::SetTopmost(os::HostWindowId id) {
    x11::HostedWindow* window = s_->Find(id);
    if (!window || !window->alive) return;
    window->topmost = true;
    if (window->kind == os::WindowKind::Dialog && !window->embedded) {
        // Before mapping the window manager reads the property; afterwards it takes a
        // request.
        XChangeProperty(s_->display, window->xid, s_->atoms.net_wm_state, XA_ATOM, 32,
                        PropModeReplace,
                        reinterpret_cast<unsigned char*>(&s_->atoms.net_wm_state_above), 1);
        XEvent request{};
        request.xclient.type = ClientMessage;
        request.xclient.window = window->xid;
        request.xclient.message_type = s_->atoms.net_wm_state;
        request.xclient.format = 32;
        request.xclient.data.l[0] = 1;  // add
        request.xclient.data.l[1] = static_cast<long>(s_->atoms.net_wm_state_above);
        request.xclient.data.l[3] = 1;  // from an application
        XSendEvent(s_->display, s_->root, False,
                   SubstructureRedirectMask | SubstructureNotifyMask, &request);
    }
    XRaiseWindow(s_->display, window->xid);
    XFlush(s_->display);
}

bool X11Host::Reparent(os::HostWindowId id, os::HostWindowId new_parent) {
    x11::HostedWindow* window = s_->Find(id);
    if (!window || !window->alive) return false;
    const Window parent = new_parent ? static_cast<Window>(new_parent) : s_->root;
    x11::ErrorTrap trap(s_->display);
    XReparentWindow(s_->display, window->xid, parent, window->x, window->y);
    if (trap.Failed()) return false;
    window->parent = parent;
    window->embedded = parent != s_->root;
    return true;
}

void X11Host::SetEllipticShape(os::HostWindowId id, const os::HostRect& rect) {
    x11::HostedWindow* window = s_->Find(id);
    if (!window || !window->alive) return;
    int event_base = 0, error_base = 0;
    if (!XShapeQueryExtension(s_->display, &event_base, &error_base)) return;
    if (rect.width() <= 0 || rect.height() <= 0) {
        XShapeCombineMask(s_->display, window->xid, ShapeBounding, 0, 0, None, ShapeSet);
    } else {
        std::vector<XRectangle> rows;
        for (const x11::Span& span : x11::EllipseSpans(rect)) {
            rows.push_back({static_cast<short>(span.x0), static_cast<short>(span.y),
                            static_cast<unsigned short>(span.x1 - span.x0), 1});
        }
        XShapeCombineRectangles(s_->display, window->xid, ShapeBounding, 0, 0, rows.data(),
                                static_cast<int>(rows.size()), ShapeSet, YXBanded);
    }
    XFlush(s_->display);
}

void X11Host::SetIcon(os::HostWindowId id, const std::vector<os::IconImage>& images) {
    x11::HostedWindow* window = s_->Find(id);
    if (!window || !window->alive) return;
    std::vector<unsigned long> data;
    for (const os::IconImage& icon : images) {
        const auto count = static_cast<std::size_t>(std::max(icon.width, 0)) *
                           static_cast<std::size_t>(std::max(icon.height, 0));
        if (count == 0 || icon.argb.size() < count) continue;  // skip malformed images
        data.push_back(static_cast<unsigned long>(icon.width));
        data.push_back(static_cast<unsigned long>(icon.height));
        data.insert(data.end(), icon.argb.begin(), icon.argb.begin() + static_cast<std::ptrdiff_t>(count));
    }
    if (data.empty()) {
        XDeleteProperty(s_->display, window->xid, s_->atoms.net_wm_icon);
    } else {
        XChangeProperty(s_->display, window->xid, s_->atoms.net_wm_icon, XA_CARDINAL, 32,
                        PropModeReplace, reinterpret_cast<unsigned char*>(data.data()),
                        static_cast<int>(data.size()));
    }
    XFlush(s_->display);
}

void X11Host::Present(os::HostWindowId id, const os::HostRect* rects, int count) {
    x11::HostedWindow* window = s_->Find(id);
    if (!window || !window->alive) return;
    for (int i = 0; i < count && rects; ++i) s_->PresentRect(*window, rects[i]);
    XFlush(s_->display);
}

}  // namespace hosts
