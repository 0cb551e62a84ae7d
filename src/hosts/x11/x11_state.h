// The X connection and the records of our windows, shared by the host's source files.
// Only this folder includes it.
#pragma once

#include "hosts/x11/x11_host.h"
#include "hosts/x11/x11_event_kinds.h"
// (first: the host interface must come before Xlib's macros)

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "hosts/x11/x11_image.h"
#include "hosts/x11/x11_pixel_format.h"

namespace hosts::x11 {

struct Atoms {
    Atom wm_protocols, wm_delete_window, wm_state, utf8_string, net_wm_name, net_wm_icon,
        net_wm_state, net_wm_state_above, net_active_window, net_wm_window_type,
        net_wm_window_type_dialog, motif_wm_hints;
    void Load(Display* display);
};

struct HostedWindow {
    Window xid = 0;
    os::WindowKind kind = os::WindowKind::Popup;
    int x = 0, y = 0, width = 1, height = 1;
    bool alive = true;     // false once the X window was destroyed under us
    bool topmost = false;
    bool embedded = false;  // a child of another window rather than of the root
    bool shown = false;     // we asked for it to be mapped (an unmap we did not ask for is told)
    Window parent = 0;      // the parent we put it in (another parent, place or size is told)
    std::unique_ptr<ImageBuffer> image;
    // When the visual's pixels are not 0x00RRGGBB the program draws here and Present
    // converts into the image; empty otherwise (the program draws into the image).
    std::vector<std::uint32_t> converted;
};

struct State {
    Display* display = nullptr;
    int screen = 0;
    Window root = 0;
    Visual* visual = nullptr;
    int depth = 0;
    bool shm = false;
    PixelFormat format{0, 0, 0, 0, false};
    GC window_gc = nullptr;
    GC root_gc = nullptr;  // draws over all windows
    Cursor blank_cursor = 0;
    Atoms atoms{};
    std::map<Window, HostedWindow> windows;
    // The windows our keyboard and pointer grabs are on (0: not held), and when the grabs
    // were last asked for: they are asked for again now and then, since a grab can end
    // without the server telling us.
    Window keyboard_grab = 0, pointer_grab = 0;
    std::uint64_t grab_asked_ms = 0;
    static constexpr std::uint64_t kGrabCheckMs = 250;
    std::deque<os::HostEvent> pending;
    // Keeping topmost popups on top: when the last raise is too recent, the check waits.
    std::uint64_t last_raise_ms = 0;
    bool raise_check_due = false;
    // The scratch image for drawing on the screen, reused while the size fits.
    std::unique_ptr<ImageBuffer> write_image;

    ~State();

    HostedWindow* Find(os::HostWindowId id);
    // The server ended the grabs on this window (it was unmapped or destroyed).
    void ForgetGrabsOn(Window xid) {
        if (keyboard_grab == xid) keyboard_grab = 0;
        if (pointer_grab == xid) pointer_grab = 0;
    }
    // The window's pixels as the program sees them (0x00RRGGBB) and their stride in pixels.
    std::uint32_t* Pixels(HostedWindow& window, int* stride);
    // Copies a part of the program's pixels into the image when they need conversion.
    void ConvertToImage(HostedWindow& window, int x, int y, int w, int h);
    // Shows the part of the window's pixels (clipped to the window) on the window.
    void PresentRect(HostedWindow& window, os::HostRect rect);
    // Remakes the window's image for its size; keeps the pixels that still fit.
    void ResizeImage(HostedWindow& window, int width, int height);

    // Properties of any window.
    std::optional<std::vector<unsigned char>> GetProperty(Window window, Atom property,
                                                          Atom* type, int* format,
                                                          unsigned long* items);
    bool HasProperty(Window window, Atom property);
    // A window manager frames and places this window of ours (a dialog at the top level
    // while one runs): its reparents and moves are not another program's.
    bool ManagedByWindowManager(const HostedWindow& window);
    void SetTitleProperties(Window window, const std::string& title);
    // Raises those of our topmost popups that another window covers, at most once every
    // kRaiseGapMs; a check asked for sooner is deferred (raise_check_due) to that time.
    void KeepTopmostOnTop(std::uint64_t now_ms);
    std::uint64_t NextRaiseCheckMs() const { return last_raise_ms + kRaiseGapMs; }
    static constexpr std::uint64_t kRaiseGapMs = 100;
};

std::uint64_t MonotonicMs();

}  // namespace hosts::x11
