// Timer bookkeeping shared by the timer file and the loop. Not for use above src/os.
#pragma once

#include <cstdint>
#include <functional>

namespace os::detail {

// Fires every timer that is due now, each at most once; stops early when `done` turns
// true (it may be empty).
void RunDueTimers(const std::function<bool()>& done);
// Milliseconds until the next timer that can fire is due (0 when one is due now), or -1
// when no timer can fire.
int MsUntilNextTimer();
void ForgetTimers();

}  // namespace os::detail
