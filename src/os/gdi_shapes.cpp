// Filled and outlined shapes, lines, single pixels and rectangle inversions.
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "os/gdi_internal.h"

namespace os {
namespace gdi {

Span EllipseSpan(const Rect& box, int y) {
    const int w = box.width(), h = box.height();
    if (w <= 0 || h <= 0 || y < box.top || y >= box.bottom) return Span{};
    const double a = w / 2.0, b = h / 2.0;
    // Half-integers are exact in double, so rows r and h-1-r get the same span.
    const double dy = (y - box.top + 0.5 - b) / b;
    const double u = a * std::sqrt(std::max(0.0, 1.0 - dy * dy));
    // First covered pixel from the left edge; the right side mirrors it exactly.
    const long long k = std::max(0LL, static_cast<long long>(std::ceil(a - u - 0.5)));
    if (k >= w - k) return Span{};
    return Span{static_cast<int>(box.left + k), static_cast<int>(box.right - k)};
}

namespace {

Rect NormalBox(int left, int top, int right, int bottom) {
    return Rect{std::min(left, right), std::min(top, bottom), std::max(left, right),
                std::max(top, bottom)};
}

void FillSpan(Canvas& canvas, int y, int from, int to, std::uint32_t pixel) {
    const Rect& c = canvas.Clip();
    from = std::max(from, c.left);
    to = std::min(to, c.right);
    if (y < c.top || y >= c.bottom || from >= to) return;
    std::fill(canvas.At(from, y), canvas.At(from, y) + (to - from), pixel);
}

// Draws a shape given by its row spans: the outline (pen width thick) in the pen colour,
// the pixels further inside in the brush colour.
template <typename SpanOf>
BOOL DrawShape(HDC dc, const Rect& box, SpanOf span_of) {
    DcState* s = FindDC(dc);
    if (!s) return 0;
    if (box.empty()) return 1;
    Canvas canvas(*s, box);
    if (!canvas.valid()) return 0;
    const BrushInfo brush = BrushOf(*s);
    const PenInfo pen = PenOf(*s);
    const bool outlined = pen.style != PS_NULL;
    const int pw = outlined ? std::min(pen.width, std::max(box.width(), box.height())) : 0;
    const Rect c = canvas.Clip();
    for (int y = std::max(c.top, box.top); y < std::min(c.bottom, box.bottom); ++y) {
        const Span span = span_of(y);
        if (span.left >= span.right) continue;
        // Interior: pw pixels in from this row's ends and inside the rows pw above and below.
        Span inner{span.left + pw, span.right - pw};
        for (int k = 1; k <= pw && inner.left < inner.right; ++k) {
            for (int yy : {y - k, y + k}) {
                const Span n = yy >= box.top && yy < box.bottom ? span_of(yy) : Span{};
                if (n.left >= n.right) {
                    inner.right = inner.left;  // next to the shape's top or bottom: all outline
                    break;
                }
                inner.left = std::max(inner.left, n.left);
                inner.right = std::min(inner.right, n.right);
            }
        }
        if (inner.left >= inner.right) inner = Span{span.left, span.left};
        if (!brush.hollow) FillSpan(canvas, y, inner.left, inner.right, brush.pixel);
        if (outlined) {
            FillSpan(canvas, y, span.left, inner.left, pen.pixel);
            FillSpan(canvas, y, inner.right, span.right, pen.pixel);
        }
    }
    canvas.Wrote(box);
    return 1;
}

bool PenDrawsStep(const PenInfo& pen, long long step) {
    switch (pen.style) {
        case PS_DOT: return step % 2 == 0;
        case PS_DASH: return step % 8 < 6;
        default: return true;
    }
}

}  // namespace
}  // namespace gdi

using namespace gdi;

BOOL Ellipse(HDC dc, int left, int top, int right, int bottom) {
    const Rect box = NormalBox(left, top, right, bottom);
    return DrawShape(dc, box, [&box](int y) { return EllipseSpan(box, y); });
}

BOOL Rectangle(HDC dc, int left, int top, int right, int bottom) {
    const Rect box = NormalBox(left, top, right, bottom);
    return DrawShape(dc, box, [&box](int) { return Span{box.left, box.right}; });
}

int FillRect(HDC dc, const RECT* rect, HBRUSH brush_handle) {
    DcState* s = FindDC(dc);
    const auto brush = FindBrush(brush_handle);
    if (!s || !rect || !brush) return 0;
    if (brush->hollow) return 1;
    Canvas canvas(*s, Rect{rect->left, rect->top, rect->right, rect->bottom});
    if (!canvas.valid()) return 0;
    const Rect c = canvas.Clip();
    for (int y = c.top; y < c.bottom; ++y) FillSpan(canvas, y, c.left, c.right, brush->pixel);
    canvas.Wrote(c);
    return 1;
}

BOOL InvertRect(HDC dc, const RECT* rect) {
    DcState* s = FindDC(dc);
    if (!s || !rect) return 0;
    Canvas canvas(*s, Rect{rect->left, rect->top, rect->right, rect->bottom});
    if (!canvas.valid()) return 0;
    const Rect c = canvas.Clip();
    for (int y = c.top; y < c.bottom; ++y) {
        std::uint32_t* p = canvas.At(c.left, y);
        for (int i = 0; i < c.width(); ++i) p[i] ^= 0xFFFFFFu;
    }
    canvas.Wrote(c);
    return 1;
}

BOOL DrawFocusRect(HDC dc, const RECT* rect) {
    DcState* s = FindDC(dc);
    if (!s || !rect) return 0;
    const Rect box{rect->left, rect->top, rect->right, rect->bottom};
    if (box.empty()) return 1;
    Canvas canvas(*s, box);
    if (!canvas.valid()) return 0;
    const Rect c = canvas.Clip();
    // Every other pixel of the border, each visited once, so a second call undoes the first.
    auto flip = [&](int x, int y) {
        if (x >= c.left && x < c.right && y >= c.top && y < c.bottom && ((x + y) & 1) == 0)
            *canvas.At(x, y) ^= 0xFFFFFFu;
    };
    for (int y = std::max(box.top, c.top); y < std::min(box.bottom, c.bottom); ++y) {
        if (y == box.top || y == box.bottom - 1) {
            for (int x = std::max(box.left, c.left); x < std::min(box.right, c.right); ++x) flip(x, y);
        } else {
            flip(box.left, y);
            if (box.right - 1 != box.left) flip(box.right - 1, y);
        }
    }
    canvas.Wrote(c);
    return 1;
}

BOOL MoveToEx(HDC dc, int x, int y, POINT* previous) {
    return ExchangePoint(dc, &DcState::position, x, y, previous);
}

BOOL LineTo(HDC dc, int x, int y) {
    DcState* s = FindDC(dc);
    if (!s) return 0;
    const POINT from = s->position;
    s->position = POINT{x, y};
    const PenInfo pen = PenOf(*s);
    if (pen.style == PS_NULL) return 1;
    const int before = (pen.width - 1) / 2, after = pen.width - before;
    Canvas canvas(*s, ClampRect(std::min<long long>(from.x, x) - before,
                                std::min<long long>(from.y, y) - before,
                                std::max<long long>(from.x, x) + after,
                                std::max<long long>(from.y, y) + after));
    if (!canvas.valid()) return 0;
    const Rect c = canvas.Clip();
    if (c.empty()) return 1;

    // Bresenham's line, each step computed directly so that only the steps whose major
    // coordinate can reach the clip rectangle are visited. The end point is not drawn.
    const long long dx = static_cast<long long>(x) - from.x, dy = static_cast<long long>(y) - from.y;
    const bool x_major = std::llabs(dx) >= std::llabs(dy);
    const long long dm = x_major ? dx : dy, dn = x_major ? dy : dx;
    const long long m0 = x_major ? from.x : from.y, n0 = x_major ? from.y : from.x;
    const long long len = std::llabs(dm);
    const int sm = dm < 0 ? -1 : 1, sn = dn < 0 ? -1 : 1;
    const long long lo = (x_major ? c.left : c.top) - after, hi = (x_major ? c.right : c.bottom) + before;
    long long first = sm > 0 ? lo - m0 : m0 - hi;
    long long last = sm > 0 ? hi - m0 : m0 - lo;
    first = std::max(0LL, first);
    last = std::min(len - 1, last);
    for (long long i = first; i <= last; ++i) {
        if (!PenDrawsStep(pen, i)) continue;
        const long long m = m0 + sm * i;
        // 128-bit: with coordinates far apart the product exceeds 64 bits.
        const long long n = n0 + sn * static_cast<long long>(
                                          (2 * static_cast<__int128>(i) * std::llabs(dn) + len) / (2 * len));
        const long long px = x_major ? m : n, py = x_major ? n : m;
        for (long long yy = py - before; yy < py + after; ++yy)
            if (yy >= c.top && yy < c.bottom)
                FillSpan(canvas, static_cast<int>(yy), static_cast<int>(std::max<long long>(px - before, c.left)),
                         static_cast<int>(std::min<long long>(px + after, c.right)), pen.pixel);
    }
    canvas.Wrote(c);
    return 1;
}

COLORREF SetPixel(HDC dc, int x, int y, COLORREF color) {
    DcState* s = FindDC(dc);
    if (!s) return CLR_INVALID;
    Canvas canvas(*s, ClampRect(x, y, x + 1LL, y + 1LL));
    if (!canvas.valid() || canvas.Clip().empty()) return CLR_INVALID;
    const COLORREF plain = ResolveColor(color);
    *canvas.At(x, y) = PixelFromColorref(plain);
    canvas.Wrote(canvas.Clip());
    return plain;
}

COLORREF GetPixel(HDC dc, int x, int y) {
    DcState* s = FindDC(dc);
    if (!s) return CLR_INVALID;
    Canvas canvas(*s, ClampRect(x, y, x + 1LL, y + 1LL));
    if (!canvas.valid() || canvas.Clip().empty()) return CLR_INVALID;
    return ColorrefFromPixel(*canvas.At(x, y) & 0xFFFFFF);
}

}  // namespace os
