// The event tick on the headless saver with scripted draws: which kind each value gives for
// the boundaries, the shift when thunder is off, the value after a Sequence, the draws and
// their order, the next interval, the turn of the formation, the clap, and the shares of
// the kinds over a long run.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "os/message_loop.h"
#include "os/window.h"
#include "saver/init_screen_saver.h"
#include "saver/planes.h"
#include "saver/sequences.h"
#include "saver/ss_form.h"
#include "saver/ss_module.h"
#include "settings/settings.h"
#include "support/saver_fixture.h"
#include "support/scripted_draws.h"

namespace {

using tavro_test::kTopDraw;
using tavro_test::SaverFixture;
using tavro_test::ScriptedDraws;

enum class Kind { None, Thunder1, Thunder2, Sequence, Direction, Unclear };

const char* Name(Kind k) {
    switch (k) {
    case Kind::None: return "none";
    case Kind::Thunder1: return "thunder 1";
    case Kind::Thunder2: return "thunder 2";
    case Kind::Sequence: return "sequence";
    case Kind::Direction: return "direction";
    case Kind::Unclear: return "unclear";
    }
    return "?";
}

void SetBoundaries(float p1, float p2, float p3) {
    Settings.EventProbs[0] = 0;
    Settings.EventProbs[1] = p1;
    Settings.EventProbs[2] = p2;
    Settings.EventProbs[3] = p3;
}

// A one-record sequence file: two planes, one step each.
void WriteOneSequence(const std::string& path) {
    std::ofstream out(path, std::ios::binary);
    out << "1, 0, Pair\r\n100, 200, 700, 200\r\n3, 5, 7, 5\r\n";
}

class EventTick : public SaverFixture {
protected:
    void SetUp() override {
        SaverFixture::SetUp();
        ShowSaver();
        SSForm& f = SSFormInstance();
        LoadSequencesFromFile(temp_dir() + "/no such file.ini");
        Settings.ThWavEna = 0;  // the sound cases switch it on themselves
        f.Movement_Timer();     // the window shows a frame
        StandPlanes(2);
    }

    SSForm& form() { return SSFormInstance(); }
    os::Surface& Window() { return *os::WindowSurface(form().hWnd()); }

    // Every slot heading `dir` at a known place.
    void StandPlanes(int dir) {
        for (int i = 0; i < PlaneSlots; ++i) {
            Planes[i].X = static_cast<std::int16_t>(100 + 10 * i);
            Planes[i].Y = static_cast<std::int16_t>(50 + 10 * i);
            Planes[i].Dir = static_cast<float>(dir);
            Planes[i].SrcX = static_cast<std::int16_t>(201 * dir);
        }
    }

    // One tick on `value` with the draws r or t = 0 (picture row 0, turn to the left),
    // next value 3, interval draw 0.5. The kind is read from what the tick did: the window's
    // pixels (brighter: a bright bolt; darker: a dark bolt), plane 0's heading, and how many
    // draws it took (a Sequence with nothing loaded takes only the interval's, no kind
    // takes the next value's and the interval's).
    Kind TickOn(float value) {
        form().Movement_Timer();  // a fresh frame wipes what an earlier thunder drew
        form().NextEvent = value;
        StandPlanes(2);
        const std::vector<std::uint32_t> before = Pixels();
        random_.Script({0.0f, 0.35f, 0.5f});
        form().Eventer_Timer();
        const std::vector<std::uint32_t> after = Pixels();
        int brighter = 0, darker = 0, other = 0;
        for (std::size_t i = 0; i < after.size(); ++i) {
            if (after[i] == before[i]) continue;
            if ((after[i] & before[i]) == before[i]) ++brighter;
            else if ((after[i] | before[i]) == before[i]) ++darker;
            else ++other;
        }
        const bool turned = Planes[0].Dir != 2.0f;
        if (other != 0 || (brighter && darker)) return Kind::Unclear;
        if (brighter && random_.used() == 3 && !turned) return Kind::Thunder1;
        if (darker && random_.used() == 3 && !turned) return Kind::Thunder2;
        if (brighter || darker) return Kind::Unclear;
        if (turned && random_.used() == 3) return Kind::Direction;
        if (random_.used() == 1 && form().NextEvent == Settings.EventProbs[1])
            return Kind::Sequence;
        if (random_.used() == 2 && form().NextEvent == 0.0f) return Kind::None;
        return Kind::Unclear;
    }

    std::vector<std::uint32_t> Pixels() {
        const os::Surface& w = Window();
        std::vector<std::uint32_t> out;
        out.reserve(static_cast<std::size_t>(w.width()) * w.height());
        for (int y = 0; y < w.height(); ++y) out.insert(out.end(), w.row(y), w.row(y) + w.width());
        return out;
    }

    void ExpectKinds(const std::vector<Kind>& expected, const char* what) {
        for (int v = 0; v < static_cast<int>(expected.size()); ++v) {
            const Kind got = TickOn(static_cast<float>(v));
            EXPECT_EQ(got, expected[v]) << what << ": value " << v << " gave " << Name(got)
                                        << ", not " << Name(expected[v]);
        }
    }

    std::string DummySound(const std::string& name) {
        const std::string path = temp_dir() + "/" + name;
        std::ofstream(path, std::ios::binary) << "RIFF";
        return path;
    }

    ScriptedDraws random_;
};

using K = Kind;

TEST_F(EventTick, DefaultBoundariesGiveEachKindItsValues) {
    // The first tick after the set-up evaluates 0: a bright bolt.
    ASSERT_EQ(form().NextEvent, 0.0f);
    ExpectKinds({K::Thunder1, K::Thunder1, K::Thunder2, K::Thunder2, K::Sequence, K::Direction,
                 K::Direction, K::Direction, K::Direction, K::Direction},
                "EnaTh 1");
    // Any value of EnaTh other than 0 leaves the thunder on.
    Settings.EnaTh = 2;
    ExpectKinds({K::Thunder1, K::Thunder1, K::Thunder2, K::Thunder2, K::Sequence}, "EnaTh 2");
}

TEST_F(EventTick, WithThunderOffTheThunderValuesShiftUpByP2) {
    Settings.EnaTh = 0;
    // 0..3 become 4..7: the first tick is a Sequence, and no thunder ever happens.
    ExpectKinds({K::Sequence, K::Direction, K::Direction, K::Direction, K::Sequence,
                 K::Direction, K::Direction, K::Direction, K::Direction, K::Direction},
                "EnaTh 0");
}

TEST_F(EventTick, ShiftedValuesAboveNineHaveNoKind) {
    Settings.EnaTh = 0;
    SetBoundaries(2, 6, 8);
    // 0..5 shift to 6..11: 6, 7 Sequence, 8, 9 Direction, 10, 11 nothing but the draws.
    ExpectKinds({K::Sequence, K::Sequence, K::Direction, K::Direction, K::None, K::None,
                 K::Sequence, K::Sequence, K::Direction, K::Direction},
                "EnaTh 0, boundaries 0 2 6 8");
}

TEST_F(EventTick, TheValueAfterASequenceValueIsP1) {
    EXPECT_EQ(TickOn(4), K::Sequence);
    EXPECT_EQ(form().NextEvent, 2.0f);
    random_.Script({0.0f, 0.35f, 0.5f});
    const std::vector<std::uint32_t> before = Pixels();
    form().Eventer_Timer();
    int darker = 0;
    const std::vector<std::uint32_t> after = Pixels();
    for (std::size_t i = 0; i < after.size(); ++i)
        if (after[i] != before[i] && (after[i] | before[i]) == before[i]) ++darker;
    EXPECT_GT(darker, 100) << "2 with thunder on is a dark bolt";

    // With thunder off, 2 shifts to 6: a turn.
    Settings.EnaTh = 0;
    EXPECT_EQ(TickOn(4), K::Sequence);
    EXPECT_EQ(form().NextEvent, 2.0f);
    StandPlanes(2);
    random_.Script({0.0f, 0.35f, 0.5f});
    form().Eventer_Timer();
    EXPECT_EQ(Planes[0].Dir, 1.0f);

    // Other boundaries: the value is their P1.
    SetBoundaries(3, 5, 7);
    Settings.EnaTh = 1;
    EXPECT_EQ(TickOn(6), K::Sequence);
    EXPECT_EQ(form().NextEvent, 3.0f);
}

TEST_F(EventTick, OutOfOrderAndEqualBoundaries) {
    SetBoundaries(0, 0, 0);
    ExpectKinds(std::vector<Kind>(10, K::Direction), "boundaries 0 0 0 0");

    // 0 5 2 9: Thunder 1 takes 0..4 first, Thunder 2 (5..1) is empty, Sequence keeps 5..8.
    SetBoundaries(5, 2, 9);
    ExpectKinds({K::Thunder1, K::Thunder1, K::Thunder1, K::Thunder1, K::Thunder1, K::Sequence,
                 K::Sequence, K::Sequence, K::Sequence, K::Direction},
                "boundaries 0 5 2 9");
    // Out of order, the shift does not keep the thunder out: 0 and 1 move to 2 and 3,
    // which lie in Thunder 1's range.
    Settings.EnaTh = 0;
    ExpectKinds({K::Thunder1, K::Thunder1, K::Thunder1}, "boundaries 0 5 2 9, EnaTh 0");

    // Equal neighbours empty one range: 0 2 2 5 has no dark bolt; 2 and 3 are Sequences.
    Settings.EnaTh = 1;
    SetBoundaries(2, 2, 5);
    ExpectKinds({K::Thunder1, K::Thunder1, K::Sequence, K::Sequence, K::Sequence,
                 K::Direction},
                "boundaries 0 2 2 5");
}

TEST_F(EventTick, DrawsComeInTheirStatedOrder) {
    // Thunder: the row, then the next value, then the interval. Row 4 squeezes the picture
    // into the top-left pixel, so nothing else of the window may change.
    const std::vector<std::uint32_t> before = Pixels();
    form().NextEvent = 0;
    random_.Script({kTopDraw, 0.75f, 0.25f});
    form().Eventer_Timer();
    EXPECT_EQ(random_.used(), 3);
    EXPECT_EQ(form().NextEvent, 7.0f);
    EXPECT_EQ(form().Eventer.Interval(), 9502);
    const std::vector<std::uint32_t> after = Pixels();
    for (std::size_t i = 1; i < after.size(); ++i)
        ASSERT_EQ(after[i], before[i]) << "pixel " << i % 1024 << "," << i / 1024;

    // Direction: t, the next value, the interval. t = 2 turns to the entry after 2.
    StandPlanes(2);
    form().NextEvent = 5;
    random_.Script({0.9f, 0.15f, 0.6f});
    form().Eventer_Timer();
    EXPECT_EQ(Planes[0].Dir, 3.0f);
    EXPECT_EQ(form().NextEvent, 1.0f);
    EXPECT_EQ(form().Eventer.Interval(), 10202);
    EXPECT_FALSE(random_.overrun());

    // Sequence with one loaded: the pick, then the interval; no draw of the next value.
    WriteOneSequence(temp_dir() + "/one.ini");
    LoadSequencesFromFile(temp_dir() + "/one.ini");
    ASSERT_EQ(LastSeq, 0.0f);
    form().NextEvent = 4;
    random_.Script({0.3f, 0.75f});
    form().Eventer_Timer();
    EXPECT_EQ(SeqActive, -1);
    EXPECT_EQ(random_.used(), 2);
    EXPECT_EQ(form().Eventer.Interval(), 10502);
    EXPECT_EQ(form().NextEvent, 2.0f);
}

TEST_F(EventTick, TheIntervalLiesAroundEventInt) {
    struct Case {
        std::int16_t event_int;
        float u;
        std::int32_t interval;
    };
    const Case cases[] = {{1000, 0.0f, 2},        {1000, 0.5f, 1002},     {1000, kTopDraw, 2002},
                          {20000, 0.0f, 19002},   {20000, kTopDraw, 21002}, {10000, 0.0f, 9002},
                          {10000, kTopDraw, 11002}, {10000, 0.1234f, 9249},
                          // Below 999 a later interval can fall under 1 ms: it is 1 ms then.
                          {999, 0.0f, 1},           {998, 0.0f, 1},         {998, 0.5f, 1000},
                          {500, 0.0f, 1},           {500, 0.5f, 502},       {500, kTopDraw, 1502},
                          {1, 0.5f, 3}};
    for (const Case& c : cases) {
        Settings.EventInt = c.event_int;
        form().NextEvent = 12;  // no kind: the next value, then the interval
        Settings.EnaTh = 1;
        random_.Script({0.0f, c.u});
        form().Eventer_Timer();
        EXPECT_EQ(form().Eventer.Interval(), c.interval) << c.event_int << " u=" << c.u;
    }
}

TEST_F(EventTick, TheFirstIntervalIsTheStoredOneAndZeroOrBelowMeansNoEventEver) {
    const std::pair<const char*, std::int32_t> cases[] = {
        {" 1500", 1500}, {" 998", 998}, {" 5", 5}, {" 0", 0}, {"-5", 0}, {"-32768", 0}};
    for (const auto& [stored, first] : cases) {
        StoreSetting("EventInt", stored);
        InitScreenSaver();
        EXPECT_EQ(form().Eventer.Interval(), first) << stored;
    }

    // Idle for good: a minute of the loop brings no tick, and neither a tick's own next
    // interval nor the 1 ms after a sequence's end starts the timer.
    ASSERT_LE(Settings.EventInt, 0);
    StoreSetting("TimeInt", " 0");  // no frames either: the loop has nothing to do
    InitScreenSaver();
    random_.Script({});
    bool minute_over = false;
    host().Schedule(host().NowMs() + 60000, [&] { minute_over = true; });
    os::RunMessageLoop([&] { return minute_over; });
    EXPECT_EQ(random_.used(), 0) << "an event tick ran";
    form().NextEvent = 12;
    random_.Script({0.0f, 0.5f});
    form().Eventer_Timer();
    EXPECT_EQ(form().Eventer.Interval(), 0);
    WriteOneSequence(temp_dir() + "/one.ini");
    LoadSequencesFromFile(temp_dir() + "/one.ini");
    form().NextEvent = 4;
    random_.Script({0.0f, 0.5f});
    form().Eventer_Timer();
    ASSERT_EQ(SeqActive, -1);
    for (int frame = 0; frame < 20 && SeqActive != 0; ++frame) form().Movement_Timer();
    ASSERT_EQ(SeqActive, 0);
    EXPECT_EQ(form().Eventer.Interval(), 0);
}

TEST_F(EventTick, TheFormationTurnsByOneEntryEitherWayOrKeepsItsHeading) {
    const struct {
        int dir;
        float t_draw;
        int turned;
    } cases[] = {{0, 0.0f, 7}, {0, 0.34f, 0}, {0, 0.67f, 1}, {0, kTopDraw, 1},
                 {7, 0.0f, 6}, {7, 0.5f, 7},  {7, 0.9f, 0},  {4, 0.2f, 3}};
    Settings.PlaneNum = 3;
    for (const auto& c : cases) {
        StandPlanes(c.dir);
        form().NextEvent = 9;
        random_.Script({c.t_draw, 0.0f, 0.0f});
        form().Eventer_Timer();
        for (int i = 0; i <= 3; ++i) {
            EXPECT_EQ(Planes[i].Dir, static_cast<float>(c.turned)) << c.dir << " t=" << c.t_draw;
            EXPECT_EQ(Planes[i].SrcX, 201 * c.turned);
        }
    }
}

TEST_F(EventTick, TheTurnReachesTheSlotsUpToPlaneNumAndNothingElse) {
    for (int i = 0; i < PlaneSlots; ++i) {
        Planes[i].Frame = static_cast<float>(i % 2);
        Planes[i].SrcY = static_cast<std::int16_t>(201 * (i % 2));
        Planes[i].MaskY = 402;
    }
    const auto turn = [&](float plane_num) {
        Settings.PlaneNum = plane_num;
        StandPlanes(5);
        form().NextEvent = 6;
        random_.Script({0.0f, 0.0f, 0.0f});
        form().Eventer_Timer();
    };
    turn(-1);
    for (int i = 0; i < PlaneSlots; ++i) EXPECT_EQ(Planes[i].Dir, 5.0f) << i;
    EXPECT_EQ(random_.used(), 3);  // t is still drawn

    turn(3);
    for (int i = 0; i < PlaneSlots; ++i) {
        EXPECT_EQ(Planes[i].Dir, i <= 3 ? 4.0f : 5.0f) << i;
        EXPECT_EQ(Planes[i].SrcX, i <= 3 ? 804 : 1005) << i;
        // Everything else stays: the planes turn where they stand.
        EXPECT_EQ(Planes[i].X, 100 + 10 * i);
        EXPECT_EQ(Planes[i].Y, 50 + 10 * i);
        EXPECT_EQ(Planes[i].Frame, static_cast<float>(i % 2));
        EXPECT_EQ(Planes[i].SrcY, 201 * (i % 2));
        EXPECT_EQ(Planes[i].MaskY, 402);
    }
    // 3.5 rounds to 4 (ties to even); a PlaneNum beyond the last slot stops at slot 9.
    turn(3.5f);
    EXPECT_EQ(Planes[4].Dir, 4.0f);
    EXPECT_EQ(Planes[5].Dir, 5.0f);
    turn(40);
    for (int i = 0; i < PlaneSlots; ++i) EXPECT_EQ(Planes[i].Dir, 4.0f) << i;
}

TEST_F(EventTick, NothingTurnsOrStartsWhileASequenceRuns) {
    WriteOneSequence(temp_dir() + "/one.ini");
    LoadSequencesFromFile(temp_dir() + "/one.ini");
    SeqActive = -1;
    StandPlanes(2);
    form().NextEvent = 7;
    random_.Script({0.0f, 0.5f});
    form().Eventer_Timer();
    EXPECT_EQ(Planes[0].Dir, 2.0f);
    EXPECT_EQ(random_.used(), 2) << "no t while a sequence runs";
    EXPECT_EQ(form().NextEvent, 0.0f);
    EXPECT_EQ(form().Eventer.Interval(), 10002);

    // A Sequence value starts no second sequence: no pick, the planes stay.
    form().NextEvent = 4;
    random_.Script({0.5f});
    form().Eventer_Timer();
    EXPECT_EQ(random_.used(), 1);
    EXPECT_EQ(Planes[0].X, 100);
    EXPECT_EQ(form().NextEvent, 2.0f);
    EXPECT_EQ(SeqActive, -1);
}

TEST_F(EventTick, ASequenceEndingInItsFirstTickStillGetsAnOrdinaryNextInterval) {
    // A step field below 0: the sequence ends inside its start, whose end asks for the
    // next event in 1 ms; the tick's own interval comes after and replaces it.
    const std::string path = temp_dir() + "/short.ini";
    std::ofstream(path, std::ios::binary) << "0, -1, Short\r\n500, 500\r\n";
    LoadSequencesFromFile(path);
    ASSERT_EQ(LastSeq, 0.0f);
    form().NextEvent = 4;
    // The pick, the new formation's corner and heading, then the interval.
    random_.Script({0.0f, 0.0f, 0.0f, 0.0f, 0.5f});
    form().Eventer_Timer();
    EXPECT_EQ(random_.used(), 5);
    EXPECT_FALSE(random_.overrun());
    EXPECT_EQ(SeqActive, 0);
    EXPECT_EQ(form().Eventer.Interval(), 10002);
    EXPECT_EQ(form().NextEvent, 2.0f);
}

TEST_F(EventTick, PreviewNeverStartsASequenceButStillThunders) {
    WriteOneSequence(temp_dir() + "/one.ini");
    LoadSequencesFromFile(temp_dir() + "/one.ini");
    const std::string clap = DummySound("clap.wav");
    Settings.ThunderWav = clap;
    Settings.ThWavEna = 1;
    RunMode = ModePreview;
    for (int i = 0; i < 3; ++i) {
        form().NextEvent = 4;
        StandPlanes(2);
        random_.Script({0.1f});
        form().Eventer_Timer();
        EXPECT_EQ(SeqActive, 0);
        EXPECT_EQ(random_.used(), 1);
        EXPECT_EQ(Planes[0].X, 100);
        EXPECT_EQ(form().NextEvent, 2.0f);
    }
    EXPECT_EQ(TickOn(2), K::Thunder2);
    ASSERT_FALSE(audio().Plays().empty());
    EXPECT_EQ(audio().Plays().back().path, clap);
}

TEST_F(EventTick, ThunderAsksForTheClapWhenItsSoundIsOn) {
    const std::string clap = DummySound("clap.wav");
    const std::string drone = DummySound("drone.wav");
    audio().SetDuration(clap, 3000);
    Settings.ThunderWav = clap;
    Settings.BKWav = drone;

    // Sound off: no request at all.
    Settings.ThWavEna = 0;
    EXPECT_EQ(TickOn(0), K::Thunder1);
    EXPECT_TRUE(audio().Plays().empty());

    // Sound on: one asynchronous request of the clap per thunder tick, none for the rest.
    Settings.ThWavEna = 1;
    EXPECT_EQ(TickOn(1), K::Thunder1);
    EXPECT_EQ(TickOn(3), K::Thunder2);
    EXPECT_EQ(TickOn(7), K::Direction);
    EXPECT_EQ(TickOn(4), K::Sequence);
    ASSERT_EQ(audio().Plays().size(), 2u);
    for (const auto& play : audio().Plays()) {
        EXPECT_EQ(play.path, clap);
        EXPECT_FALSE(play.loop);
    }
    EXPECT_TRUE(audio().SyncWaits().empty()) << "the clap must not hold the tick";
}

TEST_F(EventTick, TheDroneStopsForTheClapAndComesBackAfterIt) {
    const std::string clap = DummySound("clap.wav");
    const std::string drone = DummySound("drone.wav");
    audio().SetDuration(clap, 3000);
    audio().SetDuration(drone, 1000);
    Settings.ThunderWav = clap;
    Settings.BKWav = drone;
    Settings.BkWavEna = 1;
    Settings.ThWavEna = 1;
    form().Movement_Timer();
    ASSERT_EQ(audio().Playing(), drone);

    EXPECT_EQ(TickOn(0), K::Thunder1);
    EXPECT_EQ(audio().Playing(), clap);
    EXPECT_EQ(audio().Interruptions(), 1);
    form().Movement_Timer();  // while the clap lasts the drone is refused
    EXPECT_EQ(audio().Playing(), clap);
    host().Advance(3001);
    form().Movement_Timer();
    EXPECT_EQ(audio().Playing(), drone);
}

// Long runs on a small screen with an all-white lightning picture, so that every thunder
// shows in the top-left pixel: white for a bright bolt, black for a dark one.
class EventShares : public SaverFixture {
protected:
    EventShares() : SaverFixture(160, 120) {}
    void SetUp() override {
        SaverFixture::SetUp();
        SSForm& f = SSFormInstance();
        f.Load();
        RunMode = ModeSaver;
        InitScreenSaver();
        f.Show(false);
        LoadSequencesFromFile(temp_dir() + "/none.ini");
        os::Surface white(64, 40, 0xFFFFFF);
        f.Lightning.SetPicture(white);
        Settings.ThWavEna = 0;
    }

    // Counts of Thunder 1, Thunder 2, Sequence, Direction, no kind over `ticks` ticks.
    std::vector<int> Run(int ticks, std::uint32_t seed) {
        std::mt19937 engine(seed);
        int draws = 0;
        runtime::SetRandomSource([&] {
            ++draws;
            return static_cast<float>(engine() >> 8) * (1.0f / 16777216.0f);
        });
        SSForm& f = SSFormInstance();
        os::Surface& window = *os::WindowSurface(f.hWnd());
        std::vector<int> counts(5, 0);
        for (int i = 0; i < ticks; ++i) {
            draws = 0;
            window.row(0)[0] = 0x808080;
            f.Eventer_Timer();
            const std::uint32_t corner = window.row(0)[0];
            if (corner == 0xFFFFFF) ++counts[0];
            else if (corner == 0x000000) ++counts[1];
            else if (draws == 1) ++counts[2];
            else if (draws == 3) ++counts[3];
            else ++counts[4];
        }
        runtime::SetRandomSource({});
        return counts;
    }
};

TEST_F(EventShares, WithThunderOnTheKindsComeTwoThreeOneFive) {
    const int ticks = 22000;
    const std::vector<int> n = Run(ticks, 20261209);
    const double expected[4] = {2.0 / 11, 3.0 / 11, 1.0 / 11, 5.0 / 11};
    for (int k = 0; k < 4; ++k)
        EXPECT_NEAR(static_cast<double>(n[k]) / ticks, expected[k], 0.015)
            << "kind " << k << ": " << n[k] << " of " << ticks;
    EXPECT_EQ(n[4], 0);
    std::printf("shares with thunder on: %d %d %d %d of %d\n", n[0], n[1], n[2], n[3], ticks);
}

TEST_F(EventShares, WithThunderOffSequenceAndDirectionComeOneToFive) {
    Settings.EnaTh = 0;
    const int ticks = 18000;
    const std::vector<int> n = Run(ticks, 77);
    EXPECT_EQ(n[0] + n[1], 0) << "thunder with EnaTh 0";
    EXPECT_NEAR(static_cast<double>(n[2]) / ticks, 1.0 / 6, 0.015) << n[2];
    EXPECT_NEAR(static_cast<double>(n[3]) / ticks, 5.0 / 6, 0.015) << n[3];
    EXPECT_EQ(n[4], 0);
    std::printf("shares with thunder off: %d %d of %d\n", n[2], n[3], ticks);
}

}  // namespace
