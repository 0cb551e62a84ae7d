#include "saver/planes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <deque>
#include <limits>
#include <utility>

#include "runtime/random.h"
#include "saver/direction_event.h"
#include "saver/light_layout.h"
#include "saver/ss_module.h"
#include "settings/settings.h"
#include "support/planes_state.h"
#include "support/scripted_draws.h"

namespace {

using tavro_test::ScriptedDraws;

class PlanesTest : public ::testing::Test {
protected:
    void SetUp() override { tavro_test::ResetPlanes(); }
    // Tables with Step, frames from nine draws of 0.2 (frame 0).
    void Tables(float step) {
        ScriptedDraws frames({0.2f, 0.2f, 0.2f, 0.2f, 0.2f, 0.2f, 0.2f, 0.2f, 0.2f});
        InitPlaneTables(step);
    }
    // Places the formation at sides a, b (draws below or at 0.5) with direction draw r3.
    void Place(int a, int b, float r3 = 0.0f) {
        ScriptedDraws sides({a ? 0.5f : 0.49f, b ? 0.75f : 0.0f, r3});
        PlaceFormation();
        EXPECT_EQ(sides.left(), 0u);
    }
};

TEST_F(PlanesTest, TablesFollowStep) {
    Tables(2);
    const int unit[8][2] = {{-1, 1}, {0, 1}, {1, 1}, {1, 0}, {1, -1}, {0, -1}, {-1, -1}, {-1, 0}};
    for (int k = 0; k < DirectionCount; ++k) {
        EXPECT_EQ(DirectionTable[k].dx, unit[k][0] * 2.0f) << k;
        EXPECT_EQ(DirectionTable[k].dy, unit[k][1] * 2.0f) << k;
    }
    const int columns[9] = {0, 0, 1, 1, 1, 2, 2, 2, 3};
    const int rows[9] = {0, 1, 0, 1, 2, 1, 2, 3, 2};
    for (int i = 0; i < FormationSlots; ++i) {
        EXPECT_EQ(FormationTable[i].Column, columns[i]) << i;
        EXPECT_EQ(FormationTable[i].Row, rows[i]) << i;
    }
    EXPECT_EQ(BkWavFlags, 25);
    for (const PlaneRecord& p : Planes) EXPECT_EQ(p.MaskY, 402);  // slot 9 included
}

TEST_F(PlanesTest, FrameDrawsRoundTiesToEven) {
    ScriptedDraws frames({0.5f, 0.51f, 0.0f, 0.99f, 0.4f, 0.6f, 0.5f, 0.7f, 0.1f});
    InitPlaneTables(2);
    const float expected[9] = {0, 1, 0, 1, 0, 1, 0, 1, 0};
    for (int i = 0; i < FormationSlots; ++i) EXPECT_EQ(Planes[i].Frame, expected[i]) << i;
    EXPECT_EQ(Planes[9].Frame, 0.0f);
    ScriptedDraws place({0.1f, 0.1f, 0.1f});
    PlaceFormation();
    for (int i = 0; i < FormationSlots; ++i) EXPECT_EQ(Planes[i].SrcY, 201 * expected[i]);
}

TEST_F(PlanesTest, FourCornersOn1024x768) {
    Tables(2);
    const int xs[2][4] = {{0, -250, -500, -750}, {1024, 774, 524, 274}};
    const int ys[2][4] = {{200, -50, -300, -550}, {568, 818, 1068, 1318}};
    const int columns[9] = {0, 0, 1, 1, 1, 2, 2, 2, 3};
    const int rows[9] = {0, 1, 0, 1, 2, 1, 2, 3, 2};
    for (int a = 0; a <= 1; ++a) {
        for (int b = 0; b <= 1; ++b) {
            Place(a, b);
            for (int i = 0; i < FormationSlots; ++i) {
                EXPECT_EQ(Planes[i].X, xs[a][columns[i]]) << a << b << i;
                EXPECT_EQ(Planes[i].Y, ys[b][rows[i]]) << a << b << i;
            }
        }
    }
    // The default four planes with a = 1, b = 0.
    Place(1, 0);
    const std::pair<int, int> four[4] = {{1024, 200}, {1024, -50}, {774, 200}, {774, -50}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(Planes[i].X, four[i].first);
        EXPECT_EQ(Planes[i].Y, four[i].second);
    }
}

TEST_F(PlanesTest, CornersOn800x600) {
    Tables(2);
    ScreenW = 800;
    ScreenH = 600;
    Place(1, 1);
    EXPECT_EQ(Planes[0].X, 800);
    EXPECT_EQ(Planes[2].X, 550);
    EXPECT_EQ(Planes[5].X, 300);
    EXPECT_EQ(Planes[8].X, 50);
    EXPECT_EQ(Planes[0].Y, 400);
    EXPECT_EQ(Planes[1].Y, 650);
    EXPECT_EQ(Planes[4].Y, 900);
    EXPECT_EQ(Planes[7].Y, 1150);
}

TEST_F(PlanesTest, CommonDirectionAndSpriteColumn) {
    Tables(2);
    Place(0, 0, 0.99f);
    for (int i = 0; i < FormationSlots; ++i) {
        EXPECT_EQ(Planes[i].Dir, 7.0f);
        EXPECT_EQ(Planes[i].SrcX, 1407);
    }
    Place(0, 0, 0.3f);  // 2.4 -> 2
    EXPECT_EQ(Planes[8].Dir, 2.0f);
    EXPECT_EQ(Planes[8].SrcX, 402);
    EXPECT_EQ(Planes[9].SrcX, 0);  // slot 9 is never placed
}

TEST_F(PlanesTest, SpacingExtremes) {
    Tables(2);
    Settings.PlaneDist = 0;
    Place(0, 0);
    EXPECT_EQ(Planes[8].X, -600);
    EXPECT_EQ(Planes[7].Y, -400);
    // s = 0 stacks every slot on the leader.
    Settings.PlaneDist = -100;
    Place(1, 1);
    for (int i = 0; i < FormationSlots; ++i) {
        EXPECT_EQ(Planes[i].X, 1024);
        EXPECT_EQ(Planes[i].Y, 568);
    }
    // Absurd spacings saturate at the 16-bit range instead of overflowing.
    Settings.PlaneDist = 1e9f;
    Place(0, 1);
    EXPECT_EQ(Planes[8].X, -32768);
    EXPECT_EQ(Planes[7].Y, 32767);
    EXPECT_EQ(Planes[0].X, 0);
}

TEST_F(PlanesTest, FirstMoveFoldsTheFormationAroundTheRing) {
    Tables(2);
    const WrapBounds ring = ComputeLightLayout(1024, 768, ModeSaver, 638, 389).Wrap;
    const std::pair<int, int> dirToX[3] = {{0, 1172}, {1, 1174}, {2, 1176}};  // dx -2, 0, 2
    for (const auto& [dir, x] : dirToX) {
        PlaneRecord p;
        p.X = -250;
        p.Y = 100;
        p.Dir = static_cast<float>(dir);
        MovePlaneRecord(p, ring);
        EXPECT_EQ(p.X, x) << dir;
    }
    PlaneRecord p;
    p.Dir = 3;  // dy 0
    p.Y = 1068;
    MovePlaneRecord(p, ring);
    EXPECT_EQ(p.Y, -100);
    p.Y = 1318;
    MovePlaneRecord(p, ring);
    EXPECT_EQ(p.Y, 150);
}

TEST_F(PlanesTest, WrapBoundsAreStrict) {
    Tables(2);
    const WrapBounds ring = ComputeLightLayout(1024, 768, ModeSaver, 638, 389).Wrap;
    auto moveX = [&](int x, float dir) {
        PlaneRecord p;
        p.X = static_cast<std::int16_t>(x);
        p.Dir = dir;
        MovePlaneRecord(p, ring);
        return p.X;
    };
    EXPECT_EQ(moveX(1222, 3), 1224);
    EXPECT_EQ(moveX(1223, 3), -199);
    EXPECT_EQ(moveX(-198, 7), -200);
    EXPECT_EQ(moveX(-199, 7), 1223);
}

TEST_F(PlanesTest, PreviewRing) {
    Tables(2);
    const WrapBounds ring = ComputeLightLayout(0, 0, ModePreview, 638, 389).Wrap;
    PlaneRecord p;
    p.X = 1024;
    p.Dir = 3;
    const int expected[3] = {626, 228, -170};
    for (int x : expected) {
        MovePlaneRecord(p, ring);
        EXPECT_EQ(p.X, x);
    }
    for (int i = 0; i < 500; ++i) {
        MovePlaneRecord(p, ring);
        ASSERT_GE(p.X, -200);
        ASSERT_LE(p.X, 200);
    }
}

TEST_F(PlanesTest, FrameFlipsOnEveryMove) {
    Tables(2);
    const WrapBounds ring = ComputeLightLayout(1024, 768, ModeSaver, 638, 389).Wrap;
    PlaneRecord p;
    p.Dir = 5;
    p.SrcX = 1005;
    p.MaskY = 402;
    p.X = 500;
    p.Y = 500;
    MovePlaneRecord(p, ring);
    EXPECT_EQ(p.Frame, 1.0f);
    EXPECT_EQ(p.SrcY, 201);
    EXPECT_EQ(p.Y, 498);
    MovePlaneRecord(p, ring);
    EXPECT_EQ(p.Frame, 0.0f);
    EXPECT_EQ(p.SrcY, 0);
    EXPECT_EQ(p.SrcX, 1005);
    EXPECT_EQ(p.MaskY, 402);
    EXPECT_EQ(p.X, 500);
}

TEST_F(PlanesTest, StepZeroFractionalAndNegative) {
    const WrapBounds ring = ComputeLightLayout(1024, 768, ModeSaver, 638, 389).Wrap;
    Tables(0);
    PlaneRecord p;
    p.X = 300;
    p.Y = 300;
    p.Dir = 2;
    MovePlaneRecord(p, ring);
    EXPECT_EQ(p.X, 300);
    EXPECT_EQ(p.Y, 300);
    EXPECT_EQ(p.Frame, 1.0f);

    Tables(2.5f);
    p.X = 100;
    p.Dir = 3;
    for (int i = 1; i <= 4; ++i) {
        MovePlaneRecord(p, ring);
        EXPECT_EQ(p.X, 100 + 2 * i);  // 102.5 -> 102, never accumulating
    }
    p.X = 101;
    MovePlaneRecord(p, ring);
    EXPECT_EQ(p.X, 104);  // 103.5 -> 104, then even
    MovePlaneRecord(p, ring);
    EXPECT_EQ(p.X, 106);

    Tables(-2);
    p.X = 100;
    MovePlaneRecord(p, ring);
    EXPECT_EQ(p.X, 98);
}

TEST_F(PlanesTest, OutOfModelValuesStayInBounds) {
    Tables(2);
    const WrapBounds ring = ComputeLightLayout(1024, 768, ModeSaver, 638, 389).Wrap;
    EXPECT_EQ(DirectionIndex(8), 0);
    EXPECT_EQ(DirectionIndex(-1), 7);
    EXPECT_EQ(DirectionIndex(7.5), 0);   // rounds to 8
    EXPECT_EQ(DirectionIndex(6.5), 6);
    EXPECT_EQ(DirectionIndex(1e30), DirectionIndex(std::fmod(1e30, 8.0)));
    EXPECT_EQ(DirectionIndex(std::numeric_limits<double>::quiet_NaN()), 0);
    EXPECT_EQ(DirectionIndex(std::numeric_limits<double>::infinity()), 0);

    PlaneRecord p;
    p.X = 500;
    p.Dir = 11;  // reduced to 3: right
    MovePlaneRecord(p, ring);
    EXPECT_EQ(p.X, 502);

    // Slots outside the array are ignored; the neighbours stay as they were.
    Planes[0].X = 10;
    Planes[9].X = 20;
    MovePlaneSlot(-1, ring);
    MovePlaneSlot(10, ring);
    EXPECT_EQ(Planes[0].X, 10);
    EXPECT_EQ(Planes[9].X, 20);
    EXPECT_EQ(Planes[9].Frame, 0.0f);
    MovePlaneSlot(9, ring);
    EXPECT_EQ(Planes[9].Frame, 1.0f);

    // A huge step saturates, then the wrap brings the plane one span back, all defined.
    Tables(1e9f);
    p = PlaneRecord{};
    p.Dir = 3;
    for (int i = 0; i < 4; ++i) {
        MovePlaneRecord(p, ring);
        EXPECT_EQ(p.X, 32767 - 1424);
    }
    Tables(-1e9f);
    MovePlaneRecord(p, ring);
    EXPECT_EQ(p.X, -32768 + 1424);
}

TEST_F(PlanesTest, FormationLastSlotStaysInTheArray) {
    EXPECT_EQ(FormationLastSlotFor(3), 3);
    EXPECT_EQ(FormationLastSlotFor(-1), -1);
    EXPECT_EQ(FormationLastSlotFor(2.5f), 2);
    EXPECT_EQ(FormationLastSlotFor(3.5f), 4);
    EXPECT_EQ(FormationLastSlotFor(9), 9);
    EXPECT_EQ(FormationLastSlotFor(50), 9);
    EXPECT_EQ(FormationLastSlotFor(-7), -1);
    EXPECT_EQ(FormationLastSlotFor(1e30f), 9);
    Settings.PlaneNum = 12;
    EXPECT_EQ(FormationLastSlot(), 9);
}

TEST_F(PlanesTest, DirectionEventTurnsTheFlyingPlanes) {
    EXPECT_EQ(TurnedDirection(0, 0), 7);
    EXPECT_EQ(TurnedDirection(1, 0), 0);
    EXPECT_EQ(TurnedDirection(2, 0), 1);
    EXPECT_EQ(TurnedDirection(0, 7), 6);
    EXPECT_EQ(TurnedDirection(2, 7), 0);
    EXPECT_EQ(TurnedDirection(2, 25), 2);  // outside the compass: reduced

    Tables(2);
    Place(0, 0, 0.5f);  // direction 4
    const PlaneRecord before4 = Planes[4];
    const PlaneRecord before1 = Planes[1];
    {
        ScriptedDraws t({0.9f});  // t = 2: the entry after
        DirectionEvent();
    }
    for (int i = 0; i <= 3; ++i) {
        EXPECT_EQ(Planes[i].Dir, 5.0f);
        EXPECT_EQ(Planes[i].SrcX, 1005);
    }
    EXPECT_EQ(Planes[1].X, before1.X);
    EXPECT_EQ(Planes[1].Y, before1.Y);
    EXPECT_EQ(Planes[1].Frame, before1.Frame);
    EXPECT_EQ(Planes[4].Dir, before4.Dir);  // above PlaneNum: unchanged

    // While a sequence runs, nothing is drawn and nothing turns.
    SeqActive = -1;
    {
        ScriptedDraws none({}, true);  // no draw at all
        DirectionEvent();
    }
    EXPECT_EQ(Planes[0].Dir, 5.0f);
    SeqActive = 0;

    Settings.PlaneNum = -1;
    {
        ScriptedDraws t({0.0f});
        DirectionEvent();
    }
    EXPECT_EQ(Planes[0].Dir, 5.0f);

    {
        ScriptedDraws t({0.0f});
        TurnFormation(40);  // clamped to the last slot
    }
    for (const PlaneRecord& p : Planes) EXPECT_EQ(p.Dir, 4.0f);
}

}  // namespace
