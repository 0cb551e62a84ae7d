// The command line picks the road; the saver road's instance check; the preview road's
// re-parenting into the host's window and its end when that window goes away.
#include <gtest/gtest.h>

#include "forms/app.h"
#include "forms/instance_lock.h"
#include "os/window.h"
#include "saver/ss_form.h"
#include "saver/ss_module.h"
#include "startup/main.h"
#include "support/saver_fixture.h"

namespace {

using tavro_test::SaverFixture;

TEST(CommandLine, NormalisedTextAlwaysEndsWithTheSettingsSwitch) {
    EXPECT_EQ(NormaliseCommandLine(""), "/c");
    EXPECT_EQ(NormaliseCommandLine("  /S  "), "/s/c");
    EXPECT_EQ(NormaliseCommandLine("\t/s"), "\t/s/c");  // a tab is not trimmed
    EXPECT_EQ(NormaliseCommandLine("/p 123"), "/p 123/c");
}

TEST(CommandLine, PreviewHandleIsTheNumberFromTheFourthCharacter) {
    os::HWND h = -1;
    ASSERT_TRUE(PreviewHostHandle("/p 123/c", &h));
    EXPECT_EQ(h, 123);
    ASSERT_TRUE(PreviewHostHandle("/p:123/c", &h));
    EXPECT_EQ(h, 123);
    ASSERT_TRUE(PreviewHostHandle("/p123/c", &h));
    EXPECT_EQ(h, 23);
    ASSERT_TRUE(PreviewHostHandle("/p/c", &h));
    EXPECT_EQ(h, 0);
    ASSERT_TRUE(PreviewHostHandle("/p 2.5/c", &h));
    EXPECT_EQ(h, 2);
    EXPECT_FALSE(PreviewHostHandle("/p 99999999999/c", &h));
    EXPECT_FALSE(PreviewHostHandle("/p -2147483649/c", &h));
}

class Startup : public SaverFixture {};

TEST_F(Startup, LettersThatSelectNoRoadEndAtOnceWithoutAWindow) {
    for (const char* cmd : {"/x", "s", "/", "-", "//s"}) {
        RunMain(cmd);
        EXPECT_EQ(host().WindowCount(), 0) << cmd;
        EXPECT_FALSE(SSFormInstance().IsLoaded()) << cmd;
        EXPECT_EQ(RunMode, ModeUnset) << cmd;
    }
}

TEST_F(Startup, SaverRoadRunsUntilAKeyIsPressed) {
    for (const char* cmd : {"/s", "/S", "-s", "  /s 123  "}) {
        RunMode = ModeUnset;
        host().Schedule(host().NowMs() + 300, [this] {
            host().PushKey(static_cast<os::HostWindowId>(SSFormInstance().hWnd()), 'A', 'a');
        });
        RunMain(cmd);
        EXPECT_FALSE(SSFormInstance().IsLoaded()) << cmd;
        EXPECT_EQ(RunMode, ModeSaver) << cmd;
    }
}

TEST_F(Startup, PreviewRoadDrawsInsideTheHostWindowUntilItIsDestroyed) {
    PaintDesktopPattern();
    const auto parent = host().AddForeignWindow("Display settings", {100, 100, 252, 212});
    os::HostWindowId child = 0;
    int presents_seen = 0;
    host().Schedule(500, [&] {
        child = static_cast<os::HostWindowId>(SSFormInstance().hWnd());
        presents_seen = host().PresentCount(child);
        EXPECT_EQ(host().ParentOf(child), parent);
        EXPECT_EQ(SSFormInstance().Caption(), "Preview");
        host().DestroyForeignWindow(parent);
    });
    RunMain("/p " + std::to_string(parent));
    EXPECT_FALSE(SSFormInstance().IsLoaded());
    EXPECT_EQ(RunMode, ModePreview);
    EXPECT_GT(presents_seen, 10);
    EXPECT_EQ(CursorCount(), 1);  // nothing hid the cursor; the unload showed it once
}

TEST_F(Startup, PreviewRoadWithAHandleThatNamesNoWindowEndsAtOnce) {
    for (const std::string cmd : {"/p 999999", "/p 99999999999", "/p"}) {
        RunMain(cmd);
        EXPECT_FALSE(SSFormInstance().IsLoaded()) << cmd;
        EXPECT_EQ(host().WindowCount(), 0) << cmd;
    }
}

TEST_F(Startup, PreviewRoadEndsWhenTheHostRefusesTheParent) {
    const auto parent = host().AddForeignWindow("Host", {0, 0, 100, 100});
    host().RefuseReparent(true);
    RunMain("/p " + std::to_string(parent));
    EXPECT_FALSE(SSFormInstance().IsLoaded());
    EXPECT_EQ(host().WindowCount(), 1);  // only the foreign window is left
}

class InstanceWalk : public SaverFixture {
protected:
    void SetUp() override {
        SaverFixture::SetUp();
        SSFormInstance().Load();  // the saver road loads it with the run mode unset
        ASSERT_EQ(SSFormInstance().Caption(), "Screen saver");
    }
};

TEST_F(InstanceWalk, OwnWindowAloneIsNoRunningSaver) { EXPECT_EQ(SaverAlreadyRunning(), 0); }

TEST_F(InstanceWalk, TitlesThatBeginWithTheCaptionMatch) {
    for (const char* title : {"Screen saver", "   Screen saver", "Screen saver - running"}) {
        const auto other = host().AddForeignWindow(title, {0, 0, 10, 10});
        EXPECT_EQ(SaverAlreadyRunning(), -1) << title;
        host().DestroyForeignWindow(other);
    }
}

TEST_F(InstanceWalk, TitlesThatDifferDoNotMatch) {
    for (const char* title : {"Screen save", "screen saver", "Screen  saver", "Preview", ""}) {
        const auto other = host().AddForeignWindow(title, {0, 0, 10, 10});
        EXPECT_EQ(SaverAlreadyRunning(), 0) << '"' << title << '"';
        host().DestroyForeignWindow(other);
    }
}

TEST_F(Startup, SecondSaverEndsWhenAnotherInstanceRunsAndAWindowIsTitledLikeASaver) {
    // Another instance holds the instance lock (a second open file description stands for
    // its process) and shows a window titled "Screen saver".
    forms::InstanceLock other(forms::InstanceLock::DefaultPath());
    ASSERT_FALSE(other.Acquire());
    host().AddForeignWindow("Screen saver", {0, 0, 1024, 768});
    const int before = CursorCount();
    bool ran = false;
    host().Schedule(2000, [&] {  // only reached when the saver wrongly kept running
        ran = true;
        host().PushKey(static_cast<os::HostWindowId>(SSFormInstance().hWnd()), 27, 27);
    });
    RunMain("/s");
    EXPECT_FALSE(ran);
    EXPECT_FALSE(SSFormInstance().IsLoaded());
    EXPECT_EQ(RunMode, ModeUnset);  // the road ended before the mode was set
    EXPECT_EQ(CursorCount(), before);  // hidden at load, shown again at unload
    EXPECT_TRUE(audio().Plays().empty());
}

}  // namespace
