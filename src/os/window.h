// The window system: our windows and other programs' windows behind 32-bit handles, with
// the classic calls the program makes on them. A handle is the host's window id, so a
// window of another program (the preview host, the windows of the top-level walk) is
// addressed the same way as one of ours.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "os/window_look.h"
#include "os/surface.h"
#include "os/types.h"

namespace os {

// --- constants ---------------------------------------------------------------------
constexpr int GWL_STYLE = -16;
constexpr int GWL_EXSTYLE = -20;
constexpr LONG WS_CHILD = 0x40000000;
constexpr LONG WS_POPUP = static_cast<LONG>(0x80000000u);
constexpr LONG WS_VISIBLE = 0x10000000;
constexpr LONG WS_CAPTION = 0x00C00000;
constexpr LONG WS_SYSMENU = 0x00080000;
constexpr LONG WS_BORDER = 0x00800000;
constexpr LONG WS_EX_TOPMOST = 0x00000008;

constexpr UINT GW_HWNDFIRST = 0;
constexpr UINT GW_HWNDLAST = 1;
constexpr UINT GW_HWNDNEXT = 2;
constexpr UINT GW_HWNDPREV = 3;
constexpr UINT GW_OWNER = 4;
constexpr UINT GW_CHILD = 5;

constexpr HWND HWND_TOP = 0;
constexpr HWND HWND_BOTTOM = 1;
constexpr HWND HWND_TOPMOST = -1;
constexpr HWND HWND_NOTOPMOST = -2;
constexpr UINT SWP_NOSIZE = 0x0001;
constexpr UINT SWP_NOMOVE = 0x0002;
constexpr UINT SWP_NOZORDER = 0x0004;
constexpr UINT SWP_NOACTIVATE = 0x0010;
constexpr UINT SWP_SHOWWINDOW = 0x0040;
constexpr UINT SWP_HIDEWINDOW = 0x0080;

constexpr UINT SPI_SCREENSAVERRUNNING = 97;

constexpr int SM_CXSCREEN = 0;
constexpr int SM_CYSCREEN = 1;

// --- what a window of ours is told ------------------------------------------------------
// Input arrives in client pixels. The form framework implements this for each form.
class WindowEvents {
public:
    virtual ~WindowEvents() = default;
    virtual void OnKeyDown(unsigned key, unsigned shift) { (void)key, (void)shift; }
    virtual void OnKeyUp(unsigned key, unsigned shift) { (void)key, (void)shift; }
    virtual void OnChar(std::uint32_t ch) { (void)ch; }
    virtual void OnMouseDown(int button, unsigned shift, int x, int y) {
        (void)button, (void)shift, (void)x, (void)y;
    }
    virtual void OnMouseUp(int button, unsigned shift, int x, int y) {
        (void)button, (void)shift, (void)x, (void)y;
    }
    virtual void OnMouseMove(unsigned buttons, unsigned shift, int x, int y) {
        (void)buttons, (void)shift, (void)x, (void)y;
    }
    virtual void OnCloseRequest() {}
    // The host window is gone (for instance the foreign parent of an embedded window was
    // destroyed). The handle stays valid for the framework to unload the form.
    virtual void OnHostDestroyed() {}
    virtual void OnFocusOut() {}
};

// --- our windows (used by the form framework) -------------------------------------------
struct WindowParams {
    WindowKind kind = WindowKind::Popup;
    int x = 0, y = 0;           // outer position, screen pixels
    int width = 1, height = 1;  // client size, pixels
    std::string title;
    LONG style = 0;
};

HWND CreateHostedWindow(const WindowParams& params, WindowEvents* events);
void DestroyHostedWindow(HWND hwnd);
bool IsOurWindow(HWND hwnd);
// The client pixels of one of our windows; nullptr for any other handle. Writers report
// what they wrote (Surface::NoteWritten); the message loop presents it.
Surface* WindowSurface(HWND hwnd);
void ShowHostedWindow(HWND hwnd, bool visible);
bool IsWindowVisible(HWND hwnd);
// Outer position relative to the parent and client size, pixels; keeps the pixels that
// still fit.
void MoveHostedWindow(HWND hwnd, int x, int y, int width, int height);
void SetHostedWindowEvents(HWND hwnd, WindowEvents* events);
void SetHostedWindowIcon(HWND hwnd, const std::vector<IconImage>& images);
void FocusHostedWindow(HWND hwnd);

// --- the classic calls ------------------------------------------------------------------
LONG GetWindowLongA(HWND hwnd, int index);
// Returns the previous value; 0 (with nothing changed) for a handle that names no window of
// ours.
LONG SetWindowLongA(HWND hwnd, int index, LONG value);
// Returns the previous parent (the desktop window's handle for a top-level window), 0 when
// the window or the new parent does not exist, the host refuses, the window would go inside
// itself or one of its children, or new_parent is 0. GetDesktopWindow() as the new parent
// makes the window top-level again.
HWND SetParent(HWND child, HWND new_parent);
HWND GetParent(HWND hwnd);  // 0 for a top-level window or one not ours
// GW_HWNDFIRST/LAST/NEXT/PREV walk hwnd's level: every top-level window of the host (ours
// and other programs', hidden ones included), topmost first, for a top-level hwnd; our
// windows with the same parent, newest on top, for a child. GW_CHILD gives the topmost
// child (the first top-level window for the desktop). Our windows have no owners.
HWND GetWindow(HWND hwnd, UINT cmd);
int GetWindowTextLengthA(HWND hwnd);
// Copies at most max_count - 1 characters and a terminating NUL; returns the characters
// copied (0 for no window or an empty title).
int GetWindowTextA(HWND hwnd, char* buffer, int max_count);
BOOL SetWindowTextA(HWND hwnd, const char* text);
BOOL SetWindowPos(HWND hwnd, HWND insert_after, int x, int y, int cx, int cy, UINT flags);
BOOL GetWindowRect(HWND hwnd, RECT* rect);
BOOL IsWindow(HWND hwnd);
// A fixed pseudo handle of the screen; no host window id takes its value.
HWND GetDesktopWindow();
// SM_CXSCREEN / SM_CYSCREEN: the screen's width / height in pixels; 0 for any other index.
int GetSystemMetrics(int index);
HWND GetForegroundWindow();
// Display count: the cursor shows over our windows while it is 0 or more.
int ShowCursor(BOOL show);
// Only SPI_SCREENSAVERRUNNING: param != 0 declares a saver running, 0 declares none; the
// previous state (0/1) is written as a 32-bit value into *pv when pv is not null. Returns 1;
// 0 for any other action.
BOOL SystemParametersInfoA(UINT action, UINT param, void* pv, UINT win_ini);
// Cuts the window to a region made by CreateEllipticRgn (graphics); the window owns the
// region afterwards (it is deleted when replaced or when the window is destroyed). 0
// removes the cut. Returns 0 for a window not ours or a handle that is no elliptic region.
int SetWindowRgn(HWND hwnd, HRGN region, BOOL redraw);

// True while a saver is declared running (keyboard and pointer then go to our topmost
// visible window only).
bool SaverDeclaredRunning();

// The current ShowCursor display count (0 at start).
int CursorDisplayCount();

// Forgets every window of ours (without touching the host), the cursor count and the
// saver-running flag (tests start each case clean, usually with a fresh host).
void ResetWindowSystem();

}  // namespace os
