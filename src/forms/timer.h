// A timer control: raises OnTimer every Interval milliseconds while Enabled. An Interval of
// 0 leaves it idle. Its ticks come from the message loop; none arrive while the form is
// unloaded.
#pragma once

#include <cstdint>
#include <functional>

#include "forms/control.h"
#include "os/message_loop.h"

namespace forms {

class Timer : public Control {
public:
    Timer(Container& container, std::string name);
    ~Timer() override;

    std::int32_t Interval();
    // Restarts the period from now.
    void SetInterval(std::int32_t ms);
    // Timers are enabled unless set otherwise.
    bool TimerEnabled();
    void SetTimerEnabled(bool on);

    // The Timer event.
    std::function<void()> OnTimer;

    void Create() override;
    void Destroy() override;

private:
    void Apply();
    void Tick();

    std::int32_t interval_ = 0;
    bool enabled_ = true;
    os::TimerId id_ = 0;
    bool created_ = false;
};

}  // namespace forms
