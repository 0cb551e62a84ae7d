// Keyboard and pointer for our windows: the hidden cursor, grabs for a running saver and
// the keyboard focus.
#include "hosts/x11/x11_state.h"
// (first: the host interface must come before Xlib's macros)

#include <X11/Xlib.h>

#include <ctime>

#include "hosts/x11/x11_errors.h"

namespace hosts {

namespace {

// A window that was just mapped may not be viewable yet; grabs on it are refused until it is.
constexpr std::uint64_t kGrabPatienceMs = 500;

void SleepMs(int ms) {
    timespec pause{0, static_cast<long>(ms) * 1000000L};
    nanosleep(&pause, nullptr);
}

}  // namespace

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
    const std::uint64_t deadline = x11::MonotonicMs() + kGrabPatienceMs;
    for (;;) {
        if (XGrabKeyboard(s_->display, window->xid, False, GrabModeAsync, GrabModeAsync,
                          CurrentTime) == GrabSuccess) {
            if (XGrabPointer(s_->display, window->xid, False,
                             ButtonPressMask | ButtonReleaseMask | PointerMotionMask,
                             GrabModeAsync, GrabModeAsync, None, None,
                             CurrentTime) == GrabSuccess) {
                s_->grabbed = window->xid;
                return true;
            }
            XUngrabKeyboard(s_->display, CurrentTime);
        }
        if (x11::MonotonicMs() >= deadline) {
            XFlush(s_->display);
            return false;
        }
        SleepMs(10);
    }
}

void X11Host::ReleaseInput() {
    if (!s_->grabbed) return;
    XUngrabKeyboard(s_->display, CurrentTime);
    XUngrabPointer(s_->display, CurrentTime);
    XFlush(s_->display);
    s_->grabbed = 0;
}

void X11Host::SetFocus(os::HostWindowId id) {
    x11::HostedWindow* window = s_->Find(id);
    if (!window || !window->alive) return;
    if (window->kind == os::HostWindowKind::Dialog && !window->embedded) {
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
