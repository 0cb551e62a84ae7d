#include "forms/frame.h"

#include <algorithm>

#include "forms/draw3d.h"
#include "forms/focus_after.h"
#include "forms/form.h"
#include "forms/metrics.h"
#include "os/gdi.h"

namespace forms {

namespace {

constexpr int kCaptionLeft = 8;  // the caption's start, from the frame's left edge
constexpr int kCaptionGap = 2;   // the border stays this far from the caption's ends

int TextHeight(os::HDC dc) {
    os::TextMetricsSimple tm;
    os::GetTextMetricsSimple(dc, &tm);
    return tm.height > 0 ? tm.height : 13;
}

}  // namespace

Frame::Frame(Container& container, std::string name)
    : CaptionedControl(container, std::move(name)) {}

Frame::~Frame() = default;

os::Rect Frame::BorderRect() {
    Touch();
    const int top = TextHeight(OwnerForm().hDC()) / 2;
    return os::Rect{0, std::min(top, PixelHeight()), PixelWidth(), PixelHeight()};
}

void Frame::OnAccessKey() { FocusAfter(*this); }

// The etched look: a dark grey rectangle with a white one a pixel further right and down.
void Frame::Paint(os::HDC dc, int width, int height) {
    FillSolid(dc, os::Rect{0, 0, width, height}, ColorButtonFace);
    const int top = std::min(TextHeight(dc) / 2, std::max(0, height - 2));
    auto outline = [&](const os::Rect& r, os::COLORREF color) {
        if (r.width() <= 0 || r.height() <= 0) return;
        FillSolid(dc, os::Rect{r.left, r.top, r.right, r.top + 1}, color);
        FillSolid(dc, os::Rect{r.left, r.bottom - 1, r.right, r.bottom}, color);
        FillSolid(dc, os::Rect{r.left, r.top, r.left + 1, r.bottom}, color);
        FillSolid(dc, os::Rect{r.right - 1, r.top, r.right, r.bottom}, color);
    };
    outline(os::Rect{1, top + 1, width, height}, ColorButtonHighlight);
    outline(os::Rect{0, top, width - 1, height - 1}, ColorButtonShadow);
    const std::string& caption = CaptionText();
    if (caption.empty()) return;
    const os::SIZE text = os::MeasureAccessText(dc, caption);
    FillSolid(dc,
              os::Rect{kCaptionLeft - kCaptionGap, 0,
                       std::min(width, kCaptionLeft + text.cx + kCaptionGap), top + 2},
              ColorButtonFace);
    DrawCaption(dc, kCaptionLeft, 0, caption, ColorButtonText, !EffectivelyEnabled());
}

}  // namespace forms
