#include "forms/draw3d.h"

#include "forms/metrics.h"
#include "os/gdi.h"

namespace forms {

void FillSolid(os::HDC dc, const os::Rect& r, os::COLORREF color) {
    if (r.empty()) return;
    const os::RECT rect{r.left, r.top, r.right, r.bottom};
    const os::HBRUSH brush = os::CreateSolidBrush(color);
    os::FillRect(dc, &rect, brush);
    os::DeleteObject(brush);
}

namespace {

// One-pixel frame with separate colours for its top-left and bottom-right sides.
void Frame(os::HDC dc, const os::Rect& r, os::COLORREF top_left, os::COLORREF bottom_right) {
    if (r.empty()) return;
    FillSolid(dc, os::Rect{r.left, r.top, r.right, r.top + 1}, top_left);
    FillSolid(dc, os::Rect{r.left, r.top, r.left + 1, r.bottom}, top_left);
    FillSolid(dc, os::Rect{r.left, r.bottom - 1, r.right, r.bottom}, bottom_right);
    FillSolid(dc, os::Rect{r.right - 1, r.top, r.right, r.bottom}, bottom_right);
}

os::Rect Shrink(const os::Rect& r, int by) {
    return os::Rect{r.left + by, r.top + by, r.right - by, r.bottom - by};
}

}  // namespace

void DrawRaisedEdge(os::HDC dc, const os::Rect& r, bool pressed) {
    if (pressed) {
        Frame(dc, r, ColorButtonDarkShadow, ColorButtonDarkShadow);
        Frame(dc, Shrink(r, 1), ColorButtonShadow, ColorButtonShadow);
        return;
    }
    Frame(dc, r, ColorButtonHighlight, ColorButtonDarkShadow);
    Frame(dc, Shrink(r, 1), ColorButtonLight, ColorButtonShadow);
}

void DrawSunkenEdge(os::HDC dc, const os::Rect& r) {
    Frame(dc, r, ColorButtonShadow, ColorButtonHighlight);
    Frame(dc, Shrink(r, 1), ColorButtonDarkShadow, ColorButtonLight);
}

void DrawCaption(os::HDC dc, int x, int y, std::string_view caption, os::COLORREF color,
                 bool etched) {
    os::SetBkMode(dc, os::TRANSPARENT);
    if (etched) {
        os::SetTextColor(dc, ColorButtonHighlight);
        os::DrawAccessText(dc, x + 1, y + 1, caption, true);
        os::SetTextColor(dc, ColorButtonShadow);
    } else {
        os::SetTextColor(dc, color);
    }
    os::DrawAccessText(dc, x, y, caption, true);
}

}  // namespace forms
