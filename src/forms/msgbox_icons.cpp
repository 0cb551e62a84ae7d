#include "forms/msgbox_icons.h"

#include "forms/draw3d.h"
#include "forms/metrics.h"
#include "forms/msgbox.h"
#include "os/gdi.h"

namespace forms {

namespace {

void FilledEllipse(os::HDC dc, int left, int top, int right, int bottom, os::COLORREF fill,
                   os::COLORREF outline) {
    const os::HBRUSH brush = os::CreateSolidBrush(fill);
    const os::HPEN pen = os::CreatePen(os::PS_SOLID, 1, outline);
    const os::HGDIOBJ old_brush = os::SelectObject(dc, brush);
    const os::HGDIOBJ old_pen = os::SelectObject(dc, pen);
    os::Ellipse(dc, left, top, right, bottom);
    os::SelectObject(dc, old_brush);
    os::SelectObject(dc, old_pen);
    os::DeleteObject(brush);
    os::DeleteObject(pen);
}

// A red disc with a black rim and a white diagonal cross.
void DrawStop(os::HDC dc, int x, int y) {
    FilledEllipse(dc, x + 1, y + 1, x + 31, y + 31, ColorStopSign, ColorButtonDarkShadow);
    for (int i = 0; i < 12; ++i)
        for (int t = 0; t < 3; ++t) {
            FillSolid(dc, os::Rect{x + 10 + i + t - 1, y + 10 + i, x + 10 + i + t, y + 11 + i},
                      ColorButtonHighlight);
            FillSolid(dc, os::Rect{x + 21 - i + t - 1, y + 10 + i, x + 21 - i + t, y + 11 + i},
                      ColorButtonHighlight);
        }
}

// A yellow triangle with a black rim and a black "!".
void DrawWarning(os::HDC dc, int x, int y) {
    for (int row = 0; row < 28; ++row) {
        const int half = row / 2 + 1;
        FillSolid(dc, os::Rect{x + 16 - half, y + 2 + row, x + 16 + half, y + 3 + row},
                  ColorButtonDarkShadow);
        if (row > 1 && row < 27 && half > 2)
            FillSolid(dc, os::Rect{x + 17 - half, y + 2 + row, x + 15 + half, y + 3 + row},
                      0x00FFFF);
    }
    FillSolid(dc, os::Rect{x + 15, y + 10, x + 17, y + 22}, ColorButtonDarkShadow);
    FillSolid(dc, os::Rect{x + 15, y + 24, x + 17, y + 26}, ColorButtonDarkShadow);
}

// A white disc with a black rim and a blue "i".
void DrawInformation(os::HDC dc, int x, int y) {
    FilledEllipse(dc, x + 1, y + 1, x + 31, y + 31, ColorWindow, ColorButtonDarkShadow);
    FillSolid(dc, os::Rect{x + 14, y + 7, x + 18, y + 11}, 0xFF0000);
    FillSolid(dc, os::Rect{x + 14, y + 13, x + 18, y + 25}, 0xFF0000);
}

}  // namespace

void DrawMessageIcon(os::HDC dc, int x, int y, int icon_style) {
    switch (icon_style) {
        case vbCritical: DrawStop(dc, x, y); break;
        case vbExclamation: DrawWarning(dc, x, y); break;
        case vbInformation: DrawInformation(dc, x, y); break;
        default: break;
    }
}

}  // namespace forms
