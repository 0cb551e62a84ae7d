// Where the lightning picture is painted and where the planes wrap, computed once from the
// screen size, the run mode and the size of the lightning picture.
#pragma once

#include <cstdint>

#include "saver/ss_module.h"

// The bounds a plane wraps at: past Max (strictly) it moves back by Span; below -200 it
// moves forward by Span.
struct WrapBounds {
    std::int16_t WrapMaxX = 0;
    std::int16_t WrapMaxY = 0;
    std::int16_t WrapSpanX = 0;
    std::int16_t WrapSpanY = 0;
};

inline constexpr int LightVariants = 5;  // rows of LightPos
enum LightPosColumn { LightPosX = 0, LightPosY = 1, LightPosW = 2, LightPosH = 3 };

struct LightLayout {
    WrapBounds Wrap;
    std::int16_t LightW = 0, LightH = 0;    // painted size of the picture
    std::int16_t LightX0 = 0, LightY0 = 0;  // top-left corner of the centred picture
    // Per variant: X, Y, W, H; a negative W or H paints the picture mirrored along that
    // axis, running left or up from X or Y.
    std::int16_t LightPos[LightVariants][4] = {};
};

// Outside the saver mode the picture is painted into single pixels. lightBoxW and
// lightBoxH are the lightning box's size in pixels as the window reports it.
LightLayout ComputeLightLayout(std::int16_t screen_w, std::int16_t screen_h,
                               RunModeKind runMode, double lightBoxW, double lightBoxH);
