// Timers and the message loop: everything runs on one thread; host events, timer ticks and
// the presenting of changed window pixels are all dispatched from here.
#pragma once

#include <cstdint>
#include <functional>

#include "os/types.h"

namespace os {

using TimerId = int;

// A millisecond timer. Interval 0 leaves it idle; an interval below 10 ms runs at 10 ms
// (the smallest period); a timer that is late fires once, never in a burst; a timer whose
// handler is running is not fired again until the handler returns.
TimerId CreateTimer(std::function<void()> on_tick);
void DestroyTimer(TimerId id);
// Restarts the period from now.
void SetTimerInterval(TimerId id, std::int64_t interval_ms);
void EnableTimer(TimerId id, bool enabled);

// The message-pump call: shows changed window pixels, then dispatches every pending host
// event and every due timer without waiting.
void PumpMessages();

// Runs the loop, waiting for events and timers, until `done` returns true (checked after
// each dispatch). Loops nest: a handler may run its own modal loop. Each pass (and each
// pump) asks again for a saver grab that is missing; while one is, the loop sleeps at most
// 20 ms at a time.
void RunMessageLoop(const std::function<bool()>& done);

// Input is blocked for every window of ours except the innermost modal window and its
// children. Pointer moves still reach the blocked windows: those over them arrive as they
// come, and while the saver's grab sends every move to the modal window, each move is also
// passed on, in their own client pixels, to the blocked pop-ups under the pointer (and a
// key that still reaches a blocked window, typed while the grab was moving to the modal
// window, goes to the modal window). When the innermost modal window goes, the keyboard
// focus returns to the modal window below it.
void PushModalWindow(HWND hwnd);
void PopModalWindow(HWND hwnd);

// Shows what has changed in our windows' pixels.
void PresentChangedWindows();

// Milliseconds from the host's clock.
std::uint64_t NowMs();

// Forgets all timers and modal state (tests start each case clean).
void ResetMessageLoop();

}  // namespace os
