// Timers, the message pump, nested loops, modal input blocking and presenting, on the
// headless host's virtual clock.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

#include "support/headless_fixture.h"
#include "os/message_loop.h"
#include "os/window.h"

namespace {

using namespace os;

// Left, top, right and bottom of a presented rectangle, to compare in one check.
std::tuple<int, int, int, int> Corners(const HostRect& r) {
    return {r.left, r.top, r.right, r.bottom};
}

class MessageLoopTest : public tavro_test::HeadlessFixture {
protected:
    // Runs the loop until the virtual clock reaches `ms` (timers due at `ms` itself do not
    // get to fire: the loop ends first).
    void RunUntil(std::uint64_t ms) {
        bool reached = false;
        host().Schedule(ms, [&] { reached = true; });
        RunMessageLoop([&] { return reached; });
    }
    HWND MakeWindow(WindowEvents* events, int w = 40, int h = 30) {
        WindowParams p;
        p.width = w;
        p.height = h;
        return CreateHostedWindow(p, events);
    }
};

struct InputLog : WindowEvents {
    std::vector<std::string>* log;
    std::string name;
    InputLog(std::vector<std::string>* l, std::string n) : log(l), name(std::move(n)) {}
    void OnKeyDown(unsigned, unsigned) override { log->push_back(name + " key"); }
    void OnMouseDown(int, unsigned, int, int) override { log->push_back(name + " click"); }
    void OnMouseMove(unsigned, unsigned, int, int) override { log->push_back(name + " move"); }
    void OnCloseRequest() override { log->push_back(name + " close"); }
};

// --- timers ----------------------------------------------------------------------------

TEST_F(MessageLoopTest, ShortIntervalsRunAtTheMinimumPeriodLongOnesAsTheyAre) {
    std::vector<std::uint64_t> ticks, long_ticks;
    const TimerId t = CreateTimer([&] { ticks.push_back(NowMs()); });
    const TimerId slow = CreateTimer([&] { long_ticks.push_back(NowMs()); });
    SetTimerInterval(t, 1);
    SetTimerInterval(slow, 5000);
    RunUntil(55);
    EXPECT_EQ(ticks, (std::vector<std::uint64_t>{10, 20, 30, 40, 50}));
    EnableTimer(t, false);
    RunUntil(10001);
    EXPECT_EQ(long_ticks, (std::vector<std::uint64_t>{5000, 10000}));
}

TEST_F(MessageLoopTest, IntervalZeroAndDisabledTimersStayIdle) {
    int idle = 0, disabled = 0, negative = 0;
    const TimerId a = CreateTimer([&] { ++idle; });
    const TimerId b = CreateTimer([&] { ++disabled; });
    const TimerId c = CreateTimer([&] { ++negative; });
    SetTimerInterval(a, 0);
    SetTimerInterval(b, 20);
    EnableTimer(b, false);
    SetTimerInterval(c, -5);
    RunUntil(500);
    EXPECT_EQ(idle, 0);
    EXPECT_EQ(disabled, 0);
    EXPECT_EQ(negative, 0);

    // Setting an interval of 0 stops a running timer.
    int stopped = 0;
    const TimerId d = CreateTimer([&] { ++stopped; });
    SetTimerInterval(d, 10);
    RunUntil(530);
    const int before = stopped;
    EXPECT_GT(before, 0);
    SetTimerInterval(d, 0);
    RunUntil(600);
    EXPECT_EQ(stopped, before);
}

TEST_F(MessageLoopTest, LateTimerFiresOnceNotInABurst) {
    std::vector<std::uint64_t> ticks;
    const TimerId t = CreateTimer([&] { ticks.push_back(NowMs()); });
    SetTimerInterval(t, 10);
    host().Advance(95);  // nine periods missed
    PumpMessages();
    PumpMessages();
    EXPECT_EQ(ticks, std::vector<std::uint64_t>{95});
    host().Advance(9);
    PumpMessages();
    EXPECT_EQ(ticks.size(), 1u);
    host().Advance(1);
    PumpMessages();
    EXPECT_EQ(ticks, (std::vector<std::uint64_t>{95, 105}));
}

TEST_F(MessageLoopTest, SetTimerIntervalRestartsThePeriod) {
    std::vector<std::uint64_t> ticks;
    const TimerId t = CreateTimer([&] { ticks.push_back(NowMs()); });
    SetTimerInterval(t, 100);
    RunUntil(60);
    SetTimerInterval(t, 100);
    RunUntil(250);
    EXPECT_EQ(ticks, (std::vector<std::uint64_t>{160}));

    // Re-enabling restarts it too.
    EnableTimer(t, false);
    host().Advance(30);
    EnableTimer(t, true);
    RunUntil(400);
    EXPECT_EQ(ticks, (std::vector<std::uint64_t>{160, 380}));
}

TEST_F(MessageLoopTest, TimerIsNotReenteredWhileItsHandlerRuns) {
    int depth = 0, max_depth = 0, other_ticks = 0;
    std::vector<std::uint64_t> slow_ticks;
    const TimerId slow = CreateTimer([&] {
        slow_ticks.push_back(NowMs());
        max_depth = std::max(max_depth, ++depth);
        if (slow_ticks.size() == 1) RunUntil(NowMs() + 100);  // a handler with its own loop
        --depth;
    });
    const TimerId other = CreateTimer([&] { ++other_ticks; });
    SetTimerInterval(slow, 10);
    SetTimerInterval(other, 20);
    RunUntil(125);
    EXPECT_EQ(max_depth, 1);
    EXPECT_EQ(other_ticks, 6);  // the other timer ran on inside the nested loop
    // Back at 110 the missed periods give one late tick, then the period resumes.
    EXPECT_EQ(slow_ticks, (std::vector<std::uint64_t>{10, 110, 120}));
}

TEST_F(MessageLoopTest, TimerDestroyedInsideHandlersIsSafe) {
    int own = 0, first = 0, second = 0;
    TimerId self = 0, victim = 0;
    self = CreateTimer([&] {
        ++own;
        DestroyTimer(self);
    });
    const TimerId killer = CreateTimer([&] {
        ++first;
        DestroyTimer(victim);
    });
    victim = CreateTimer([&] { ++second; });
    SetTimerInterval(self, 10);
    SetTimerInterval(killer, 10);
    SetTimerInterval(victim, 10);  // due at the same moment, after the killer
    RunUntil(105);
    EXPECT_EQ(own, 1);
    EXPECT_EQ(first, 10);
    EXPECT_EQ(second, 0);
}

TEST_F(MessageLoopTest, TimerDisabledByAnotherHandlerDoesNotFire) {
    int a = 0, b = 0;
    TimerId tb = 0;
    const TimerId ta = CreateTimer([&] {
        ++a;
        EnableTimer(tb, false);
    });
    tb = CreateTimer([&] { ++b; });
    SetTimerInterval(ta, 10);
    SetTimerInterval(tb, 10);
    RunUntil(55);
    EXPECT_EQ(b, 0);
    EXPECT_EQ(a, 5);
}

TEST_F(MessageLoopTest, ResetForgetsTimers) {
    int ticks = 0;
    SetTimerInterval(CreateTimer([&] { ++ticks; }), 10);
    ResetMessageLoop();
    EXPECT_THROW(RunMessageLoop([] { return false; }), std::runtime_error);
    EXPECT_EQ(ticks, 0);
}

// --- the loop ---------------------------------------------------------------------

TEST_F(MessageLoopTest, PumpDispatchesEverythingPendingWithoutWaiting) {
    std::vector<std::string> log;
    InputLog events(&log, "w");
    const HWND h = MakeWindow(&events);
    host().PushKey(static_cast<HostWindowId>(h), 65);
    host().PushMotion(static_cast<HostWindowId>(h), 1, 1);
    host().At(50, hosts::HeadlessHost::KeyEvent(static_cast<HostWindowId>(h), 66));
    PumpMessages();
    EXPECT_EQ(log, (std::vector<std::string>{"w key", "w move"}));
    EXPECT_EQ(NowMs(), 0u);  // the pump does not wait for the scripted key at 50
}

TEST_F(MessageLoopTest, NestedLoopsReturnInnermostFirst) {
    std::vector<std::string> order;
    bool inner_done = false, outer_done = false;
    const TimerId t = CreateTimer([&] {
        SetTimerInterval(t, 0);
        order.push_back("inner start");
        host().Schedule(NowMs() + 30, [&] { inner_done = true; });
        RunMessageLoop([&] { return inner_done; });
        order.push_back("inner end " + std::to_string(NowMs()));
    });
    SetTimerInterval(t, 10);
    host().Schedule(25, [&] { order.push_back("during inner"); });
    host().Schedule(60, [&] { outer_done = true; });
    RunMessageLoop([&] { return outer_done; });
    order.push_back("outer end " + std::to_string(NowMs()));
    EXPECT_EQ(order, (std::vector<std::string>{"inner start", "during inner", "inner end 40",
                                               "outer end 60"}));
}

TEST_F(MessageLoopTest, HeadlessHostRefusesToWaitForever) {
    bool never = false;
    EXPECT_THROW(RunMessageLoop([&] { return never; }), std::runtime_error);
}

// --- modal windows -------------------------------------------------------------------

TEST_F(MessageLoopTest, ModalWindowBlocksInputToOtherWindowsButNotPointerMoves) {
    std::vector<std::string> log;
    InputLog main_events(&log, "main"), modal_events(&log, "modal"), child_events(&log, "child");
    const HWND main = MakeWindow(&main_events);
    const HWND modal = MakeWindow(&modal_events);
    const HWND child = MakeWindow(&child_events);
    ASSERT_NE(SetParent(child, modal), 0);
    auto id = [](HWND h) { return static_cast<HostWindowId>(h); };

    PushModalWindow(modal);
    host().PushClick(id(main), 1, 1);
    host().PushKey(id(main), 13);
    host().PushClose(id(main));
    host().PushMotion(id(main), 2, 2);
    host().PushKey(id(modal), 13);
    host().PushClick(id(child), 1, 1);
    PumpMessages();
    EXPECT_EQ(log, (std::vector<std::string>{"main move", "modal key", "child click"}));

    // A second modal window on top blocks the first one too.
    log.clear();
    const HWND inner = MakeWindow(nullptr);
    PushModalWindow(inner);
    host().PushKey(id(modal), 13);
    PumpMessages();
    EXPECT_TRUE(log.empty());

    // Destroyed without being popped: the window below is modal again.
    DestroyHostedWindow(inner);
    PopModalWindow(modal);
    host().PushKey(id(main), 13);
    PumpMessages();
    EXPECT_EQ(log, std::vector<std::string>{"main key"});
}

// --- presenting ------------------------------------------------------------------------

TEST_F(MessageLoopTest, PresentsOnlyWhatChanged) {
    const HWND h = MakeWindow(nullptr, 100, 50);
    const HostWindowId id = static_cast<HostWindowId>(h);
    PumpMessages();
    EXPECT_EQ(host().PresentCount(id), 0);  // hidden windows are not presented

    ShowHostedWindow(h, true);
    PumpMessages();
    ASSERT_EQ(host().PresentCount(id), 1);
    ASSERT_EQ(host().LastPresentRects(id).size(), 1u);
    EXPECT_EQ(host().LastPresentRects(id)[0].width(), 100);

    PumpMessages();
    EXPECT_EQ(host().PresentCount(id), 1);  // nothing changed, nothing presented

    Surface* s = WindowSurface(h);
    s->row(12)[15] = 0x00ABCD;
    s->NoteWritten(Rect{10, 10, 20, 20});
    s->row(40)[90] = 0x111111;  // written but not reported: must not reach the screen
    PumpMessages();
    ASSERT_EQ(host().PresentCount(id), 2);
    const auto rects = host().LastPresentRects(id);
    ASSERT_EQ(rects.size(), 1u);
    EXPECT_EQ(Corners(rects[0]), std::make_tuple(10, 10, 20, 20));
    EXPECT_EQ(host().ScreenPixel(15, 12), 0x00ABCDu);
    EXPECT_EQ(host().ScreenPixel(90, 40), 0u);

    // Overlapping and repeated writes are sent as the one rectangle that covers them.
    s->NoteWritten(Rect{30, 5, 50, 25});
    s->NoteWritten(Rect{30, 5, 50, 25});
    s->NoteWritten(Rect{34, 8, 54, 28});
    PumpMessages();
    ASSERT_EQ(host().PresentCount(id), 3);
    const auto merged = host().LastPresentRects(id);
    ASSERT_EQ(merged.size(), 1u);
    EXPECT_EQ(Corners(merged[0]), std::make_tuple(30, 5, 54, 28));
}

TEST_F(MessageLoopTest, DrawingReachesTheScreenBeforeTheLoopSleeps) {
    const HWND h = MakeWindow(nullptr, 10, 10);
    ShowHostedWindow(h, true);
    const TimerId t = CreateTimer([&] {
        WindowSurface(h)->row(0)[0] = 0xFEDCBA;
        WindowSurface(h)->NoteWritten(Rect{0, 0, 1, 1});
    });
    SetTimerInterval(t, 100);
    std::uint32_t seen = 0;
    host().Schedule(150, [&] { seen = host().ScreenPixel(0, 0); });  // while the loop waits
    RunUntil(160);
    EXPECT_EQ(seen, 0xFEDCBAu);
}

}  // namespace

// --- the saver's grab and modal windows -----------------------------------------------------

namespace {
struct MoveLog : WindowEvents {
    std::vector<std::string>* log;
    std::string name;
    MoveLog(std::vector<std::string>* l, std::string n) : log(l), name(std::move(n)) {}
    void OnMouseMove(unsigned, unsigned, int x, int y) override {
        log->push_back(name + " " + std::to_string(x) + "," + std::to_string(y));
    }
    void OnKeyDown(unsigned key, unsigned) override {
        log->push_back(name + " key " + std::to_string(key));
    }
};
}  // namespace

TEST_F(MessageLoopTest, UnderTheSaversGrabMovesAlsoReachTheBlockedWindowsBeneath) {
    std::vector<std::string> log;
    MoveLog saver_events(&log, "saver"), prompt_events(&log, "prompt");
    WindowParams p;
    p.width = 300;
    p.height = 200;
    const HWND saver = CreateHostedWindow(p, &saver_events);
    p = WindowParams{};
    p.x = 100;
    p.y = 50;
    p.width = 60;
    p.height = 40;
    const HWND prompt = CreateHostedWindow(p, &prompt_events);
    ShowHostedWindow(saver, true);
    ShowHostedWindow(prompt, true);
    PushModalWindow(prompt);
    const auto id = [](HWND h) { return static_cast<HostWindowId>(h); };

    // No grab: a move over the prompt is the prompt's alone; a key for the saver is blocked.
    host().PushMotion(id(prompt), 5, 6);
    host().PushKey(id(saver), 'A');
    PumpMessages();
    EXPECT_EQ(log, std::vector<std::string>{"prompt 5,6"});

    // The grab sends every move to the prompt; the saver under it follows the pointer.
    log.clear();
    SystemParametersInfoA(SPI_SCREENSAVERRUNNING, 1, nullptr, 0);
    ASSERT_EQ(host().GrabbedWindow(), id(prompt));
    host().PushMotion(id(prompt), 5, 6);
    host().PushMotion(id(prompt), -90, 140);  // outside the prompt, still over the saver
    host().PushMotion(id(prompt), 250, 6);    // over neither
    PumpMessages();
    EXPECT_EQ(log, (std::vector<std::string>{"prompt 5,6", "saver 105,56", "prompt -90,140",
                                             "saver 10,190", "prompt 250,6"}));
    // A key the server still gave the saver (the grab was moving to the prompt) is the
    // prompt's.
    log.clear();
    host().PushKey(id(saver), 'B');
    PumpMessages();
    EXPECT_EQ(log, std::vector<std::string>{"prompt key 66"});
    SystemParametersInfoA(SPI_SCREENSAVERRUNNING, 0, nullptr, 0);
    PopModalWindow(prompt);
}

TEST_F(MessageLoopTest, FocusReturnsToTheModalWindowBelowWhenTheInnerOneCloses) {
    // A shown window that runs a modal loop and holds the focus.
    const auto open_modal = [this] {
        const HWND w = MakeWindow(nullptr);
        ShowHostedWindow(w, true);
        PushModalWindow(w);
        FocusHostedWindow(w);
        return w;
    };
    const HWND dialog = open_modal();
    const HWND box = open_modal();
    ASSERT_EQ(host().FocusedWindow(), static_cast<HostWindowId>(box));
    DestroyHostedWindow(box);  // closed first, then its loop ends
    PopModalWindow(box);
    EXPECT_EQ(host().FocusedWindow(), static_cast<HostWindowId>(dialog));

    // A window that only hides ends its loop too.
    const HWND hidden = open_modal();
    ShowHostedWindow(hidden, false);
    PopModalWindow(hidden);
    EXPECT_EQ(host().FocusedWindow(), static_cast<HostWindowId>(dialog));
    // Popping an outer window that is not the innermost one moves nothing: the focus stays
    // in the other program's window the user went to.
    const HWND inner = open_modal();
    const HostWindowId elsewhere = host().AddForeignWindow("Elsewhere", HostRect{0, 0, 50, 50});
    host().SetFocus(elsewhere);
    PopModalWindow(dialog);
    EXPECT_EQ(host().FocusedWindow(), elsewhere);
    PopModalWindow(inner);
}
