// Load on first use, unload and reload, the close box, modal display (ended by a timer, by
// input, nested, by hiding).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "forms/forms.h"
#include "os/message_loop.h"
#include "os/window.h"
#include "support/form_fixture.h"

namespace {

class LifecycleForm : public forms::Form {
public:
    LifecycleForm() : forms::Form("LifecycleForm") {}

    forms::Timer Ticker{*this, "Ticker"};
    forms::CommandButton Close{*this, "Close"};

    std::vector<std::string> log;
    int cancel_query = 0;
    int cancel_unload = 0;
    int last_unload_mode = -1;
    float width_seen_in_load = -1;

protected:
    void Design() override {
        log.push_back("Design");
        SetCaption("Lifecycle");
        SetWidth(3000);
        SetHeight(2000);
        tavro_test::Place(Close, 100, 100, 1200, 375, "Close");
        Close.OnClick = [this] { Unload(); };
    }
    void Form_Load() override {
        log.push_back("Load");
        width_seen_in_load = Width();  // reading inside the handler must not load again
    }
    void Form_QueryUnload(int& Cancel, int UnloadMode) override {
        log.push_back("QueryUnload");
        last_unload_mode = UnloadMode;
        Cancel = cancel_query;
    }
    void Form_Unload(int& Cancel) override {
        log.push_back("Unload");
        Cancel = cancel_unload;
    }
};

using FormLifecycle = tavro_test::HeadlessFixture;

TEST_F(FormLifecycle, FirstPropertyReadLoadsOnceAndRunsDesignBeforeLoad) {
    LifecycleForm f;
    EXPECT_FALSE(f.IsLoaded());
    EXPECT_TRUE(f.log.empty());
    EXPECT_FLOAT_EQ(f.Width(), 3000);
    EXPECT_TRUE(f.IsLoaded());
    EXPECT_EQ(f.log, (std::vector<std::string>{"Design", "Load"}));
    EXPECT_FLOAT_EQ(f.width_seen_in_load, 3000);
    (void)f.Height();
    (void)f.hWnd();
    EXPECT_EQ(f.log.size(), 2u);
    // Loaded but not shown.
    EXPECT_TRUE(os::IsWindow(f.hWnd()));
    EXPECT_FALSE(os::IsWindowVisible(f.hWnd()));
    char title[64] = {};
    os::GetWindowTextA(f.hWnd(), title, sizeof title);
    EXPECT_STREQ(title, "Lifecycle");
}

TEST_F(FormLifecycle, ControlPropertyReadLoadsTheForm) {
    LifecycleForm f;
    EXPECT_EQ(f.Close.Caption(), "Close");
    EXPECT_TRUE(f.IsLoaded());
    EXPECT_EQ(f.log, (std::vector<std::string>{"Design", "Load"}));
}

TEST_F(FormLifecycle, UnloadDestroysWindowAndNextUseLoadsAfresh) {
    LifecycleForm f;
    const os::HWND first = f.hWnd();
    f.SetCaption("Changed at run time");
    f.Ticker.SetInterval(50);
    ASSERT_TRUE(f.Unload());
    EXPECT_FALSE(f.IsLoaded());
    EXPECT_FALSE(os::IsWindow(first));
    EXPECT_EQ(f.log, (std::vector<std::string>{"Design", "Load", "QueryUnload", "Unload"}));
    EXPECT_EQ(f.last_unload_mode, forms::vbFormCode);

    // The stored definition again, not the run-time changes.
    EXPECT_EQ(f.Caption(), "Lifecycle");
    EXPECT_EQ(f.Ticker.Interval(), 0);
    EXPECT_EQ(f.log.size(), 6u);
    EXPECT_EQ(f.log[4], "Design");
    EXPECT_EQ(f.log[5], "Load");
    EXPECT_TRUE(os::IsWindow(f.hWnd()));
}

TEST_F(FormLifecycle, CancelKeepsTheFormLoaded) {
    LifecycleForm f;
    const os::HWND hwnd = f.hWnd();
    f.cancel_query = 1;
    EXPECT_FALSE(f.Unload());
    EXPECT_TRUE(f.IsLoaded());
    f.cancel_query = 0;
    f.cancel_unload = 1;
    EXPECT_FALSE(f.Unload());
    EXPECT_TRUE(os::IsWindow(hwnd));
    f.cancel_unload = 0;
    EXPECT_TRUE(f.Unload());
    EXPECT_FALSE(os::IsWindow(hwnd));
}

TEST_F(FormLifecycle, CloseBoxUnloadsThroughQueryUnload) {
    LifecycleForm f;
    f.Show();
    host().PushClose(static_cast<os::HostWindowId>(f.hWnd()));
    forms::DoEvents();
    EXPECT_FALSE(f.IsLoaded());
    EXPECT_EQ(f.last_unload_mode, forms::vbFormControlMenu);
}

TEST_F(FormLifecycle, ModalShowReturnsWhenATimerUnloadsTheForm) {
    LifecycleForm f;
    int ticks = 0;
    f.Ticker.OnTimer = [&] {
        if (++ticks == 3) f.Unload();
    };
    f.Ticker.SetInterval(100);
    const std::uint64_t start = os::NowMs();
    f.Show(true);
    EXPECT_EQ(ticks, 3);
    EXPECT_FALSE(f.IsLoaded());
    EXPECT_GE(os::NowMs() - start, 300u);
    EXPECT_LT(os::NowMs() - start, 400u);
}

TEST_F(FormLifecycle, ModalShowReturnsWhenAClickUnloadsTheForm) {
    LifecycleForm f;
    const os::HostWindowId id = static_cast<os::HostWindowId>(f.hWnd());
    // Close sits at (100, 100) twips = pixel (7, 7) of the client area.
    host().At(20, hosts::HeadlessHost::MotionEvent(id, 1, 1));
    host().Schedule(30, [&] { host().PushClick(id, 20, 15); });
    f.Show(true);
    EXPECT_FALSE(f.IsLoaded());
    EXPECT_EQ(f.log.back(), "Unload");
}

TEST_F(FormLifecycle, NestedModalFormsReturnInnermostFirst) {
    LifecycleForm outer, inner;
    std::vector<std::string> order;
    outer.Ticker.OnTimer = [&] {
        outer.Ticker.SetTimerEnabled(false);
        inner.Ticker.OnTimer = [&] {
            order.push_back("inner closes");
            inner.Unload();
        };
        inner.Ticker.SetInterval(50);
        inner.Show(true);
        order.push_back("inner returned");
        EXPECT_TRUE(outer.IsLoaded());
        outer.Unload();
    };
    outer.Ticker.SetInterval(10);
    outer.Show(true);
    order.push_back("outer returned");
    EXPECT_EQ(order, (std::vector<std::string>{"inner closes", "inner returned", "outer returned"}));
}

TEST_F(FormLifecycle, HidingEndsTheModalDisplayButKeepsTheFormLoaded) {
    LifecycleForm f;
    f.Ticker.OnTimer = [&] { f.Hide(); };
    f.Ticker.SetInterval(30);
    f.Show(true);
    EXPECT_TRUE(f.IsLoaded());
    EXPECT_FALSE(f.Visible());
    EXPECT_FALSE(os::IsWindowVisible(f.hWnd()));
}

TEST_F(FormLifecycle, InstanceIsOnePerClass) {
    struct Only : forms::Form {
        Only() : forms::Form("Only") {}
    };
    Only& a = forms::Instance<Only>();
    Only& b = forms::Instance<Only>();
    EXPECT_EQ(&a, &b);
    EXPECT_FALSE(a.IsLoaded());
}

TEST_F(FormLifecycle, UnloadFromInsideAButtonClickIsSafe) {
    LifecycleForm f;
    f.Show();
    const os::HostWindowId id = static_cast<os::HostWindowId>(f.hWnd());
    host().PushClick(id, 20, 15);
    host().PushClick(id, 20, 15);  // arrives after the window is gone
    forms::DoEvents();
    EXPECT_FALSE(f.IsLoaded());
    EXPECT_EQ(std::count(f.log.begin(), f.log.end(), "Unload"), 1);
}

TEST_F(FormLifecycle, ModalFormBlocksInputToOtherForms) {
    struct Counting : forms::Form {
        Counting() : forms::Form("Counting") {}
        int clicks = 0;
        void Form_Click() override { ++clicks; }
    };
    Counting behind;
    LifecycleForm dialog;
    behind.Show();
    const auto behind_id = static_cast<os::HostWindowId>(behind.hWnd());
    host().Schedule(10, [&] { host().PushClick(behind_id, 5, 5); });
    dialog.Ticker.OnTimer = [&] { dialog.Unload(); };
    dialog.Ticker.SetInterval(100);
    dialog.Show(true);
    EXPECT_EQ(behind.clicks, 0);
    host().PushClick(behind_id, 5, 5);
    forms::DoEvents();
    EXPECT_EQ(behind.clicks, 1);
}

TEST_F(FormLifecycle, UnloadInsideFormLoadLeavesTheFormUnloaded) {
    struct Quitter : forms::Form {
        Quitter() : forms::Form("Quitter") {}
        int loads = 0;
        void Form_Load() override {
            ++loads;
            Unload();
        }
    };
    Quitter f;
    f.Load();
    EXPECT_FALSE(f.IsLoaded());
    EXPECT_EQ(f.loads, 1);
    f.Show(true);  // loads, unloads again, and does not wait
    EXPECT_EQ(f.loads, 2);
    EXPECT_FALSE(f.IsLoaded());
}

}  // namespace
