// Scripted sequences played through the real saver window: started by the event tick,
// stepped by the frame tick, ended with a new formation and the next event at once; ten
// planes with the last slot in front; and every sequence of the shipped sequence file
// played to its end on three common screen sizes.
//
// With TAVRO_SEQUENCE_TRAILS set to a folder, the shipped-file cases also leave there one
// picture per sequence and screen size (binary PPM): the planes every few ticks over the
// snapshot, to look at the figures.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "forms/forms.h"
#include "os/gdi.h"
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

using tavro_test::SaverFixture;
using tavro_test::ScriptedDraws;

class SequenceRun : public SaverFixture {
protected:
    SequenceRun(int w = 1024, int h = 768) : SaverFixture(w, h) {}

    void SetUp() override {
        SaverFixture::SetUp();
        ShowSaver();
        Settings.ThWavEna = 0;
    }

    SSForm& form() { return SSFormInstance(); }
    const os::Surface& Window() { return *os::WindowSurface(form().hWnd()); }
    const os::Surface& Snapshot() { return form().WinDisp.Image(); }

    void LoadText(const std::string& text) {
        const std::string path = temp_dir() + "/seq.ini";
        std::ofstream(path, std::ios::binary) << text;
        LoadSequencesFromFile(path);
    }

    // Starts sequence `s` of `count` loaded through a Sequence value of the event tick.
    void StartThroughEventTick(int s, int count) {
        form().NextEvent = Settings.EventProbs[2];
        random_.Script({(s + 0.5f) / count, 0.5f});
        form().Eventer_Timer();
    }

    // What the window must show on a cell pixel of a plane drawn over background b.
    std::uint32_t Composed(const PlaneRecord& p, int cx, int cy, std::uint32_t b) {
        const os::Surface& sheet = form().Sprite.Image();
        return (b & sheet.pixel(p.SrcX + cx, p.MaskY + cy)) ^ sheet.pixel(p.SrcX + cx, p.SrcY + cy);
    }

    ScriptedDraws random_;
};

// The two-plane cross written over four lines.
constexpr const char* kCrossExample =
    "1, 1, Cross\r\n100, 200, 900, 200\r\n3, 40, 7, 40\r\n2, 20, 0, 20\r\n";

TEST_F(SequenceRun, TheTwoPlaneCrossFliesAsPlannedAndEndsAtTick63) {
    Settings.PlaneNum = 0;  // the sequence flies its own two planes whatever this says
    LoadText(kCrossExample);
    ASSERT_EQ(LastSeq, 0.0f);
    EXPECT_EQ(SeqStart[0][0].X, 102);
    EXPECT_EQ(SeqStart[0][0].Y, 153);
    EXPECT_EQ(SeqStart[0][1].X, 921);
    EXPECT_EQ(SeqStart[0][1].Y, 153);

    StartThroughEventTick(0, 1);  // tick 1 runs inside the event tick
    ASSERT_EQ(SeqActive, -1);
    EXPECT_EQ(Planes[0].X, 104);
    EXPECT_EQ(Planes[1].X, 919);
    EXPECT_EQ(Planes[0].SrcX, 603);
    EXPECT_EQ(Planes[1].SrcX, 1407);
    EXPECT_EQ(form().Eventer.Interval(), 10002);

    for (int tick = 2; tick <= 62; ++tick) {
        form().Movement_Timer();
        ASSERT_EQ(SeqActive, -1) << "ended early, at tick " << tick;
        if (tick == 41) {
            EXPECT_EQ(Planes[0].SrcX, 603) << "turned too early";
        }
        if (tick == 42) {
            EXPECT_EQ(Planes[0].SrcX, 402) << "did not turn at tick 42";
        }
    }
    EXPECT_EQ(Planes[0].X, 226);
    EXPECT_EQ(Planes[0].Y, 195);
    EXPECT_EQ(Planes[1].X, 797);
    EXPECT_EQ(Planes[1].Y, 195);
    EXPECT_EQ(Planes[0].SrcX, 402);
    EXPECT_EQ(Planes[1].SrcX, 0);

    // The frame shows both planes composed over the snapshot at their places.
    for (const PlaneRecord& p : {Planes[0], Planes[1]})
        for (int cy = 0; cy < 200; cy += 3)
            for (int cx = 0; cx < 200; cx += 3)
                ASSERT_EQ(Window().pixel(p.X + cx, p.Y + cy),
                          Composed(p, cx, cy, Snapshot().pixel(p.X + cx, p.Y + cy)))
                    << p.X << " cell " << cx << "," << cy;

    // Tick 63 ends it: a new formation is placed, nothing of the sequence is drawn in that
    // frame, and the next event is due in 1 ms.
    random_.Script({0.9f, 0.9f, 0.0f});  // corner and heading of the new formation
    form().Movement_Timer();
    EXPECT_EQ(SeqActive, 0);
    EXPECT_EQ(form().Eventer.Interval(), 1);
    for (int y = 0; y < 768; y += 3)
        for (int x = 0; x < 1024; x += 3)
            ASSERT_EQ(Window().pixel(x, y), Snapshot().pixel(x, y)) << x << "," << y;
}

TEST_F(SequenceRun, AfterTheEndTheFormationFliesOnAndTheNextEventFollowsAtOnce) {
    Settings.PlaneNum = 2;
    LoadText(kCrossExample);
    StartThroughEventTick(0, 1);
    runtime::SetRandomSource({});  // the generator again, for the formation and the events
    for (int tick = 2; tick <= 63; ++tick) form().Movement_Timer();
    ASSERT_EQ(SeqActive, 0);
    ASSERT_EQ(form().Eventer.Interval(), 1);

    // The new formation: slots 0 to 8 share one heading; the next frame draws slots 0 to 2
    // and nothing else.
    for (int i = 1; i < FormationSlots; ++i) EXPECT_EQ(Planes[i].Dir, Planes[0].Dir) << i;
    form().Movement_Timer();
    const auto inside = [](const PlaneRecord& p, int x, int y) {
        return x >= p.X && x < p.X + 200 && y >= p.Y && y < p.Y + 200;
    };
    int in_cells = 0;
    for (int y = 20; y < 768; y += 2)
        for (int x = 0; x < 1024; x += 2) {
            if (Window().pixel(x, y) == Snapshot().pixel(x, y)) continue;
            const bool drawn = inside(Planes[0], x, y) || inside(Planes[1], x, y) ||
                               inside(Planes[2], x, y);
            ASSERT_TRUE(drawn) << "a pixel changed outside the three planes: " << x << "," << y;
            ++in_cells;
        }
    EXPECT_GT(in_cells, 200) << "the new formation is not drawn";

    // The event timer fires 1 ms later and sets an ordinary interval again.
    const float before = form().NextEvent;
    host().Advance(11);  // the platform's shortest period is 10 ms
    forms::DoEvents();
    EXPECT_GE(form().Eventer.Interval(), 9002);
    EXPECT_LE(form().Eventer.Interval(), 11002);
    EXPECT_TRUE(form().NextEvent != before || before == Settings.EventProbs[1]);
}

TEST_F(SequenceRun, TenPlanesFlyAndTheLastSlotShowsInFront) {
    std::string text = "9, 0, Ten\r\n";
    for (int p = 0; p < 10; ++p) text += "400, 300, ";
    text.resize(text.size() - 2);
    text += "\r\n";
    for (int p = 0; p < 9; ++p) text += "1, 50, ";
    text += "3, 50\r\n";
    LoadText(text);
    ASSERT_EQ(LastSeq, 0.0f);
    Settings.PlaneNum = 3;
    StartThroughEventTick(0, 1);
    form().Movement_Timer();
    ASSERT_EQ(SeqActive, -1);

    // All ten moved twice: slots 0..8 down, slot 9 right.
    for (int p = 0; p < 9; ++p) {
        EXPECT_EQ(Planes[p].X, 409) << p;
        EXPECT_EQ(Planes[p].Y, 234) << p;
    }
    EXPECT_EQ(Planes[9].X, 413);
    EXPECT_EQ(Planes[9].Y, 230);
    EXPECT_EQ(Planes[9].MaskY, 402) << "the tenth plane must be masked like the others";

    // Where slot 9's plane is solid, its own image shows, not the planes beneath.
    const PlaneRecord& top = Planes[9];
    const os::Surface& sheet = form().Sprite.Image();
    int solid = 0;
    for (int cy = 0; cy < 200; ++cy)
        for (int cx = 0; cx < 200; ++cx) {
            if (sheet.pixel(top.SrcX + cx, top.MaskY + cy) != 0) continue;
            ASSERT_EQ(Window().pixel(top.X + cx, top.Y + cy),
                      sheet.pixel(top.SrcX + cx, top.SrcY + cy))
                << cx << "," << cy;
            ++solid;
        }
    EXPECT_GT(solid, 500);
}

// --- the shipped sequence file --------------------------------------------------------

struct ScreenSize {
    int w, h;
};

class ShippedSequences : public SequenceRun, public ::testing::WithParamInterface<ScreenSize> {
protected:
    ShippedSequences() : SequenceRun(GetParam().w, GetParam().h) {}

    // One picture: the snapshot with the planes of every `every`-th frame over it.
    void KeepTrail(const std::string& name, const std::vector<std::uint32_t>& trail) {
        const char* folder = std::getenv("TAVRO_SEQUENCE_TRAILS");
        if (!folder) return;
        std::string file = name;
        std::replace(file.begin(), file.end(), ' ', '_');
        const int w = GetParam().w, h = GetParam().h;
        std::ofstream out(std::string(folder) + "/" + file + "-" + std::to_string(w) + "x" +
                              std::to_string(h) + ".ppm",
                          std::ios::binary);
        out << "P6\n" << w << " " << h << "\n255\n";
        for (std::uint32_t px : trail) {
            const char rgb[3] = {static_cast<char>(px >> 16), static_cast<char>(px >> 8),
                                 static_cast<char>(px)};
            out.write(rgb, 3);
        }
    }
};

TEST_P(ShippedSequences, EverySequencePlaysToItsEndWithItsPlanesInView) {
    LoadSequencesFromFile(std::string(TAVRO_RESOURCE_DIR) + "/TavroSS.ini");
    const int count = static_cast<int>(LastSeq) + 1;
    ASSERT_GE(count, 8) << "the shipped file holds too few sequences";
    const int w = GetParam().w, h = GetParam().h;
    os::Surface small(64, 64);
    struct SmallDC {
        os::HDC dc;
        ~SmallDC() { os::DeleteSurfaceDC(dc); }
    } small_dc{os::CreateSurfaceDC(&small)};
    SequenceStage stage;
    stage.backBuffer = small_dc.dc;
    stage.sprite = form().Sprite.hDC();
    stage.bounds = WrapBounds{form().WrapMaxX, form().WrapMaxY, form().WrapSpanX, form().WrapSpanY};
    for (int s = 0; s < count; ++s) {
        SCOPED_TRACE(SeqName[s]);
        const int last_plane = static_cast<int>(SeqPlanes[s]);
        // The planned length: the steps of plane 0 (every plane flies the same total).
        long planned = 0;
        for (int k = 0; k <= static_cast<int>(SeqSteps[s]); ++k)
            planned += SeqMoves(s, 0, k).Count + 1;
        for (int p = 1; p <= last_plane; ++p) {
            long total = 0;
            for (int k = 0; k <= static_cast<int>(SeqSteps[s]); ++k)
                total += SeqMoves(s, p, k).Count + 1;
            EXPECT_EQ(total, planned) << "plane " << p << " flies a different length";
        }
        // A plane's body fills the middle of its cell: it is in view when that middle is.
        const auto in_view = [&](const PlaneRecord& p) {
            return p.X + 150 > 0 && p.X + 50 < w && p.Y + 150 > 0 && p.Y + 50 < h;
        };
        // Frames are composed on the real window only when the trails are wanted; otherwise
        // the player draws into a small buffer, which is all the positions need.
        const bool trails = std::getenv("TAVRO_SEQUENCE_TRAILS") != nullptr;
        const auto step = [&] {
            if (trails) form().Movement_Timer();
            else StepSequence(stage);
        };
        random_.Script({(s + 0.5f) / count});
        if (trails) {
            form().Movement_Timer();
            StartThroughEventTick(s, count);
        } else {
            StartSequence(stage);
        }
        ASSERT_EQ(SeqActive, -1);
        ASSERT_EQ(static_cast<int>(SeqNo), s);
        std::vector<std::uint32_t> trail;
        for (int y = 0; trails && y < h; ++y) trail.insert(trail.end(), Snapshot().row(y), Snapshot().row(y) + w);
        long ticks = 1, plane_ticks = 0, seen = 0, came_back = 0;
        // Per plane: 0 not yet in view, 1 in view, 2 gone out of view after being in it.
        std::vector<int> state(static_cast<std::size_t>(last_plane) + 1, 0);
        while (SeqActive != 0) {
            ASSERT_LE(ticks, planned + 1) << "runs past its plan";
            step();
            ++ticks;
            if (SeqActive == 0) break;
            for (int p = 0; p <= last_plane; ++p) {
                ++plane_ticks;
                if (in_view(Planes[p])) {
                    ++seen;
                    if (state[p] == 2) ++came_back;
                    state[p] = 1;
                } else if (state[p] == 1) {
                    state[p] = 2;
                }
            }
            if (trails && ticks % 25 == 0)
                for (int y = 0; y < h; ++y)
                    for (int x = 0; x < w; ++x)
                        if (Window().pixel(x, y) != Snapshot().pixel(x, y))
                            trail[static_cast<std::size_t>(y) * w + x] = Window().pixel(x, y);
        }
        EXPECT_EQ(ticks, planned + 1) << "does not end one tick after its last step";
        const double share = static_cast<double>(seen) / static_cast<double>(plane_ticks);
        EXPECT_GT(share, 0.6) << "planes mostly out of view";
        // A plane that has flown out of view does not wrap round and come back in.
        EXPECT_EQ(came_back, 0);
        std::printf("%-20s %dx%d: %ld ticks, %d planes, in view %.0f %%\n", SeqName[s].c_str(), w,
                    h, ticks, last_plane + 1, 100 * share);
        if (trails) KeepTrail(SeqName[s], trail);
    }
}

INSTANTIATE_TEST_SUITE_P(CommonScreens, ShippedSequences,
                         ::testing::Values(ScreenSize{1024, 768}, ScreenSize{1280, 1024},
                                           ScreenSize{1920, 1080}),
                         [](const auto& info) {
                             return std::to_string(info.param.w) + "x" +
                                    std::to_string(info.param.h);
                         });

}  // namespace
