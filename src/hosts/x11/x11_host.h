// The host on a real X11 display: our windows are X windows, frames are shown with
// MIT-SHM, the screen is read from and drawn on the root window. No Xlib header leaks
// from here; the X state lives behind a private pointer.
#pragma once

#include <memory>
#include <string>

#include "os/host.h"

namespace hosts {

namespace x11 {
struct State;
}

class X11Host : public os::Host {
public:
    explicit X11Host(std::unique_ptr<x11::State> state);
    ~X11Host() override;
    X11Host(const X11Host&) = delete;
    X11Host& operator=(const X11Host&) = delete;

    int ScreenWidth() override;
    int ScreenHeight() override;
    bool ReadScreen(std::uint32_t* dst, int dst_stride, int x, int y, int w, int h) override;
    void WriteScreen(const std::uint32_t* src, int src_stride, int x, int y, int w,
                     int h) override;

    os::HostWindowId CreateWindow(const os::HostWindowSpec& spec) override;
    void DestroyWindow(os::HostWindowId id) override;
    std::uint32_t* WindowPixels(os::HostWindowId id, int* stride) override;
    void MoveResizeWindow(os::HostWindowId id, int x, int y, int width, int height) override;
    void ShowWindow(os::HostWindowId id, bool visible) override;
    void SetTitle(os::HostWindowId id, const std::string& title) override;
    void SetTopmost(os::HostWindowId id) override;
    bool Reparent(os::HostWindowId id, os::HostWindowId new_parent) override;
    void SetEllipticShape(os::HostWindowId id, const os::HostRect& rect) override;
    void SetIcon(os::HostWindowId id, const std::vector<os::IconImage>& images) override;
    void Present(os::HostWindowId id, const os::HostRect* rects, int count) override;

    std::vector<os::HostWindowId> TopLevelWindows() override;
    std::optional<std::string> WindowTitle(os::HostWindowId id) override;
    bool WindowExists(os::HostWindowId id) override;
    std::optional<os::HostRect> WindowRect(os::HostWindowId id) override;
    os::HostWindowId ForegroundWindow() override;

    void SetCursorVisible(os::HostWindowId id, bool visible) override;
    bool GrabInput(os::HostWindowId id) override;
    void ReleaseInput() override;
    void SetFocus(os::HostWindowId id) override;

    std::uint64_t NowMs() override;
    bool NextEvent(os::HostEvent* ev, int timeout_ms) override;

private:
    std::unique_ptr<x11::State> s_;
};

// Opens the display named by DISPLAY. nullptr, with a one-line reason in *error (when
// given), when no display can be opened or its visual cannot be used.
std::unique_ptr<os::Host> CreateX11Host(std::string* error);

}  // namespace hosts
