// The random events on a real X display: with a settings hive asking for an event about
// every second and no formation, a thunder event's bolt reaches the screen between two
// frames (caught by screenshots taken one after another), bright or dark as its kind
// says; and a copy of the executable with a sequence file of our own beside it plays that
// sequence.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <cstdio>
#include <map>
#include <optional>
#include <string>

#include "support/x/on_x.h"

namespace {

using e2e::Keep;
using e2e::SaverProcess;
using e2e::Shot;
using e2e::TempDir;
using e2e::WriteHive;

namespace fs = std::filesystem;

// How a shot differs from the plain frame.
struct Difference {
    int changed = 0;
    int brighter = 0;  // only bits added (a bright bolt: frame OR picture)
    int darker = 0;    // only bits taken away (a dark bolt: frame AND NOT picture)
    int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;  // bounds of the changes
};

Difference Compare(const Shot& shot, const Shot& plain) {
    Difference d;
    for (int y = 0; y < shot.height; ++y)
        for (int x = 0; x < shot.width; ++x) {
            const std::uint32_t a = shot.at(x, y), b = plain.at(x, y);
            if (a == b) continue;
            ++d.changed;
            if ((a & b) == b) ++d.brighter;
            else if ((a | b) == b) ++d.darker;
            d.left = std::min(d.left, x), d.right = std::max(d.right, x);
            d.top = std::min(d.top, y), d.bottom = std::max(d.bottom, y);
        }
    return d;
}

class EventsOnX : public e2e::OnX {
protected:
    // Starts the saver, waits for its first frame and returns the plain frame (the
    // desktop with the banner: these savers fly no formation). An event already on the
    // screen then does not spoil it: only the banner is taken from the screen.
    Shot StartSaver(SaverProcess& saver) {
        saver.Start({"/s"});
        EXPECT_NE(x_.WaitForWindow("Screen saver", 10000), 0u) << saver.Stderr();
        const auto first = x_.WaitForScreen([&](const Shot& s) { return x_.ShowsBanner(s); }, 5000);
        EXPECT_TRUE(first.has_value()) << "no first frame";
        return first ? *x_.PlainFrame(*first) : x_.Screenshot();
    }

    // Screenshots one after another for up to ms; the first that differs from `plain`.
    std::optional<Shot> CatchChange(const Shot& plain, int ms, int* shots) {
        const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        *shots = 0;
        while (std::chrono::steady_clock::now() < until) {
            Shot s = x_.Screenshot();
            ++*shots;
            if (s.CountDifferent(plain, 1) > 0) return s;
        }
        return std::nullopt;
    }
};

// The lightning picture's rectangle on a 1024 x 768 screen: 638 x 389 in the middle.
constexpr int kBoltLeft = (1024 - 638) / 2, kBoltTop = 190;

TEST_F(EventsOnX, ABrightBoltReachesTheScreenBetweenTwoFrames) {
    if (x_.width() != 1024 || x_.height() != 768) GTEST_SKIP() << "needs a 1024x768 screen";
    // Events every 2 to 2002 ms, nearly all of them Thunder 1; no planes, no sound; a frame
    // every 300 ms, so that each bolt stays on the screen until the next frame long enough
    // for a screenshot (at the default 10 ms frames a screenshot of the whole screen
    // catches a bolt only by chance).
    WriteHive(dir_.path(), {{"EventInt", "1000"}, {"EventProbs", "999"}, {"PlaneNum", "-1"},
                            {"TimeInt", "300"}, {"ThWavEna", "0"}, {"BkWavEna", "0"}});
    SaverProcess saver(dir_.path());
    const Shot plain = StartSaver(saver);
    Keep(plain, "events-plain-frame");

    int shots = 0;
    const auto caught = CatchChange(plain, 12000, &shots);
    ASSERT_TRUE(caught.has_value()) << "no flash caught in " << shots << " screenshots";
    Keep(*caught, "events-bright-bolt");
    const Difference d = Compare(*caught, plain);
    std::printf("bright bolt caught after %d screenshots: %d pixels changed\n", shots, d.changed);
    // The picture ORed onto the frame: only bits added, all inside the picture's place
    // (or the one top-left pixel of the squeezed variant).
    EXPECT_EQ(d.brighter, d.changed) << "changed pixels that are not the frame OR something";
    if (d.changed > 1) {
        EXPECT_GE(d.left, kBoltLeft);
        EXPECT_LT(d.right, kBoltLeft + 638);
        EXPECT_GE(d.top, kBoltTop);
        EXPECT_LT(d.bottom, kBoltTop + 389);
        EXPECT_GT(d.changed, 200) << "too little of a bolt";
    }
    // The next frame wipes it.
    EXPECT_TRUE(x_.WaitForScreen(
        [&](const Shot& s) { return s.CountDifferent(plain, 1) < d.changed; }, 3000))
        << "the bolt stays on the screen";
    x_.Key("Escape");
    EXPECT_TRUE(saver.Wait(3000).has_value());
}

TEST_F(EventsOnX, ADarkBoltTakesBitsAway) {
    if (x_.width() != 1024 || x_.height() != 768) GTEST_SKIP() << "needs a 1024x768 screen";
    // Nearly all events Thunder 2: the picture on the inverted frame, inverted back; slow
    // frames as above.
    WriteHive(dir_.path(), {{"EventInt", "1000"}, {"EventProbs", "099"}, {"PlaneNum", "-1"},
                            {"TimeInt", "300"}, {"ThWavEna", "0"}, {"BkWavEna", "0"}});
    SaverProcess saver(dir_.path());
    const Shot plain = StartSaver(saver);
    int shots = 0;
    const auto caught = CatchChange(plain, 12000, &shots);
    ASSERT_TRUE(caught.has_value()) << "no flash caught in " << shots << " screenshots";
    Keep(*caught, "events-dark-bolt");
    const Difference d = Compare(*caught, plain);
    std::printf("dark bolt caught after %d screenshots: %d pixels changed\n", shots, d.changed);
    EXPECT_EQ(d.darker, d.changed) << "changed pixels that are not the frame AND NOT something";
    if (d.changed > 1) {
        EXPECT_GE(d.left, kBoltLeft);
        EXPECT_LT(d.right, kBoltLeft + 638);
    }
    x_.Key("Escape");
    EXPECT_TRUE(saver.Wait(3000).has_value());
}

// A copy of the executable in a folder of its own, with this sequence file beside it.
std::string InstallCopy(const std::string& folder, const std::string& sequence_text) {
    const std::string exe = folder + "/TavroSS";
    fs::copy_file(TAVRO_EXE, exe, fs::copy_options::overwrite_existing);
    fs::permissions(exe, fs::perms::owner_all, fs::perm_options::add);
    if (!sequence_text.empty())
        std::ofstream(folder + "/TavroSS.ini", std::ios::binary) << sequence_text;
    return exe;
}

TEST_F(EventsOnX, ASequenceFromTheFileBesideTheExecutablePlays) {
    // Every event a Sequence, the first one second after the start; no formation, so any
    // plane on the screen is the sequence's. One plane starts in the middle of the left
    // half and flies right for 400 ticks; then the next sequence starts at once.
    WriteHive(dir_.path(), {{"EventInt", "1000"}, {"EventProbs", "009"}, {"PlaneNum", "-1"},
                            {"ThWavEna", "0"}, {"BkWavEna", "0"}});
    TempDir install;
    SaverProcess saver(dir_.path());
    saver.SetExecutable(InstallCopy(install.path(), "0, 0, \"Solo\"\r\n250, 400\r\n3, 399\r\n"));
    const Shot plain = StartSaver(saver);
    const auto a = x_.WaitForScreen(
        [&](const Shot& s) { return Compare(s, plain).changed > 500; }, 8000);
    ASSERT_TRUE(a.has_value()) << "no plane of the sequence on the screen";
    const Difference da = Compare(*a, plain);
    // A later shot with the plane further on (or the sequence started anew: keep looking).
    const auto b = x_.WaitForScreen(
        [&](const Shot& s) {
            const Difference d = Compare(s, plain);
            return d.changed > 500 && d.left > da.left + 20;
        },
        8000);
    ASSERT_TRUE(b.has_value()) << "the plane does not fly right";
    Keep(*a, "events-sequence-1");
    Keep(*b, "events-sequence-2");
    const Difference db = Compare(*b, plain);
    // The plane flies level, in the band of its start point (y = 400/1000 of the height).
    const int y0 = x_.height() * 400 / 1000;
    EXPECT_GE(da.top, y0 - 2);
    EXPECT_LE(da.bottom, y0 + 202);
    EXPECT_GE(db.top, y0 - 2);
    // ... and to the right: later shots show it further right.
    EXPECT_GT(db.left, da.left);
    EXPECT_GT(db.right, da.right);
    EXPECT_LE(db.right - db.left, 210) << "more than one plane";
    x_.Key("Escape");
    EXPECT_TRUE(saver.Wait(3000).has_value());
}

TEST_F(EventsOnX, WithoutASequenceFileTheSameSettingsDrawNothing) {
    WriteHive(dir_.path(), {{"EventInt", "1000"}, {"EventProbs", "009"}, {"PlaneNum", "-1"},
                            {"ThWavEna", "0"}, {"BkWavEna", "0"}});
    TempDir install;
    SaverProcess saver(dir_.path());
    saver.SetExecutable(InstallCopy(install.path(), ""));
    const Shot plain = StartSaver(saver);
    // The first event falls one second after the start: nothing may change for more.
    const auto changed = x_.WaitForScreen(
        [&](const Shot& s) { return s.CountDifferent(plain, 1) > 0; }, 2200);
    EXPECT_FALSE(changed.has_value()) << "something was drawn";
    EXPECT_TRUE(saver.Running());
    x_.Key("Escape");
    EXPECT_TRUE(saver.Wait(3000).has_value());
}

}  // namespace
