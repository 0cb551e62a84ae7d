// The command line picks the road; the saver road's instance check; the preview road's
// re-parenting into the host's window and its end when that window goes away.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <optional>
#include <utility>
#include <vector>

#include "forms/app.h"
#include "forms/instance_lock.h"
#include "forms/metrics.h"
#include "runtime/random.h"
#include "os/gdi.h"
#include "os/sound.h"
#include "os/window.h"
#include "saver/init_screen_saver.h"
#include "saver/planes.h"
#include "saver/ss_form.h"
#include "saver/ss_module.h"
#include "settings/settings.h"
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
        host().Schedule(host().NowMs() + 300, [this, cmd] {
            const auto window = static_cast<os::HostWindowId>(SSFormInstance().hWnd());
            // Its pixels were made twice: at the design size, then once at the screen's.
            EXPECT_EQ(host().BufferCount(window), 2) << cmd;
            host().PushKey(window, 'A', 'a');
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
        SSForm& f = SSFormInstance();
        child = static_cast<os::HostWindowId>(f.hWnd());
        presents_seen = host().PresentCount(child);
        EXPECT_EQ(host().ParentOf(child), parent);
        EXPECT_EQ(f.Caption(), "Preview");
        // Laid out before the screen was measured: planes wrap within -200 to 200, and
        // every lightning variant paints into one pixel.
        EXPECT_EQ(f.WrapMaxX, 200);
        EXPECT_EQ(f.WrapMaxY, 200);
        EXPECT_EQ(f.WrapSpanX, 400);
        EXPECT_EQ(f.WrapSpanY, 400);
        const std::int16_t one_pixel[LightVariants][4] = {
            {0, 0, 1, 1}, {1, 0, -1, 1}, {0, 1, 1, -1}, {1, 1, -1, -1}, {0, 0, 1, 1}};
        for (int r = 0; r < LightVariants; ++r)
            for (int c = 0; c < 4; ++c) EXPECT_EQ(f.LightPos[r][c], one_pixel[r][c]) << r << c;
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

TEST_F(Startup, PasswordRoadOpensTheChangeDialogOverTheForegroundWindowAndEnds) {
    const auto owner = host().AddForeignWindow("Display settings", {500, 400, 900, 700});
    for (const char* cmd : {"/a", "/A 123"}) {
        host().ShowWindow(owner, true);  // brings it to the foreground
        ASSERT_EQ(host().ForegroundWindow(), owner);
        os::HostWindowId dialog = 0;
        std::optional<os::HostRect> rect;
        host().Schedule(host().NowMs() + 100, [&] {
            for (os::HostWindowId id : host().TopLevelWindows())
                if (id != owner && os::IsWindowVisible(static_cast<os::HWND>(id))) dialog = id;
            rect = host().WindowRect(dialog);
            host().PushKey(dialog, forms::vbKeyEscape);
        });
        RunMain(cmd);
        ASSERT_NE(dialog, 0u) << cmd;
        ASSERT_TRUE(rect.has_value()) << cmd;
        // Centred over its owner, the foreground window (centre 700, 550), not over the
        // screen (centre 512, 384); the window's frame may shift its client area a little.
        EXPECT_NEAR((rect->left + rect->right) / 2.0, 700.0, 15.0) << cmd;
        EXPECT_NEAR((rect->top + rect->bottom) / 2.0, 550.0, 15.0) << cmd;
        EXPECT_FALSE(SSFormInstance().IsLoaded()) << cmd;
        EXPECT_EQ(host().WindowCount(), 1) << cmd;  // only the foreign window is left
        EXPECT_EQ(RunMode, ModeUnset) << cmd;
    }
}

// The saver window's set-up as the saver road runs it.
class SaverSetUp : public SaverFixture {
protected:
    SSForm& form() { return SSFormInstance(); }
    void SetUpSaver() {
        form().Load();
        RunMode = ModeSaver;
        InitScreenSaver();
    }
    // A sound file that the recording device plays for `ms`.
    std::string Sound(const std::string& name, std::uint64_t ms) {
        const std::string path = temp_dir() + "/" + name;
        std::ofstream(path, std::ios::binary) << "RIFF";
        audio().SetDuration(path, ms);
        return path;
    }
};

TEST_F(SaverSetUp, GeometryAndLightningPlacementFollowTheMeasuredScreen) {
    SetUpSaver();
    EXPECT_EQ(ScreenW, 1024);
    EXPECT_EQ(ScreenH, 768);
    EXPECT_EQ(ScreenRect.left, 0);
    EXPECT_EQ(ScreenRect.top, 0);
    EXPECT_EQ(ScreenRect.right, 1024);
    EXPECT_EQ(ScreenRect.bottom, 768);
    // Laid out after the screen was measured, from the lightning box's own size.
    EXPECT_EQ(form().WrapMaxX, 1224);
    EXPECT_EQ(form().WrapSpanY, 1168);
    EXPECT_EQ(form().LightW, 638);
    EXPECT_EQ(form().LightH, 389);
    EXPECT_EQ(form().LightX0, 193);
    EXPECT_EQ(form().LightY0, 190);
    EXPECT_EQ(form().WinDisp.Width(), 1024);
    EXPECT_EQ(form().WinDispDC.Height(), 768);
}

TEST_F(SaverSetUp, FrameIntervalIsTheStoredSpeedRoundedTiesToEven) {
    const std::pair<const char*, int> cases[] = {{" 2.5", 2}, {" 3.5", 4}, {" 7", 7}};
    for (const auto& [text, ms] : cases) {
        StoreSetting("TimeInt", text);
        StoreSetting("EventInt", " 4000");
        SetUpSaver();
        EXPECT_EQ(form().Movement.Interval(), ms) << text;
        EXPECT_EQ(form().Eventer.Interval(), 4000) << text;
        form().Unload();
    }
}

TEST_F(SaverSetUp, BackgroundSoundFirstStopsWhatPlaysThenLoops) {
    const std::string other = Sound("other.wav", 5000);
    const std::string drone = Sound("drone.wav", 1000);
    StoreSetting("BkWavEna", " 1");
    StoreSetting("BKWav", drone);
    os::sndPlaySoundA(other.c_str(), os::SND_ASYNC);
    ASSERT_EQ(audio().Playing(), other);
    SetUpSaver();
    // Without the stop request the non-interrupting loop would have been refused.
    EXPECT_EQ(audio().Playing(), drone);
    ASSERT_EQ(audio().Plays().size(), 2u);
    EXPECT_EQ(audio().Plays().back().path, drone);
    EXPECT_TRUE(audio().Plays().back().loop);
}

TEST_F(SaverSetUp, NoSoundRequestWhileTheBackgroundSoundIsOff) {
    const std::string other = Sound("other.wav", 5000);
    StoreSetting("BkWavEna", " 0");
    os::sndPlaySoundA(other.c_str(), os::SND_ASYNC);
    SetUpSaver();
    EXPECT_EQ(audio().Playing(), other);  // not even the stop request was made
    EXPECT_EQ(audio().Plays().size(), 1u);
}

TEST_F(SaverSetUp, TheFormationIsPlacedFromTheClockSeed) {
    // What the formation would be were the generator still at the fixture's fixed seed.
    runtime::RandomizeWith(1234);
    ScreenW = 1024;
    ScreenH = 768;
    InitPlanes();
    std::vector<float> fixed;
    for (const PlaneRecord& p : Planes) fixed.insert(fixed.end(), {float(p.X), float(p.Y), p.Dir, p.Frame});
    // Seeded from the clock before the formation draws: a set-up from that same fixed
    // state places it otherwise (14 bits drawn; three set-ups all alike: 1 in 2^42).
    int differing = 0;
    for (int run = 0; run < 3; ++run) {
        runtime::RandomizeWith(1234);
        SetUpSaver();
        std::vector<float> placed;
        for (const PlaneRecord& p : Planes)
            placed.insert(placed.end(), {float(p.X), float(p.Y), p.Dir, p.Frame});
        if (placed != fixed) ++differing;
        form().Unload();
    }
    EXPECT_GT(differing, 0) << "the formation was drawn before the seeding";
}

// The banner "Ryk Tavro" in the snapshot at x = ScreenW / 2 - 40 (ties to even), y = 0.
class Banner : public SaverFixture, public ::testing::WithParamInterface<std::pair<int, int>> {
protected:
    Banner() : SaverFixture(GetParam().first, 240) {}
};

TEST_P(Banner, StandsAtTheTopMiddleOfTheSnapshot) {
    const int x = GetParam().second;
    PaintDesktopPattern();
    SSForm& form = SSFormInstance();
    form.Load();
    RunMode = ModeSaver;
    InitScreenSaver();
    os::Surface& snap = form.WinDisp.Image();
    const int w = snap.width(), h = snap.height();
    std::vector<std::uint32_t> shown;
    int changed = 0, left = w;
    for (int y = 0; y < h; ++y)
        for (int px = 0; px < w; ++px) {
            shown.push_back(snap.pixel(px, y));
            if (snap.pixel(px, y) != tavro_test::DesktopPatternPixel(px, y)) {
                ++changed;
                left = std::min(left, px);
            }
        }
    EXPECT_GT(changed, 100) << "no banner";
    EXPECT_GE(left, x);
    EXPECT_LT(left, x + 3) << "the text cell starts at x";
    // The same text drawn at (x, 0) on the bare desktop gives the very same snapshot.
    for (int y = 0; y < h; ++y)
        for (int px = 0; px < w; ++px) snap.row(y)[px] = tavro_test::DesktopPatternPixel(px, y);
    snap.NoteWritten(snap.bounds());
    os::TextOutA(form.WinDisp.hDC(), x, 0, "Ryk Tavro", 9);
    int differ = 0;
    for (int y = 0; y < h; ++y)
        for (int px = 0; px < w; ++px)
            if (snap.pixel(px, y) != shown[static_cast<std::size_t>(y) * w + px]) ++differ;
    EXPECT_EQ(differ, 0);
}

// 1025 gives 472.5 and 1027 gives 473.5: ties go to the even neighbour.
INSTANTIATE_TEST_SUITE_P(ScreenWidths, Banner,
                         ::testing::Values(std::pair{1024, 472}, std::pair{1025, 472},
                                           std::pair{1027, 474}, std::pair{640, 280}));

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

TEST_F(Startup, SaverStartsUnlessAnotherInstanceRunsAndAWindowIsTitledLikeASaver) {
    // Each half alone does not stop a saver: another instance that shows a preview (or
    // the settings dialog), or a window of another program titled "Screen saver".
    const struct {
        bool other_instance;
        const char* other_title;
    } cases[] = {{true, "Preview"}, {true, "Tavro Screen Saver"}, {false, "Screen saver"}};
    for (const auto& c : cases) {
        std::optional<forms::InstanceLock> other;
        if (c.other_instance) {
            other.emplace(forms::InstanceLock::DefaultPath());
            ASSERT_FALSE(other->Acquire());
        }
        const auto window = host().AddForeignWindow(c.other_title, {0, 0, 300, 200});
        bool ran = false;
        host().Schedule(host().NowMs() + 300, [&] {
            ran = SSFormInstance().IsLoaded();
            host().PushKey(static_cast<os::HostWindowId>(SSFormInstance().hWnd()), 27, 27);
        });
        RunMain("/s");
        EXPECT_TRUE(ran) << c.other_title;
        EXPECT_EQ(RunMode, ModeSaver) << c.other_title;
        host().DestroyForeignWindow(window);
        // The next start asks afresh, as a new process would.
        forms::App.Reset();
        RunMode = ModeUnset;
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
