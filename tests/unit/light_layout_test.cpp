#include "saver/light_layout.h"

#include <gtest/gtest.h>

#include <array>

namespace {

using Row = std::array<int, 4>;

Row RowOf(const LightLayout& layout, int variant) {
    const auto& r = layout.LightPos[variant];
    return Row{r[LightPosX], r[LightPosY], r[LightPosW], r[LightPosH]};
}

TEST(LightLayout, SaverOn1024x768) {
    const LightLayout l = ComputeLightLayout(1024, 768, ModeSaver, 638, 389);
    EXPECT_EQ(l.Wrap.WrapMaxX, 1224);
    EXPECT_EQ(l.Wrap.WrapMaxY, 968);
    EXPECT_EQ(l.Wrap.WrapSpanX, 1424);
    EXPECT_EQ(l.Wrap.WrapSpanY, 1168);
    EXPECT_EQ(l.LightW, 638);
    EXPECT_EQ(l.LightH, 389);
    EXPECT_EQ(l.LightX0, 193);
    EXPECT_EQ(l.LightY0, 190);  // 189.5 goes to the even neighbour
    EXPECT_EQ(RowOf(l, 0), (Row{193, 190, 638, 389}));
    EXPECT_EQ(RowOf(l, 1), (Row{831, 190, -638, 389}));
    EXPECT_EQ(RowOf(l, 2), (Row{193, 579, 638, -389}));
    EXPECT_EQ(RowOf(l, 3), (Row{831, 579, -638, -389}));
    EXPECT_EQ(RowOf(l, 4), (Row{0, 0, 1, 1}));
}

TEST(LightLayout, CentringRoundsTiesToEven) {
    struct Case {
        int w, h, x0, y0;
    };
    const Case cases[] = {
        {800, 600, 81, 106},    // 105.5 -> 106
        {640, 480, 1, 46},
        {1280, 1024, 321, 318}, // 317.5 -> 318
        {1025, 768, 194, 190},  // 193.5 -> 194
    };
    for (const Case& c : cases) {
        const LightLayout l = ComputeLightLayout(c.w, c.h, ModeSaver, 638, 389);
        EXPECT_EQ(l.LightX0, c.x0) << c.w << "x" << c.h;
        EXPECT_EQ(l.LightY0, c.y0) << c.w << "x" << c.h;
        EXPECT_EQ(l.Wrap.WrapSpanX, c.w + 400);
        EXPECT_EQ(RowOf(l, 3), (Row{c.x0 + 638, c.y0 + 389, -638, -389}));
    }
}

TEST(LightLayout, PictureSizeRoundsTiesToEven) {
    const LightLayout l = ComputeLightLayout(1024, 768, ModeSaver, 638.5, 389.5);
    EXPECT_EQ(l.LightW, 638);
    EXPECT_EQ(l.LightH, 390);
}

TEST(LightLayout, ScreenSmallerThanPictureGivesNegativeCorner) {
    const LightLayout l = ComputeLightLayout(320, 200, ModeSaver, 638, 389);
    EXPECT_EQ(l.LightX0, -159);
    EXPECT_EQ(l.LightY0, -94);  // -94.5 -> -94
}

TEST(LightLayout, OutsideSaverModeEveryRowIsOnePixel) {
    for (RunModeKind mode : {ModePreview, ModeUnset, ModePassword}) {
        const LightLayout l = ComputeLightLayout(0, 0, mode, 638, 389);
        EXPECT_EQ(l.Wrap.WrapMaxX, 200);
        EXPECT_EQ(l.Wrap.WrapMaxY, 200);
        EXPECT_EQ(l.Wrap.WrapSpanX, 400);
        EXPECT_EQ(l.Wrap.WrapSpanY, 400);
        EXPECT_EQ(RowOf(l, 0), (Row{0, 0, 1, 1}));
        EXPECT_EQ(RowOf(l, 1), (Row{1, 0, -1, 1}));
        EXPECT_EQ(RowOf(l, 2), (Row{0, 1, 1, -1}));
        EXPECT_EQ(RowOf(l, 3), (Row{1, 1, -1, -1}));
        EXPECT_EQ(RowOf(l, 4), (Row{0, 0, 1, 1}));
    }
    // The picture size plays no part in preview; the wrap bounds still follow the screen.
    const LightLayout l = ComputeLightLayout(1024, 768, ModePreview, 638, 389);
    EXPECT_EQ(l.LightX0, 0);
    EXPECT_EQ(l.LightW, 1);
    EXPECT_EQ(l.Wrap.WrapMaxX, 1224);
}

TEST(LightLayout, HugeScreensSaturateInsteadOfWrappingNegative) {
    const LightLayout l = ComputeLightLayout(32700, 32700, ModeSaver, 638, 389);
    EXPECT_EQ(l.Wrap.WrapSpanX, 32767);
    EXPECT_EQ(l.Wrap.WrapMaxY, 32767);
}

}  // namespace
