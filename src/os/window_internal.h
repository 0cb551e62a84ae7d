// The table of our windows, shared by the window-system files and the message loop.
// Not for use above src/os.
#pragma once

#include <map>
#include <memory>
#include <vector>

#include "os/host.h"
#include "os/surface.h"
#include "os/types.h"
#include "os/window.h"

namespace os::detail {

struct OurWindow {
    HWND hwnd = 0;
    WindowKind kind = WindowKind::Popup;
    WindowEvents* events = nullptr;
    LONG style = 0;     // without WS_VISIBLE, which follows `visible`
    LONG ex_style = 0;
    HWND parent = 0;    // 0: top-level
    std::uint64_t z_seq = 0;  // among siblings, the higher the nearer the top
    bool visible = false;
    bool host_gone = false;   // the host destroyed the window (a foreign parent went away)
    int x = 0, y = 0;         // outer position relative to the parent
    Surface surface;          // client pixels, bound to the host's buffer
    HRGN region = 0;          // the window's cut, owned by the window (deleted with it)
    bool present_all = false; // show the whole surface at the next present
    std::vector<Rect> exposed;  // parts the host asked to be shown again
};

// Every window of ours, by handle. Entries keep their address while they exist.
std::map<HWND, std::unique_ptr<OurWindow>>& Windows();
OurWindow* Find(HWND hwnd);

// Our windows whose parent is `parent` (0: top-level), topmost first.
std::vector<HWND> ChildrenOf(HWND parent);
// A stacking number above every window's so far (a window raised among its siblings).
std::uint64_t NextZSeq();
// True when `ancestor` is hwnd itself or one of its parents among our windows.
bool IsSelfOrAncestor(HWND ancestor, HWND hwnd);

// Sends one host event to the window it names (dropped for windows that are not ours).
void DeliverEvent(const HostEvent& ev);

// Re-applies the saver-running grab after windows were shown, hidden, raised or destroyed.
void UpdateInputGrab();
// Takes the saver-running grab again when it was refused or lost (every pass of the loop).
void KeepInputGrab();
// True while the grab is wanted but not held: the loop then wakes often enough to retry.
bool InputGrabPending();
// The window that should hold keyboard and pointer (our topmost visible while a saver is
// declared running), 0 for none.
HWND InputGrabTarget();
// Someone else hid, reparented, moved or resized one of our visible top-level windows
// (`change`: Unmapped, Reparented or Moved): while a saver runs it comes straight back to
// the top level, at its own place and size, shown, on top, with the grab.
void PutBackAfterOutsideChange(HWND hwnd, HostEvent::Type change);
// Applies the ShowCursor state to one new window.
void ApplyCursorTo(HWND hwnd);

}  // namespace os::detail
