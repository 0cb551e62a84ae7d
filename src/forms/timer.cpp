#include "forms/timer.h"

#include "forms/form.h"

namespace forms {

Timer::Timer(Container& container, std::string name) : Control(container, std::move(name)) {}

Timer::~Timer() {
    if (created_) os::DestroyTimer(id_);
}

std::int32_t Timer::Interval() { Touch(); return interval_; }

void Timer::SetInterval(std::int32_t ms) {
    Touch();
    interval_ = ms < 0 ? 0 : ms;
    Apply();
}

bool Timer::TimerEnabled() { Touch(); return enabled_; }

void Timer::SetTimerEnabled(bool on) {
    Touch();
    if (enabled_ == on) return;
    enabled_ = on;
    Apply();
}

void Timer::Create() {
    if (created_) return;
    id_ = os::CreateTimer([this] { Tick(); });
    created_ = true;
    Apply();
}

void Timer::Destroy() {
    if (created_) os::DestroyTimer(id_);
    created_ = false;
    id_ = 0;
    interval_ = 0;
    enabled_ = true;
    Control::Destroy();
}

// Setting the interval or enabling restarts the period from now.
void Timer::Apply() {
    if (!created_) return;
    os::SetTimerInterval(id_, interval_);
    os::EnableTimer(id_, enabled_ && interval_ > 0);
}

void Timer::Tick() {
    Form& form = OwnerForm();
    if (!form.IsLoaded() || !enabled_ || interval_ <= 0) return;
    if (OnTimer) OnTimer();
    // What the handler drew shows now (the form may have been unloaded by it).
    if (form.IsLoaded()) form.Flush();
}

}  // namespace forms
