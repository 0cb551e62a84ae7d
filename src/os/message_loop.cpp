// The message loop: presents what changed in our windows, dispatches host events (minus
// the input that a modal window blocks) and fires due timers.
#include <algorithm>
#include <chrono>
#include <vector>

#include "os/message_loop.h"
#include "os/message_loop_internal.h"
#include "os/window_internal.h"

namespace os {

namespace {

// Bounds one pump's event dispatch, so a host that keeps producing events cannot hold the
// pump forever.
constexpr int kMaxEventsPerPump = 10000;

// How often the loop wakes to take a grab that another program still holds.
constexpr int kGrabRetryMs = 20;

std::vector<HWND>& ModalStack() {
    static std::vector<HWND> stack;
    return stack;
}

// The innermost modal window that still exists; 0 when none.
HWND ActiveModal() {
    const std::vector<HWND>& stack = ModalStack();
    for (auto it = stack.rbegin(); it != stack.rend(); ++it)
        if (detail::Find(*it)) return *it;
    return 0;
}

bool IsBlockableInput(HostEvent::Type type) {
    using T = HostEvent::Type;
    return type == T::KeyDown || type == T::KeyUp || type == T::ButtonDown ||
           type == T::ButtonUp || type == T::CloseRequest;
}

// Where the window's client area starts on the screen, for windows whose frame we know:
// our pop-ups and our children inside them.
bool ClientOriginOnScreen(HWND hwnd, int* x, int* y) {
    *x = *y = 0;
    for (std::size_t steps = 0; steps <= detail::Windows().size(); ++steps) {
        const detail::OurWindow* w = detail::Find(hwnd);
        if (!w || w->host_gone) return false;
        *x += w->x;
        *y += w->y;
        if (w->parent == 0) return w->kind == WindowKind::Popup;
        hwnd = w->parent;
    }
    return false;
}

// Our grab sends every pointer move to the grabbing (modal) window; the windows of ours it
// blocks see each move too, in their own client pixels, when the pointer is over them.
void PassMoveToBlockedWindows(const HostEvent& ev) {
    const HWND grab = detail::InputGrabTarget();
    const HWND modal = ActiveModal();
    if (grab == 0 || modal == 0 || !detail::IsSelfOrAncestor(grab, static_cast<HWND>(ev.window)))
        return;
    int from_x = 0, from_y = 0;
    if (!ClientOriginOnScreen(static_cast<HWND>(ev.window), &from_x, &from_y)) return;
    const int screen_x = from_x + ev.x, screen_y = from_y + ev.y;
    std::vector<HostEvent> moves;
    for (const auto& [hwnd, w] : detail::Windows()) {
        if (!w->visible || w->parent != 0 || detail::IsSelfOrAncestor(modal, hwnd)) continue;
        int x = 0, y = 0;
        if (!ClientOriginOnScreen(hwnd, &x, &y)) continue;
        HostEvent move = ev;
        move.window = static_cast<HostWindowId>(hwnd);
        move.x = screen_x - x;
        move.y = screen_y - y;
        if (move.x < 0 || move.y < 0 || move.x >= w->surface.width() ||
            move.y >= w->surface.height())
            continue;
        moves.push_back(move);
    }
    // Each handler may close windows; DeliverEvent drops a move for a window that is gone.
    for (const HostEvent& move : moves) detail::DeliverEvent(move);
}

void Dispatch(const HostEvent& ev) {
    if (IsBlockableInput(ev.type)) {
        const HWND modal = ActiveModal();
        if (modal != 0 && !detail::IsSelfOrAncestor(modal, static_cast<HWND>(ev.window))) {
            // Our grab sends every key to the modal window; keys that still reach a blocked
            // window of ours were typed while the grab was on its way there.
            const HWND grab = detail::InputGrabTarget();
            const bool key =
                ev.type == HostEvent::Type::KeyDown || ev.type == HostEvent::Type::KeyUp;
            if (key && grab != 0 && detail::IsSelfOrAncestor(modal, grab) &&
                detail::Find(static_cast<HWND>(ev.window))) {
                HostEvent moved = ev;
                moved.window = static_cast<HostWindowId>(grab);
                detail::DeliverEvent(moved);
            }
            return;
        }
    }
    detail::DeliverEvent(ev);
    if (ev.type == HostEvent::Type::Motion) PassMoveToBlockedWindows(ev);
}

HostRect ToHost(const Rect& r) { return HostRect{r.left, r.top, r.right, r.bottom}; }

}  // namespace

void PresentChangedWindows() {
    if (!HasHost()) return;
    Host& host = CurrentHost();
    for (const auto& [hwnd, w] : detail::Windows()) {
        if (w->host_gone) continue;
        std::vector<Rect> damage = w->surface.TakeDamage();
        if (!w->visible) continue;  // a window shown later presents itself whole
        std::vector<HostRect> rects;
        if (w->present_all) {
            if (!w->surface.bounds().empty()) rects.push_back(ToHost(w->surface.bounds()));
        } else {
            for (const Rect& r : w->exposed) damage.push_back(Intersect(r, w->surface.bounds()));
            for (const Rect& r : CoverRects(std::move(damage))) rects.push_back(ToHost(r));
        }
        w->present_all = false;
        w->exposed.clear();
        if (!rects.empty())
            host.Present(static_cast<HostWindowId>(hwnd), rects.data(),
                         static_cast<int>(rects.size()));
    }
}

void PumpMessages() {
    detail::KeepInputGrab();
    PresentChangedWindows();
    Host& host = CurrentHost();
    HostEvent ev;
    for (int n = 0; n < kMaxEventsPerPump && host.NextEvent(&ev, 0); ++n) Dispatch(ev);
    detail::RunDueTimers({});
}

void RunMessageLoop(const std::function<bool()>& done) {
    Host& host = CurrentHost();
    HostEvent ev;
    while (!done()) {
        detail::KeepInputGrab();
        PresentChangedWindows();
        for (int n = 0; n < kMaxEventsPerPump && host.NextEvent(&ev, 0); ++n) {
            Dispatch(ev);
            if (done()) return;
        }
        detail::RunDueTimers(done);
        if (done()) return;
        int timeout = detail::MsUntilNextTimer();
        if (timeout == 0) continue;
        if (detail::InputGrabPending())
            timeout = timeout < 0 ? kGrabRetryMs : std::min(timeout, kGrabRetryMs);
        // What the handlers drew reaches the screen before the loop sleeps.
        PresentChangedWindows();
        if (host.NextEvent(&ev, timeout)) Dispatch(ev);
    }
}

void PushModalWindow(HWND hwnd) { ModalStack().push_back(hwnd); }

void PopModalWindow(HWND hwnd) {
    std::vector<HWND>& stack = ModalStack();
    auto it = std::find(stack.rbegin(), stack.rend(), hwnd);
    if (it == stack.rend()) return;
    // Innermost: no modal window opened after it is still there.
    const bool innermost = std::none_of(it.base(), stack.end(),
                                        [](HWND later) { return detail::Find(later) != nullptr; });
    stack.erase(std::next(it).base());
    // The keyboard focus goes back to the window that opened the closed one (the host would
    // otherwise leave it nowhere, and Esc or Enter would be lost).
    const HWND owner = ActiveModal();
    if (innermost && owner != 0 && IsWindowVisible(owner)) FocusHostedWindow(owner);
}

std::uint64_t NowMs() {
    if (HasHost()) return CurrentHost().NowMs();
    using namespace std::chrono;
    return static_cast<std::uint64_t>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void ResetMessageLoop() {
    detail::ForgetTimers();
    ModalStack().clear();
}

}  // namespace os
