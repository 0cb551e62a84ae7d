// A host without a display: a virtual screen of any size with a desktop picture, windows
// with pixel buffers, parents, stacking, titles, visibility and elliptic shapes, a virtual
// clock that moves only while the loop waits, and scripted input. Tests and the benchmark
// drive it and read what the screen would show.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "os/host.h"
#include "os/surface.h"

namespace hosts {

using os::HostEvent;
using os::HostRect;
using os::HostWindowId;

class HeadlessHost : public os::Host {
public:
    HeadlessHost(int screen_width = 1024, int screen_height = 768, std::uint64_t start_ms = 0);
    ~HeadlessHost() override;

    // --- what tests set up and read -------------------------------------------------
    // The picture under every window; tests paint it (the window system's screen reads
    // see it wherever no window covers it).
    os::Surface& Desktop() { return desktop_; }
    // What the screen shows: the desktop, the visible top-level windows bottom to top with
    // their presented pixels, children inside their parents (clipped to them), shapes
    // respected, then whatever was drawn straight onto the screen and not yet covered by a
    // present. Row-major, ScreenWidth() pixels a row.
    std::vector<std::uint32_t> ComposeScreen();
    std::uint32_t ScreenPixel(int x, int y);

    // Another program's window: top-level, visible, filled with `fill`.
    HostWindowId AddForeignWindow(const std::string& title, const HostRect& rect,
                                  std::uint32_t fill = 0x808080);
    // Also destroys our windows inside it and queues Destroyed for each of them.
    void DestroyForeignWindow(HostWindowId id);
    // Another program hides one of our windows: a grab on it ends, and Unmapped is queued.
    void HideFromOutside(HostWindowId id);
    // Another program puts one of our windows inside a window of its own (Reparented is
    // queued; a grab on it ends) or moves it (Moved is queued), to (x, y) in its parent.
    void ReparentFromOutside(HostWindowId id, HostWindowId new_parent, int x, int y);
    void MoveFromOutside(HostWindowId id, int x, int y);

    // --- scripted input and the clock -------------------------------------------------
    // Events pushed without a time are due now, in the order pushed.
    void Push(const HostEvent& ev);
    void At(std::uint64_t ms, const HostEvent& ev);
    // Runs `action` when the clock reaches `ms`, inside NextEvent; a waiting NextEvent then
    // returns false, as when a wait times out.
    void Schedule(std::uint64_t ms, std::function<void()> action);
    void PushKey(HostWindowId window, unsigned vk, std::uint32_t ch = 0, unsigned shift = 0);
    // Button down then up at (x, y), client pixels.
    void PushClick(HostWindowId window, int x, int y, int button = 1);
    void PushMotion(HostWindowId window, int x, int y, unsigned buttons = 0);
    void PushClose(HostWindowId window);
    static HostEvent KeyEvent(HostWindowId window, unsigned vk, std::uint32_t ch = 0);
    static HostEvent MotionEvent(HostWindowId window, int x, int y);
    // Moves the clock forward by ms without delivering anything (what is scheduled in
    // between stays queued and is handed out at the next NextEvent).
    void Advance(std::uint64_t ms) { now_ += ms; }
    std::size_t PendingScripted() const { return script_.size(); }

    // --- counters and state ---------------------------------------------------------
    int PresentCount(HostWindowId id) const;
    // Pixel buffers made for the window: one at creation and one at each resize.
    int BufferCount(HostWindowId id) const;
    std::vector<HostRect> LastPresentRects(HostWindowId id) const;
    HostWindowId GrabbedWindow() const { return grabbed_; }
    int GrabCount() const { return grab_count_; }
    bool CursorVisible(HostWindowId id) const;
    int SetTopmostCalls(HostWindowId id) const;
    std::vector<os::IconImage> LastIcon(HostWindowId id) const;
    bool IsShown(HostWindowId id) const;  // visible flag of the window itself
    HostWindowId ParentOf(HostWindowId id) const;  // 0 for top-level or unknown
    HostRect ShapeOf(HostWindowId id) const;       // empty when not shaped
    HostWindowId FocusedWindow() const { return focus_; }
    int WindowCount() const { return static_cast<int>(windows_.size()); }
    // Makes the next Reparent / GrabInput calls fail (the host refuses).
    void RefuseReparent(bool refuse) { refuse_reparent_ = refuse; }
    void RefuseGrab(bool refuse) { refuse_grab_ = refuse; }

    // --- os::Host -----------------------------------------------------------------
    int ScreenWidth() override { return width_; }
    int ScreenHeight() override { return height_; }
    bool ReadScreen(std::uint32_t* dst, int dst_stride, int x, int y, int w, int h) override;
    void WriteScreen(const std::uint32_t* src, int src_stride, int x, int y, int w,
                     int h) override;
    HostWindowId CreateWindow(const os::HostWindowSpec& spec) override;
    void DestroyWindow(HostWindowId id) override;
    std::uint32_t* WindowPixels(HostWindowId id, int* stride) override;
    void MoveResizeWindow(HostWindowId id, int x, int y, int width, int height) override;
    void ShowWindow(HostWindowId id, bool visible) override;
    void SetTitle(HostWindowId id, const std::string& title) override;
    void SetTopmost(HostWindowId id) override;
    bool Reparent(HostWindowId id, HostWindowId new_parent) override;
    void SetEllipticShape(HostWindowId id, const HostRect& rect) override;
    void SetIcon(HostWindowId id, const std::vector<os::IconImage>& images) override;
    void Present(HostWindowId id, const HostRect* rects, int count) override;
    std::vector<HostWindowId> TopLevelWindows() override;
    std::optional<std::string> WindowTitle(HostWindowId id) override;
    bool WindowExists(HostWindowId id) override;
    std::optional<HostRect> WindowRect(HostWindowId id) override;
    HostWindowId ForegroundWindow() override;
    void SetCursorVisible(HostWindowId id, bool visible) override;
    bool GrabInput(HostWindowId id) override;
    void ReleaseInput() override;
    void SetFocus(HostWindowId id) override;
    std::uint64_t NowMs() override { return now_; }
    // The next scripted event whose time has come; otherwise the clock moves to the earlier
    // of now + timeout and the next scripted time. A negative timeout with nothing
    // scheduled throws std::runtime_error, so a test cannot hang.
    bool NextEvent(HostEvent* ev, int timeout_ms) override;

private:
    // Queues the event another program's change of one of our windows brings.
    void TellFromOutside(HostWindowId id, HostEvent::Type change);

    struct Window {
        HostWindowId id = 0;
        bool ours = true;
        bool gone = false;  // destroyed with its foreign parent; pixels kept until ours go
        os::WindowKind kind = os::WindowKind::Popup;
        int x = 0, y = 0, width = 0, height = 0;  // relative to the parent
        std::string title;
        bool visible = false;
        bool topmost = false;
        HostWindowId parent = 0;
        std::vector<HostWindowId> children;  // topmost first
        std::vector<std::uint32_t> pixels;   // what our code draws into
        std::vector<std::uint32_t> shown;    // what was presented (what the screen shows)
        HostRect shape;
        bool cursor_visible = true;
        int present_count = 0;
        int buffer_count = 0;
        std::vector<HostRect> last_present;
        int topmost_calls = 0;
        std::vector<os::IconImage> icon;
    };
    struct Scripted {
        std::uint64_t when = 0;
        std::uint64_t seq = 0;
        HostEvent event;
        std::function<void()> action;  // set for a scheduled callback
    };

    Window* Live(HostWindowId id);
    const Window* Live(HostWindowId id) const;
    Window* Any(HostWindowId id);
    const Window* Any(HostWindowId id) const;
    void Insert(Scripted s);
    void Unlink(Window& w);           // out of its parent's list or the top-level order
    void StackTopLevel(Window& w);    // to the top of its band (topmost or normal)
    void Resize(Window& w, int width, int height);
    HostRect ScreenRectOf(const Window& w) const;
    bool InsideShapes(const Window& w, int sx, int sy) const;
    bool HitsShape(const HostEvent& ev) const;
    void ComposeWindow(const Window& w, const HostRect& clip, std::uint32_t* out);
    void ClearOverlay(const HostRect& screen_rect);
    void Forget(HostWindowId id);

    int width_, height_;
    std::uint64_t now_;
    os::Surface desktop_;
    std::vector<std::uint32_t> overlay_;
    std::vector<std::uint8_t> overlay_mask_;
    bool any_overlay_ = false;
    std::map<HostWindowId, std::unique_ptr<Window>> windows_;
    std::vector<HostWindowId> top_order_;  // top-level windows, topmost first
    HostWindowId next_id_ = 0x100;
    std::vector<Scripted> script_;  // kept sorted by (when, seq)
    std::uint64_t next_seq_ = 0;
    HostWindowId grabbed_ = 0;
    int grab_count_ = 0;
    HostWindowId focus_ = 0;
    HostWindowId foreground_ = 0;
    bool refuse_reparent_ = false;
    bool refuse_grab_ = false;
};

}  // namespace hosts
