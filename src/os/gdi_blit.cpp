// Block copies with raster operations (BitBlt) and stretched picture painting.
#include <cstring>
#include <vector>

#include "os/gdi_internal.h"

namespace os {
namespace gdi {
namespace {

using RowOp = void (*)(std::uint32_t* __restrict d, const std::uint32_t* __restrict s, int n);

// Each row operation works in blocks of eight pixels with a fixed inner count, which the
// compiler turns into vector instructions even at -O2, then finishes the tail one by one.
template <typename Op>
inline void ApplyRow(std::uint32_t* __restrict d, const std::uint32_t* __restrict s, int n, Op op) {
    int i = 0;
    for (; i + 8 <= n; i += 8)
        for (int k = 0; k < 8; ++k) d[i + k] = op(d[i + k], s[i + k]);
    for (; i < n; ++i) d[i] = op(d[i], s[i]);
}

void RowCopy(std::uint32_t* __restrict d, const std::uint32_t* __restrict s, int n) {
    std::memcpy(d, s, sizeof(std::uint32_t) * static_cast<std::size_t>(n));
}
void RowAnd(std::uint32_t* __restrict d, const std::uint32_t* __restrict s, int n) {
    ApplyRow(d, s, n, [](std::uint32_t a, std::uint32_t b) { return a & b; });
}
void RowXor(std::uint32_t* __restrict d, const std::uint32_t* __restrict s, int n) {
    ApplyRow(d, s, n, [](std::uint32_t a, std::uint32_t b) { return a ^ b; });
}
void RowOr(std::uint32_t* __restrict d, const std::uint32_t* __restrict s, int n) {
    ApplyRow(d, s, n, [](std::uint32_t a, std::uint32_t b) { return a | b; });
}
void RowNotCopy(std::uint32_t* __restrict d, const std::uint32_t* __restrict s, int n) {
    ApplyRow(d, s, n, [](std::uint32_t, std::uint32_t b) { return ~b & 0xFFFFFFu; });
}

RowOp SourceRowOp(DWORD rop) {
    switch (rop) {
        case SRCCOPY: return RowCopy;
        case SRCAND: return RowAnd;
        case SRCINVERT: return RowXor;
        case SRCPAINT: return RowOr;
        case NOTSRCCOPY: return RowNotCopy;
        default: return nullptr;
    }
}

bool IsDestinationOnly(DWORD rop) { return rop == BLACKNESS || rop == WHITENESS || rop == DSTINVERT; }

BOOL DestinationOnly(DcState& d, const Rect& area, DWORD rop) {
    Canvas canvas(d, area);
    if (!canvas.valid()) return 0;
    const Rect c = canvas.Clip();
    for (int y = c.top; y < c.bottom; ++y) {
        std::uint32_t* p = canvas.At(c.left, y);
        for (int i = 0; i < c.width(); ++i)
            p[i] = rop == BLACKNESS ? 0u : rop == WHITENESS ? 0xFFFFFFu : (p[i] ^ 0xFFFFFFu);
    }
    canvas.Wrote(c);
    return 1;
}

// A whole-surface SRCCOPY between two surfaces of one size: only changed pixels move.
bool TryWholeCopy(const DcState& d, const DcState& s, int x, int y, int w, int h, int sx, int sy) {
    if (x != 0 || y != 0 || sx != 0 || sy != 0 || d.clip) return false;
    if (d.origin.x || d.origin.y || s.origin.x || s.origin.y) return false;
    Surface* ds = CurrentSurface(d);
    Surface* ss = CurrentSurface(s);
    if (!ds || !ss || ds->width() != ss->width() || ds->height() != ss->height()) return false;
    if (w < ds->width() || h < ds->height()) return false;
    if (ds != ss) ds->CopyWholeFrom(*ss);
    return true;
}

}  // namespace
}  // namespace gdi

using namespace gdi;

BOOL BitBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, DWORD rop) {
    DcState* d = FindDC(dst);
    if (!d || w < 0 || h < 0) return 0;
    const Rect area = ClampRect(x, y, static_cast<long long>(x) + w, static_cast<long long>(y) + h);
    if (IsDestinationOnly(rop)) return DestinationOnly(*d, area, rop);
    const RowOp op = SourceRowOp(rop);
    DcState* s = FindDC(src);
    if (!op || !s) return 0;
    if (rop == SRCCOPY && TryWholeCopy(*d, *s, x, y, w, h, sx, sy)) return 1;

    Canvas dc(*d, area);
    if (!dc.valid()) return 0;
    const long long dx = static_cast<long long>(sx) - x, dy = static_cast<long long>(sy) - y;
    const Rect dclip = dc.Clip();
    // A copy of the screen onto a surface reads the screen once, straight into the surface.
    const bool screen_to_surface = rop == SRCCOPY && dc.surface() && !CurrentSurface(*s);
    Canvas sc(*s, ClampRect(dclip.left + dx, dclip.top + dy, dclip.right + dx, dclip.bottom + dy),
              false, !screen_to_surface);
    if (!sc.valid()) return 0;
    const Rect sclip = sc.Clip();
    if (dclip.empty() || sclip.empty()) return 1;
    // The source part that exists, expressed at the destination; dclip already bounds it.
    const Rect r = Intersect(ClampRect(sclip.left - dx, sclip.top - dy, sclip.right - dx,
                                       sclip.bottom - dy),
                             dclip);
    if (r.empty()) return 1;
    const int n = r.width();
    const int src_x = static_cast<int>(r.left + dx), src_y = static_cast<int>(r.top + dy);

    if (screen_to_surface) {
        const Rect from{src_x, src_y, src_x + n, src_y + r.height()};
        if (!sc.ReadScreenInto(dc.At(r.left, r.top), dc.stride(), from)) {
            // As a refused read gives: black.
            for (int row = 0; row < r.height(); ++row)
                std::memset(dc.At(r.left, r.top + row), 0, sizeof(std::uint32_t) * n);
        }
        dc.Wrote(r);
        return 1;
    }
    // Copying within one surface: take the source aside first so overlap cannot smear.
    std::vector<std::uint32_t> aside;
    if (dc.surface() && dc.surface() == sc.surface()) {
        aside.resize(static_cast<std::size_t>(n) * r.height());
        for (int row = 0; row < r.height(); ++row)
            std::memcpy(aside.data() + static_cast<std::size_t>(row) * n,
                        sc.At(src_x, src_y + row), sizeof(std::uint32_t) * n);
    }
    for (int row = 0; row < r.height(); ++row) {
        const std::uint32_t* sp = aside.empty() ? sc.At(src_x, src_y + row)
                                                : aside.data() + static_cast<std::size_t>(row) * n;
        op(dc.At(r.left, r.top + row), sp, n);
    }
    dc.Wrote(r);
    return 1;
}

BOOL StretchPaint(HDC dst, int x, int y, int w, int h, const Surface& picture, DWORD rop) {
    DcState* d = FindDC(dst);
    const RowOp op = SourceRowOp(rop);
    if (!d || !op || picture.width() <= 0 || picture.height() <= 0) return 0;
    if (w == 0 || h == 0) return 1;
    const bool mirror_x = w < 0, mirror_y = h < 0;
    const long long big_w = mirror_x ? -static_cast<long long>(w) : w;
    const long long big_h = mirror_y ? -static_cast<long long>(h) : h;
    const long long left = mirror_x ? x - big_w : x, top = mirror_y ? y - big_h : y;

    Canvas canvas(*d, ClampRect(left, top, left + big_w, top + big_h));
    if (!canvas.valid()) return 0;
    const Rect c = canvas.Clip();
    if (c.empty()) return 1;

    // Destination pixel j of n samples the source pixel under its centre: (2j+1)*size/(2n).
    // A mirrored paint uses the map of the unmirrored one reversed, so it is its exact mirror.
    auto source_index = [](long long j, long long n, long long size, bool mirror) {
        if (mirror) j = n - 1 - j;
        return static_cast<int>(((2 * static_cast<__int128>(j) + 1) * size) / (2 * n));
    };
    std::vector<int> columns(static_cast<std::size_t>(c.width()));
    for (int i = 0; i < c.width(); ++i)
        columns[i] = source_index(c.left + i - left, big_w, picture.width(), mirror_x);

    // Painting a surface onto itself: read from a copy.
    std::vector<std::uint32_t> copy;
    if (canvas.surface() == &picture) {
        copy.reserve(static_cast<std::size_t>(picture.width()) * picture.height());
        for (int py = 0; py < picture.height(); ++py)
            copy.insert(copy.end(), picture.row(py), picture.row(py) + picture.width());
    }
    std::vector<std::uint32_t> line(static_cast<std::size_t>(c.width()));
    for (int py = c.top; py < c.bottom; ++py) {
        const int sy = source_index(py - top, big_h, picture.height(), mirror_y);
        const std::uint32_t* srow =
            copy.empty() ? picture.row(sy) : copy.data() + static_cast<std::size_t>(sy) * picture.width();
        for (int i = 0; i < c.width(); ++i) line[i] = srow[columns[i]];
        op(canvas.At(c.left, py), line.data(), c.width());
    }
    canvas.Wrote(c);
    return 1;
}

}  // namespace os
