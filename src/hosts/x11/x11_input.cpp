// Keyboard and pointer for our windows: the hidden cursor, grabs for a running saver and
// the keyboard focus.
#include "hosts/x11/x11_state.h"
// (first: the host interface must come before Xlib's macros)

#include <X11/Xlib.h>

#include "hosts/x11/x11_errors.h"

namespace hosts {

void X11Host::SetCursorVisible(os::HostWindowId id, bool visible) {
    x11::HostedWindow* window = s_->Find(id);
    if (!window || !window->alive) return;
    if (visible) {
        XUndefineCursor(s_->display, window->xid);
    } else {
        XDefineCursor(s_->display, window->xid, s_->blank_cursor);
    }
    XFlush(s_->display);
}

bool X11Host::GrabInput(os::HostWindowId id) {
    x11::HostedWindow* window = s_->Find(id);
    if (!window || !window->alive) return false;
    const Window xid = window->xid;
    const std::uint64_t now = x11::MonotonicMs();
    const bool held = s_->keyboard_grab == xid && s_->pointer_grab == xid;
    if (held && now < s_->grab_asked_ms + x11::State::kGrabCheckMs) return true;
    // Asking again for a grab we hold changes nothing; one refused (another program holds
    // that device, or the window is not viewable yet) is asked for at the next call. Each
    // device is kept as soon as it is ours.
    s_->grab_asked_ms = now;
    if (XGrabKeyboard(s_->display, xid, False, GrabModeAsync, GrabModeAsync, CurrentTime) ==
        GrabSuccess) {
        s_->keyboard_grab = xid;
    } else if (s_->keyboard_grab == xid) {
        s_->keyboard_grab = 0;
    }
    if (XGrabPointer(s_->display, xid, False,
                     ButtonPressMask | ButtonReleaseMask | PointerMotionMask, GrabModeAsync,
                     GrabModeAsync, None, None, CurrentTime) == GrabSuccess) {
        s_->pointer_grab = xid;
    } else if (s_->pointer_grab == xid) {
        s_->pointer_grab = 0;
    }
    XFlush(s_->display);
    return s_->keyboard_grab == xid && s_->pointer_grab == xid;
}

void X11Host::ReleaseInput() {
    if (!s_->keyboard_grab && !s_->pointer_grab) return;
    XUngrabKeyboard(s_->display, CurrentTime);
    XUngrabPointer(s_->display, CurrentTime);
    XFlush(s_->display);
    s_->keyboard_grab = s_->pointer_grab = 0;
}

void X11Host::SetFocus(os::HostWindowId id) {
    x11::HostedWindow* window = s_->Find(id);
    if (!window || !window->alive) return;
    if (window->kind == os::WindowKind::Dialog && !window->embedded) {
        // A window manager decides about focus of the windows it manages.
        XEvent request{};
        request.xclient.type = ClientMessage;
        request.xclient.window = window->xid;
        request.xclient.message_type = s_->atoms.net_active_window;
        request.xclient.format = 32;
        request.xclient.data.l[0] = 1;  // from an application
        request.xclient.data.l[1] = CurrentTime;
        XSendEvent(s_->display, s_->root, False,
                   SubstructureRedirectMask | SubstructureNotifyMask, &request);
    }
    // Refused while the window is not viewable; the trap keeps that quiet.
    x11::ErrorTrap trap(s_->display);
    XSetInputFocus(s_->display, window->xid, RevertToParent, CurrentTime);
    trap.Failed();
}

}  // namespace hosts
