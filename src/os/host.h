// The one interface between the operating-system services in src/os and the machine they
// run on. Two hosts implement it: a real X11 display (src/hosts/x11) and a headless
// virtual screen with a virtual clock for tests (src/hosts/headless). Nothing above src/os
// sees this interface; nothing in it names a display library.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "os/window_look.h"

namespace os {

// A window of the host's window system: one of ours, or another program's (the preview
// host window, the windows the top-level walk sees). 0 names no window.
using HostWindowId = std::uint32_t;

// Pixels are 32-bit 0x00RRGGBB, rows top to bottom.
struct HostRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
};

struct HostWindowSpec {
    WindowKind kind = WindowKind::Popup;
    int x = 0, y = 0;           // outer top-left, screen pixels (or parent-relative when embedded)
    int width = 1, height = 1;  // client size in pixels
    std::string title;
};

// Virtual key codes follow the classic numbering (VK_RETURN 13, VK_ESCAPE 27, 'A' 65 ...).
struct HostEvent {
    enum class Type {
        None,
        KeyDown,       // key, shift, ch (the character the key types, 0 when none)
        KeyUp,         // key, shift
        ButtonDown,    // button 1 left, 2 middle, 3 right; x, y client pixels
        ButtonUp,
        Motion,        // x, y client pixels; buttons held in `buttons`
        CloseRequest,  // the window manager's close box
        Destroyed,     // the window is gone (e.g. its foreign parent was destroyed)
        Expose,        // part of the window must be shown again: rect
        FocusOut,      // the window lost the keyboard focus
        Unmapped,      // someone else (another program, a window manager) hid the window
        Reparented,    // another program put the window inside a window of its own
        Moved,         // another program moved or resized the window
    };
    Type type = Type::None;
    HostWindowId window = 0;
    int x = 0, y = 0;
    int button = 0;
    unsigned buttons = 0;  // bit 0 left, bit 1 middle, bit 2 right
    unsigned key = 0;
    unsigned shift = 0;    // bit 0 Shift, bit 1 Ctrl, bit 2 Alt
    std::uint32_t ch = 0;
    HostRect rect;
};

class Host {
public:
    virtual ~Host() = default;

    // --- the screen -------------------------------------------------------------------
    virtual int ScreenWidth() = 0;
    virtual int ScreenHeight() = 0;
    // Copies what the screen shows now (all windows, ours included) into dst.
    // Parts outside the screen are left as they are. Returns false when nothing was read.
    virtual bool ReadScreen(std::uint32_t* dst, int dst_stride, int x, int y, int w, int h) = 0;
    // Draws straight onto the screen over every window (the screen's own device context).
    virtual void WriteScreen(const std::uint32_t* src, int src_stride, int x, int y, int w,
                             int h) = 0;

    // --- windows --------------------------------------------------------------------
    virtual HostWindowId CreateWindow(const HostWindowSpec& spec) = 0;
    virtual void DestroyWindow(HostWindowId id) = 0;
    // The window's client pixels, owned by the host, valid until the next Resize or Destroy.
    virtual std::uint32_t* WindowPixels(HostWindowId id, int* stride) = 0;
    // Position is outer top-left relative to the parent (the screen for top-level windows).
    virtual void MoveResizeWindow(HostWindowId id, int x, int y, int width, int height) = 0;
    virtual void ShowWindow(HostWindowId id, bool visible) = 0;
    virtual void SetTitle(HostWindowId id, const std::string& title) = 0;
    virtual void SetTopmost(HostWindowId id) = 0;
    // Makes our window a child of any window of the host (another program's included).
    // False when the parent does not exist or refuses.
    virtual bool Reparent(HostWindowId id, HostWindowId new_parent) = 0;
    // Cuts the window to the ellipse inscribed in rect (client pixels); an empty rect
    // removes the shape.
    virtual void SetEllipticShape(HostWindowId id, const HostRect& rect) = 0;
    virtual void SetIcon(HostWindowId id, const std::vector<IconImage>& images) = 0;
    // Shows the listed parts of the window's pixels on the screen.
    virtual void Present(HostWindowId id, const HostRect* rects, int count) = 0;

    // --- every window of the host, ours and other programs' -------------------------------
    // Top-level windows in Z order, topmost first, hidden ones included.
    virtual std::vector<HostWindowId> TopLevelWindows() = 0;
    // nullopt when the window does not exist.
    virtual std::optional<std::string> WindowTitle(HostWindowId id) = 0;
    virtual bool WindowExists(HostWindowId id) = 0;
    // Outer rectangle in screen pixels; nullopt when the window does not exist.
    virtual std::optional<HostRect> WindowRect(HostWindowId id) = 0;
    virtual HostWindowId ForegroundWindow() = 0;

    // --- input ------------------------------------------------------------------------
    virtual void SetCursorVisible(HostWindowId id, bool visible) = 0;
    // Keyboard and pointer to this window only (a saver runs); true when both are held.
    // Never waits: a grab refused now (another program holds the input, the window is not
    // shown yet) is taken by calling again. Cheap while held, so it may be called on every
    // pass of the loop; a grab that ended under us (the window was hidden) is taken again.
    virtual bool GrabInput(HostWindowId id) = 0;
    virtual void ReleaseInput() = 0;
    virtual void SetFocus(HostWindowId id) = 0;

    // --- clock and events -----------------------------------------------------------
    virtual std::uint64_t NowMs() = 0;  // monotonic milliseconds
    // Waits at most timeout_ms (0: just looks) for the next event; false when none came.
    virtual bool NextEvent(HostEvent* ev, int timeout_ms) = 0;
};

// The host the services use. The program's entry point installs the X11 host; tests install
// the headless one.
Host& CurrentHost();
void InstallHost(std::unique_ptr<Host> host);
bool HasHost();

}  // namespace os
