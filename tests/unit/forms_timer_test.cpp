// Timer controls: interval, enabling, idle at 0, stopped by unload.
#include <gtest/gtest.h>

#include "forms/forms.h"
#include "os/message_loop.h"
#include "support/headless_fixture.h"

namespace {

class TickForm : public forms::Form {
public:
    TickForm() : forms::Form("TickForm") {}
    forms::Timer Clock{*this, "Clock"};
    int ticks = 0;

protected:
    void Design() override { Clock.OnTimer = [this] { ++ticks; }; }
};

class TimerTest : public tavro_test::HeadlessFixture {
protected:
    // Runs the message loop for `ms` of virtual time.
    void RunFor(std::uint64_t ms) {
        const std::uint64_t end = os::NowMs() + ms;
        host().Schedule(end, [] {});
        os::RunMessageLoop([end] { return os::NowMs() >= end; });
    }
};

TEST_F(TimerTest, TicksEveryIntervalWhileEnabled) {
    TickForm f;
    f.Clock.SetInterval(100);
    RunFor(1050);
    EXPECT_EQ(f.ticks, 10);
    f.Clock.SetTimerEnabled(false);
    RunFor(500);
    EXPECT_EQ(f.ticks, 10);
    f.Clock.SetTimerEnabled(true);
    RunFor(250);
    EXPECT_EQ(f.ticks, 12);
}

TEST_F(TimerTest, IntervalZeroIsIdleAndNegativeIsTreatedAsZero) {
    TickForm f;
    EXPECT_EQ(f.Clock.Interval(), 0);
    EXPECT_TRUE(f.Clock.TimerEnabled());
    RunFor(1000);
    EXPECT_EQ(f.ticks, 0);
    f.Clock.SetInterval(-5);
    EXPECT_EQ(f.Clock.Interval(), 0);
    RunFor(1000);
    EXPECT_EQ(f.ticks, 0);
}

TEST_F(TimerTest, UnloadStopsTheTimerAndReloadStartsIdle) {
    TickForm f;
    f.Clock.SetInterval(50);
    RunFor(120);
    EXPECT_EQ(f.ticks, 2);
    f.Unload();
    RunFor(500);
    EXPECT_EQ(f.ticks, 2);
    EXPECT_EQ(f.Clock.Interval(), 0);  // loads the form again
    RunFor(500);
    EXPECT_EQ(f.ticks, 2);
}

TEST_F(TimerTest, SettingTheIntervalRestartsThePeriod) {
    TickForm f;
    f.Clock.SetInterval(100);
    RunFor(90);
    f.Clock.SetInterval(100);
    RunFor(90);
    EXPECT_EQ(f.ticks, 0);
    RunFor(20);
    EXPECT_EQ(f.ticks, 1);
}

}  // namespace
