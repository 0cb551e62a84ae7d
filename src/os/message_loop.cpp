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

void Dispatch(const HostEvent& ev) {
    if (IsBlockableInput(ev.type)) {
        const HWND modal = ActiveModal();
        if (modal != 0 && !detail::IsSelfOrAncestor(modal, static_cast<HWND>(ev.window))) return;
    }
    detail::DeliverEvent(ev);
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
            for (const Rect& r : damage) rects.push_back(ToHost(r));
            for (const Rect& r : w->exposed) {
                const Rect clipped = Intersect(r, w->surface.bounds());
                if (!clipped.empty()) rects.push_back(ToHost(clipped));
            }
        }
        w->present_all = false;
        w->exposed.clear();
        if (!rects.empty())
            host.Present(static_cast<HostWindowId>(hwnd), rects.data(),
                         static_cast<int>(rects.size()));
    }
}

void PumpMessages() {
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
        PresentChangedWindows();
        for (int n = 0; n < kMaxEventsPerPump && host.NextEvent(&ev, 0); ++n) {
            Dispatch(ev);
            if (done()) return;
        }
        detail::RunDueTimers(done);
        if (done()) return;
        const int timeout = detail::MsUntilNextTimer();
        if (timeout == 0) continue;
        // What the handlers drew reaches the screen before the loop sleeps.
        PresentChangedWindows();
        if (host.NextEvent(&ev, timeout)) Dispatch(ev);
    }
}

void PushModalWindow(HWND hwnd) { ModalStack().push_back(hwnd); }

void PopModalWindow(HWND hwnd) {
    std::vector<HWND>& stack = ModalStack();
    auto it = std::find(stack.rbegin(), stack.rend(), hwnd);
    if (it != stack.rend()) stack.erase(std::next(it).base());
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
