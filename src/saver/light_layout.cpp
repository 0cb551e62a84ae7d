#include "saver/light_layout.h"

#include "runtime/conversions.h"

namespace {

// 16-bit sums of screen-sized values; a sum beyond the range saturates rather than
// wrapping into a negative bound.
std::int16_t Sum16(int a, int b) { return runtime::RoundToInt16(static_cast<double>(a) + b); }

void SetRow(LightLayout& layout, int row, int x, int y, int w, int h) {
    layout.LightPos[row][LightPosX] = runtime::RoundToInt16(x);
    layout.LightPos[row][LightPosY] = runtime::RoundToInt16(y);
    layout.LightPos[row][LightPosW] = runtime::RoundToInt16(w);
    layout.LightPos[row][LightPosH] = runtime::RoundToInt16(h);
}

}  // namespace

LightLayout ComputeLightLayout(std::int16_t screen_w, std::int16_t screen_h,
                               RunModeKind runMode, double lightBoxW, double lightBoxH) {
    LightLayout layout;
    layout.Wrap.WrapMaxX = Sum16(screen_w, 200);
    layout.Wrap.WrapMaxY = Sum16(screen_h, 200);
    layout.Wrap.WrapSpanX = Sum16(screen_w, 400);
    layout.Wrap.WrapSpanY = Sum16(screen_h, 400);

    if (runMode == ModeSaver) {
        layout.LightW = runtime::RoundToInt16(lightBoxW);
        layout.LightH = runtime::RoundToInt16(lightBoxH);
        // The 16-bit difference halved in double precision, ties to even (189.5 -> 190).
        layout.LightX0 = runtime::RoundToInt16((screen_w - layout.LightW) / 2.0);
        layout.LightY0 = runtime::RoundToInt16((screen_h - layout.LightH) / 2.0);
    } else {
        layout.LightW = 1;
        layout.LightH = 1;
        layout.LightX0 = 0;
        layout.LightY0 = 0;
    }

    const int x0 = layout.LightX0, y0 = layout.LightY0;
    const int w = layout.LightW, h = layout.LightH;
    SetRow(layout, 0, x0, y0, w, h);           // upright
    SetRow(layout, 1, x0 + w, y0, -w, h);      // mirrored left to right
    SetRow(layout, 2, x0, y0 + h, w, -h);      // mirrored top to bottom
    SetRow(layout, 3, x0 + w, y0 + h, -w, -h); // half a turn
    SetRow(layout, 4, 0, 0, 1, 1);             // squeezed into the top-left pixel
    return layout;
}
