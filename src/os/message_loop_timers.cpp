// Millisecond timers. A timer fires from the message loop only; a late timer fires once
// and its next period counts from its due time (or from now when it is more than a whole
// period late), so it never fires in a burst.
#include <algorithm>
#include <limits>
#include <map>
#include <memory>
#include <vector>

#include "os/message_loop.h"
#include "os/message_loop_internal.h"

namespace os {

namespace {

constexpr std::int64_t kMinPeriodMs = 10;

struct Timer {
    std::function<void()> on_tick;
    std::int64_t interval = 0;  // 0: idle
    bool enabled = true;
    bool running = false;       // its handler is on the stack
    std::uint64_t due = 0;
};

// Handlers keep their timer alive through a shared pointer, so a timer destroyed inside
// its own handler is freed only after the handler returns.
std::map<TimerId, std::shared_ptr<Timer>>& Timers() {
    static std::map<TimerId, std::shared_ptr<Timer>> timers;
    return timers;
}
TimerId g_next_id = 1;

std::shared_ptr<Timer> FindTimer(TimerId id) {
    auto it = Timers().find(id);
    return it == Timers().end() ? nullptr : it->second;
}

bool CanFire(const Timer& t) { return t.enabled && t.interval > 0 && !t.running; }

void Restart(Timer& t) { t.due = NowMs() + static_cast<std::uint64_t>(t.interval); }

}  // namespace

TimerId CreateTimer(std::function<void()> on_tick) {
    const TimerId id = g_next_id++;
    auto t = std::make_shared<Timer>();
    t->on_tick = std::move(on_tick);
    Timers()[id] = std::move(t);
    return id;
}

void DestroyTimer(TimerId id) { Timers().erase(id); }

void SetTimerInterval(TimerId id, std::int64_t interval_ms) {
    const std::shared_ptr<Timer> t = FindTimer(id);
    if (!t) return;
    // A negative interval is no period at all: the timer stays idle.
    t->interval = interval_ms <= 0 ? 0 : std::max(interval_ms, kMinPeriodMs);
    if (t->interval > 0) Restart(*t);
}

void EnableTimer(TimerId id, bool enabled) {
    const std::shared_ptr<Timer> t = FindTimer(id);
    if (!t || t->enabled == enabled) return;
    t->enabled = enabled;
    if (enabled && t->interval > 0) Restart(*t);
}

namespace detail {

void RunDueTimers(const std::function<bool()>& done) {
    const std::uint64_t now = NowMs();
    // Fire in due order; each timer is looked up again before it fires, since an earlier
    // handler may have destroyed, disabled or re-timed it.
    std::vector<std::pair<std::uint64_t, TimerId>> due;
    for (const auto& [id, t] : Timers())
        if (CanFire(*t) && t->due <= now) due.emplace_back(t->due, id);
    std::sort(due.begin(), due.end());
    for (const auto& [when, id] : due) {
        if (done && done()) return;
        const std::shared_ptr<Timer> t = FindTimer(id);
        if (!t || !CanFire(*t) || t->due > now) continue;
        const std::uint64_t period = static_cast<std::uint64_t>(t->interval);
        t->due = t->due + period > now ? t->due + period : now + period;
        // Cleared however the handler leaves, so a throwing handler does not stop its timer.
        struct RunningFlag {
            Timer& timer;
            explicit RunningFlag(Timer& t) : timer(t) { timer.running = true; }
            ~RunningFlag() { timer.running = false; }
        } running(*t);
        t->on_tick();
    }
}

int MsUntilNextTimer() {
    std::uint64_t next = std::numeric_limits<std::uint64_t>::max();
    for (const auto& [id, t] : Timers())
        if (CanFire(*t)) next = std::min(next, t->due);
    if (next == std::numeric_limits<std::uint64_t>::max()) return -1;
    const std::uint64_t now = NowMs();
    if (next <= now) return 0;
    return static_cast<int>(std::min<std::uint64_t>(next - now, std::numeric_limits<int>::max()));
}

void ForgetTimers() { Timers().clear(); }

}  // namespace detail
}  // namespace os
