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
// each dispatch). Loops nest: a handler may run its own modal loop.
void RunMessageLoop(const std::function<bool()>& done);

// Input is blocked for every window of ours except the innermost modal window and its
// children. Pointer moves still reach the blocked windows.
void PushModalWindow(HWND hwnd);
void PopModalWindow(HWND hwnd);

// Shows what has changed in our windows' pixels.
void PresentChangedWindows();

// Milliseconds from the host's clock.
std::uint64_t NowMs();

// Forgets all timers and modal state (tests start each case clean).
void ResetMessageLoop();

}  // namespace os
