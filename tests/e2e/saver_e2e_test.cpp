// The real executable on an X display: the saver covers the screen with the frozen
// desktop, the banner and moving planes, ends on a key, refuses a second instance, draws
// inside a preview host window until it is destroyed; unknown switches end at once.
#include <gtest/gtest.h>

#include <signal.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>

#include "support/x/on_x.h"

namespace {

using e2e::Keep;
using e2e::SaverProcess;
using e2e::Shot;
using e2e::TempDir;
using e2e::WaitUntil;
using e2e::XSession;

namespace fs = std::filesystem;

// True once the process runs SDL's audio thread: its sound device is open.
bool HasSoundThread(pid_t pid) {
    std::error_code ec;
    for (fs::directory_iterator it("/proc/" + std::to_string(pid) + "/task", ec), end;
         !ec && it != end; it.increment(ec)) {
        std::ifstream comm(it->path() / "comm");
        std::string name;
        if (std::getline(comm, name) && name.rfind("SDLAudio", 0) == 0) return true;
    }
    return false;
}

// True when the process has a shared library whose file name starts with `name` mapped.
bool MapsLibrary(pid_t pid, const std::string& name) {
    std::ifstream maps("/proc/" + std::to_string(pid) + "/maps");
    for (std::string line; std::getline(maps, line);)
        if (line.find("/" + name) != std::string::npos) return true;
    return false;
}

using SaverOnX = e2e::OnX;

TEST_F(SaverOnX, ShowsTheFrozenDesktopWithBannerAndMovingPlanesThenEndsOnAKey) {
    const Shot before = x_.Screenshot();
    SaverProcess saver(dir_.path());
    saver.Start({"/s"});
    ASSERT_NE(x_.WaitForWindow("Screen saver", 10000), 0u) << saver.Stderr();
    // A frame with the banner and the planes, then one where the planes have moved on.
    const auto first = x_.WaitForScreen(
        [&](const Shot& s) { return x_.ShowsBanner(s) && s.CountDifferent(before, 4) > 50; },
        5000);
    ASSERT_TRUE(first.has_value()) << "no planes or banner drawn";
    // No sound has been asked for yet (no background sound, no event so soon): the sound
    // library is not even loaded.
    EXPECT_FALSE(MapsLibrary(saver.pid(), "libSDL2")) << "the sound library loads at start";
    const Shot a = *first;
    const auto second =
        x_.WaitForScreen([&](const Shot& s) { return a.CountDifferent(s, 2) > 100; }, 5000);
    ASSERT_TRUE(second.has_value()) << "the planes do not move";
    const Shot b = *second;
    Keep(a, "saver-frame-1");
    Keep(b, "saver-frame-2");

    // Most of the screen is the desktop as it was; the planes move between the shots.
    const int changed = a.CountDifferent(before, 4);
    const int grid = (a.width / 4) * (a.height / 4);
    EXPECT_GT(changed, 50) << "no planes or banner drawn";
    EXPECT_LT(changed, grid / 2) << "the frozen desktop is not shown";
    EXPECT_GT(a.CountDifferent(b, 2), 100) << "the planes do not move";
    // The banner: dark text pixels at the top middle.
    int banner = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = a.width / 2 - 40; x < a.width / 2 + 40; ++x)
            if (a.at(x, y) != XSession::DesktopPixel(x, y)) ++banner;
    EXPECT_GT(banner, 30);

    x_.Key("space");
    const auto code = saver.Wait(3000);
    ASSERT_TRUE(code.has_value()) << "the saver did not end on a key";
    EXPECT_EQ(*code, 0);
    const auto after = x_.WaitForScreen(
        [&](const Shot& s) { return s.CountDifferent(before, 4) < 20; }, 3000);
    Keep(after.value_or(x_.Screenshot()), "after-exit");
    EXPECT_TRUE(after.has_value()) << "the desktop is not back";
}

TEST_F(SaverOnX, SmallPointerMovesKeepItALargerOneEndsIt) {
    x_.MovePointer(500, 400);
    SaverProcess saver(dir_.path());
    saver.Start({"/s"});
    const unsigned long window = x_.WaitForWindow("Screen saver", 10000);
    ASSERT_NE(window, 0u) << saver.Stderr();
    // Its first frame is shown: the window takes input.
    ASSERT_TRUE(x_.WaitForScreen([&](const Shot& s) { return x_.ShowsBanner(s); }, 5000));
    x_.MovePointer(503, 402);  // takes the reference point
    x_.Separate(window);       // handled apart from the next move
    x_.MovePointer(508, 407);  // 5 pixels from it on each axis: not more than 5
    x_.Separate(window);
    EXPECT_FALSE(saver.Wait(300).has_value()) << "a move of 5 pixels ended the saver";
    x_.MovePointer(503, 408);  // 6 pixels down from the reference
    const auto code = saver.Wait(3000);
    ASSERT_TRUE(code.has_value()) << "a move of 6 pixels did not end the saver";
    EXPECT_EQ(*code, 0);
}

TEST_F(SaverOnX, ASecondSaverEndsAtOnceWhileOneRuns) {
    SaverProcess first(dir_.path());
    first.Start({"/s"});
    ASSERT_NE(x_.WaitForWindow("Screen saver", 10000), 0u) << first.Stderr();
    SaverProcess second(dir_.path());
    second.Start({"/s"});
    const auto code = second.Wait(3000);
    ASSERT_TRUE(code.has_value()) << "the second instance kept running";
    EXPECT_EQ(*code, 0);
    EXPECT_TRUE(first.Running());
    x_.Key("Escape");
    EXPECT_TRUE(first.Wait(3000).has_value());
}

TEST_F(SaverOnX, PreviewDrawsInsideTheHostWindowUntilItIsDestroyed) {
    // Away from the top-left corner: the preview shows the top-left part of the whole
    // screen's snapshot, which then holds only the desktop (and planes flying over it).
    const unsigned long host = x_.CreateWindow(600, 400, 240, 180, 0x000000, "Preview host");
    ASSERT_NE(x_.WaitForWindow("Preview host", 10000), 0u);
    SaverProcess preview(dir_.path());
    preview.Start({"/p", std::to_string(host)});
    const auto shows_desktop = [](const Shot& inside) {
        int desktop = 0;
        for (int y = 0; y < inside.height; ++y)
            for (int x = 0; x < inside.width; ++x)
                if (inside.at(x, y) == XSession::DesktopPixel(x, y)) ++desktop;
        return desktop > static_cast<int>(inside.pixels.size() / 2);
    };
    const auto inside = x_.WaitForWindowShot(host, shows_desktop, 5000);
    ASSERT_TRUE(preview.Running()) << preview.Stderr();
    Keep(inside.value_or(x_.WindowShot(host)), "preview");
    EXPECT_TRUE(inside.has_value()) << "the host does not show the snapshot's top-left part";
    // Input does not end a preview.
    x_.Click(700, 480);
    EXPECT_FALSE(preview.Wait(200).has_value()) << "a click ended the preview";
    x_.DestroyWindow(host);
    const auto code = preview.Wait(3000);
    ASSERT_TRUE(code.has_value()) << "the preview outlived its host window";
    EXPECT_EQ(*code, 0);
}

TEST_F(SaverOnX, PreviewWithAHandleThatNamesNoWindowEndsAtOnce) {
    SaverProcess preview(dir_.path());
    preview.Start({"/p", "12345"});
    const auto code = preview.Wait(3000);
    ASSERT_TRUE(code.has_value());
    EXPECT_EQ(*code, 0);
}

TEST_F(SaverOnX, UnknownSwitchEndsAtOnceWithoutAWindow) {
    const auto titles_before = x_.TopLevelTitles();
    SaverProcess p(dir_.path());
    p.Start({"/x"});
    const auto code = p.Wait(2000);
    ASSERT_TRUE(code.has_value());
    EXPECT_EQ(*code, 0);
    EXPECT_EQ(x_.TopLevelTitles(), titles_before);
}

// SIGTERM and SIGINT end every road at once: also after a sound has played (the sound
// library would catch them into a quit event nobody reads) and when the process was started
// with them ignored, as a shell starts a background job.
TEST_F(SaverOnX, SigtermAndSigintEndEveryRoadAfterASoundAndWhenStartedIgnoringThem) {
    // The background loop on the saver road; a thunder clap within 100 ms in preview.
    e2e::WriteHive(dir_.path(),
                   {{"BkWavEna", " 1"}, {"ThWavEna", " 1"}, {"EnaTh", " 1"}, {"EventInt", " 100"}});
    // Ignored signals stay ignored across exec.
    const std::string ignoring = dir_.path() + "/ignoring.sh";
    std::ofstream(ignoring) << "#!/bin/sh\ntrap '' INT TERM\nexec '" << TAVRO_EXE << "' \"$@\"\n";
    fs::permissions(ignoring, fs::perms::owner_all);
    const unsigned long host = x_.CreateWindow(600, 400, 240, 180, 0x000000, "Preview host");

    const struct {
        std::vector<std::string> args;
        const char* title;  // a window of the road, or nullptr for the preview
        bool sound;
        bool started_ignoring;
        int signal;
    } roads[] = {
        {{"/s"}, "Screen saver", true, true, SIGTERM},
        {{"/p", std::to_string(host)}, nullptr, true, false, SIGINT},
        {{"/s"}, "Screen saver", true, false, SIGINT},
        {{"/c"}, "Tavro Screen Saver", false, true, SIGINT},
        {{"/a"}, "Change Password", false, true, SIGTERM},
    };
    for (const auto& road : roads) {
        const std::string what = road.args[0] + (road.started_ignoring ? " ignoring" : "") +
                                 " signal " + std::to_string(road.signal);
        SaverProcess p(dir_.path());
        if (road.started_ignoring) p.SetExecutable(ignoring);
        p.Start(road.args);
        if (road.title) {
            ASSERT_NE(x_.WaitForWindow(road.title, 5000), 0u) << what << p.Stderr();
        }
        if (road.sound) {
            ASSERT_TRUE(WaitUntil([&] { return HasSoundThread(p.pid()); }, 5000))
                << what << ": no sound played " << p.Stderr();
        }
        ASSERT_TRUE(p.Running()) << what;
        kill(p.pid(), road.signal);
        const auto code = p.Wait(3000);
        ASSERT_TRUE(code.has_value()) << what << " kept running";
        EXPECT_EQ(*code, 128 + road.signal) << what;
    }
    x_.DestroyWindow(host);
}

TEST(SaverWithoutDisplay, SaysSoOnOneLineAndFails) {
    TempDir dir;
    for (const char* sw : {"/s", "/p", "/c", "/a"}) {
        SaverProcess p(dir.path());
        p.Start({sw}, {{"DISPLAY", ":97531"}});
        const auto code = p.Wait(3000);
        ASSERT_TRUE(code.has_value()) << sw;
        EXPECT_NE(*code, 0) << sw;
        const std::string& err = p.Stderr();
        EXPECT_NE(err.find("display"), std::string::npos) << err;
        EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    }
}

}  // namespace
