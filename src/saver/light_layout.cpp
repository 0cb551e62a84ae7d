#include "saver/light_layout.h"

#include "forms/conversions.h"

namespace {

// 16-bit sums of screen-sized values; a sum beyond the range saturates rather than
// wrapping into a negative bound.
std::int16_t Sum16(int a, int b) { return forms::RoundToInt16(static_cast<double>(a) + b); }

void SetRow(LightLayout& layout, int row, int x, int y, int w, int h) {
    layout.LightPos[row][LightPosX] = forms::RoundToInt16(x);
    layout.LightPos[row][LightPosY] = forms::RoundToInt16(y);
    layout.LightPos[row][LightPosW] = forms::RoundToInt16(w);
    layout.LightPos[row][LightPosH] = forms::RoundToInt16(h);
}

}  // namespace

LightLayout ComputeLightLayout(std::int16_t screenW, std::int16_t screenH,
                               RunModeKind runMode, double lightBoxW, double lightBoxH) {
    LightLayout layout;
    layout.Wrap.WrapMaxX = Sum16(screenW, 200);
    layout.Wrap.WrapMaxY = Sum16(screenH, 200);
    layout.Wrap.WrapSpanX = Sum16(screenW, 400);
    layout.Wrap.WrapSpanY = Sum16(screenH, 400);

    if (runMode == ModeSaver) {
        layout.LightW = forms::RoundToInt16(lightBoxW);
        layout.LightH = forms::RoundToInt16(lightBoxH);
        // The 16-bit difference halved in double precision, ties to even (189.5 -> 190).
        layout.LightX0 = forms::RoundToInt16((screenW - layout.LightW) / 2.0);
        layout.LightY0 = forms::RoundToInt16((screenH - layout.LightH) / 2.0);
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
