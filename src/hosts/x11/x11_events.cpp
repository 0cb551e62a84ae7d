// Waiting for X events and turning those of our windows into host events.
#include "hosts/x11/x11_state.h"
// (first: the host interface must come before Xlib's macros)

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <poll.h>

#include "hosts/x11/x11_keys.h"

namespace hosts {

namespace {

constexpr unsigned kVkDelete = 46;

unsigned ButtonBit(unsigned button) { return button >= 1 && button <= 3 ? 1u << (button - 1) : 0; }

// A server without detectable auto-repeat reports a held key as release/press pairs with
// the same time; the program expects repeated key-downs only.
bool IsAutoRepeatRelease(Display* display, const XKeyEvent& release) {
    if (XEventsQueued(display, QueuedAfterReading) == 0) {
        // The paired press may be a moment behind.
        pollfd fd{ConnectionNumber(display), POLLIN, 0};
        if (poll(&fd, 1, 2) <= 0 || XEventsQueued(display, QueuedAfterReading) == 0) return false;
    }
    XEvent next;
    XPeekEvent(display, &next);
    return next.type == KeyPress && next.xkey.keycode == release.keycode &&
           next.xkey.time - release.time <= 1;
}

os::HostEvent KeyEvent(XKeyEvent& key, bool down) {
    os::HostEvent ev;
    ev.type = down ? os::HostEvent::Type::KeyDown : os::HostEvent::Type::KeyUp;
    char text[8] = {};
    KeySym typed = 0;
    const int length = XLookupString(&key, text, sizeof text, &typed, nullptr);
    // The key itself, whatever the modifiers make it type.
    ev.key = x11::VirtualKeyFromKeysym(XLookupKeysym(&key, 0));
    if (ev.key == 0) ev.key = x11::VirtualKeyFromKeysym(typed);
    ev.shift = x11::ShiftBitsFromState(key.state);
    // A modifier key's own bit: set while it goes down, cleared as it comes up.
    const unsigned own = x11::ShiftBitOfVirtualKey(ev.key);
    ev.shift = down ? (ev.shift | own) : (ev.shift & ~own);
    if (down && length > 0) ev.ch = static_cast<unsigned char>(text[0]);
    if (ev.key == kVkDelete && ev.ch == 0x7F) ev.ch = 0;  // Delete types nothing
    ev.x = key.x;
    ev.y = key.y;
    return ev;
}

// Queues the host event an X event of one of our windows stands for, if any.
void Translate(x11::State& s, XEvent& xevent) {
    x11::HostedWindow* window = s.Find(static_cast<os::HostWindowId>(xevent.xany.window));
    if (!window) return;  // not ours
    os::HostEvent ev;
    ev.window = static_cast<os::HostWindowId>(window->xid);
    using Type = os::HostEvent::Type;
    switch (xevent.type) {
        case Expose: {
            const XExposeEvent& e = xevent.xexpose;
            ev.type = x11::kExposeEvent;
            ev.rect = {e.x, e.y, e.x + e.width, e.y + e.height};
            s.PresentRect(*window, ev.rect);
            XFlush(s.display);
            break;
        }
        case KeyPress:
        case KeyRelease: {
            const bool down = xevent.type == KeyPress;
            if (!down && IsAutoRepeatRelease(s.display, xevent.xkey)) return;
            const os::HostWindowId id = ev.window;
            ev = KeyEvent(xevent.xkey, down);
            ev.window = id;
            if (ev.key == 0 && ev.ch == 0) return;
            break;
        }
        case ButtonPress:
        case ButtonRelease: {
            const XButtonEvent& b = xevent.xbutton;
            if (b.button < 1 || b.button > 3) return;  // wheel and extra buttons
            const bool down = xevent.type == ButtonPress;
            ev.type = down ? Type::ButtonDown : Type::ButtonUp;
            ev.button = static_cast<int>(b.button);
            ev.x = b.x;
            ev.y = b.y;
            ev.shift = x11::ShiftBitsFromState(b.state);
            // The state is from before the event; report the buttons held after it.
            const unsigned before = x11::ButtonBitsFromState(b.state);
            ev.buttons = down ? (before | ButtonBit(b.button)) : (before & ~ButtonBit(b.button));
            break;
        }
        case MotionNotify: {
            // Only the latest of a run of queued moves matters; moves after another kind
            // of event stay behind it.
            XEvent next;
            while (XEventsQueued(s.display, QueuedAlready) > 0) {
                XPeekEvent(s.display, &next);
                if (next.type != MotionNotify || next.xmotion.window != window->xid) break;
                XNextEvent(s.display, &xevent);
            }
            const XMotionEvent& m = xevent.xmotion;
            ev.type = Type::Motion;
            ev.x = m.x;
            ev.y = m.y;
            ev.buttons = x11::ButtonBitsFromState(m.state);
            ev.shift = x11::ShiftBitsFromState(m.state);
            break;
        }
        case ClientMessage: {
            const XClientMessageEvent& c = xevent.xclient;
            if (c.message_type != s.atoms.wm_protocols || c.format != 32 ||
                static_cast<Atom>(c.data.l[0]) != s.atoms.wm_delete_window) {
                return;
            }
            ev.type = Type::CloseRequest;
            break;
        }
        case DestroyNotify: {
            // Only our own window's destruction (a foreign parent took it along) matters.
            if (xevent.xdestroywindow.window != window->xid || !window->alive) return;
            window->alive = false;
            s.ForgetGrabsOn(window->xid);
            ev.type = Type::Destroyed;
            break;
        }
        case UnmapNotify: {
            if (xevent.xunmap.window != window->xid) return;
            s.ForgetGrabsOn(window->xid);  // the server ends grabs on a window it unmaps
            if (!window->shown || !window->alive) return;  // we hid it ourselves
            // A reparent unmaps and maps again at once: only a window still unmapped now
            // was hidden by someone else.
            XWindowAttributes attributes;
            if (!XGetWindowAttributes(s.display, window->xid, &attributes) ||
                attributes.map_state != IsUnmapped) {
                return;
            }
            ev.type = x11::kUnmappedEvent;
            break;
        }
        case ReparentNotify: {
            const XReparentEvent& r = xevent.xreparent;
            if (r.window != window->xid || !window->alive || r.parent == window->parent) return;
            if (s.ManagedByWindowManager(*window)) return;
            // The notice of a reparent of ours that a later one of ours overtook is stale:
            // only a window not in the parent we chose now was moved by someone else.
            Window root = 0, parent = 0, *children = nullptr;
            unsigned count = 0;
            if (!XQueryTree(s.display, window->xid, &root, &parent, &children, &count)) return;
            if (children) XFree(children);
            if (parent == window->parent) return;
            ev.type = x11::kReparentedEvent;
            break;
        }
        case ConfigureNotify: {
            const XConfigureEvent& c = xevent.xconfigure;
            const auto ours = [&](int x, int y, int width, int height) {
                return x == window->x && y == window->y && width == window->width &&
                       height == window->height;
            };
            if (c.window != window->xid || !window->alive ||
                ours(c.x, c.y, c.width, c.height) || s.ManagedByWindowManager(*window)) {
                return;
            }
            // As for reparents: only a place or size other than ours now is someone else's.
            XWindowAttributes attributes;
            if (!XGetWindowAttributes(s.display, window->xid, &attributes) ||
                ours(attributes.x, attributes.y, attributes.width, attributes.height)) {
                return;
            }
            ev.type = x11::kMovedEvent;
            break;
        }
        case FocusOut: {
            const XFocusChangeEvent& f = xevent.xfocus;
            if (f.mode == NotifyGrab || f.mode == NotifyUngrab || f.detail == NotifyInferior ||
                f.detail == NotifyPointer) {
                return;
            }
            ev.type = x11::kFocusOutEvent;
            break;
        }
        case VisibilityNotify:
            if (window->topmost && xevent.xvisibility.state != VisibilityUnobscured) {
                s.KeepTopmostOnTop(x11::MonotonicMs());
            }
            return;
        default:
            return;
    }
    s.pending.push_back(ev);
}

}  // namespace

bool X11Host::NextEvent(os::HostEvent* ev, int timeout_ms) {
    const std::uint64_t deadline = x11::MonotonicMs() + static_cast<std::uint64_t>(
                                                            timeout_ms > 0 ? timeout_ms : 0);
    for (;;) {
        while (s_->pending.empty() && XPending(s_->display) > 0) {
            XEvent xevent;
            XNextEvent(s_->display, &xevent);
            Translate(*s_, xevent);
        }
        if (!s_->pending.empty()) {
            if (ev) *ev = s_->pending.front();
            s_->pending.pop_front();
            return true;
        }
        const std::uint64_t now = x11::MonotonicMs();
        if (s_->raise_check_due && now >= s_->NextRaiseCheckMs()) {
            s_->KeepTopmostOnTop(now);
            continue;
        }
        if (timeout_ms == 0) return false;
        int wait = -1;
        if (timeout_ms > 0) {
            if (now >= deadline) return false;
            wait = static_cast<int>(deadline - now);
        }
        if (s_->raise_check_due) {
            const int until_check = static_cast<int>(s_->NextRaiseCheckMs() - now);
            if (wait < 0 || until_check < wait) wait = until_check;
        }
        XFlush(s_->display);
        pollfd fd{ConnectionNumber(s_->display), POLLIN, 0};
        poll(&fd, 1, wait);
    }
}

}  // namespace hosts
