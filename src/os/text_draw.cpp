// Drawing and measuring text on device contexts, and captions with access keys.
#include <algorithm>
#include <cctype>

#include "os/gdi_internal.h"
#include "os/text_font.h"

namespace os {
namespace {

text::Font* FontOfDC(const gdi::DcState& dc) {
    const gdi::FontInfo f = gdi::FontOf(dc);
    return text::FontFor(text::FontKey{f.face, f.point_size, f.bold, f.italic});
}

int AdvanceOf(text::Font& font, const unsigned char* s, int n) {
    long long w = 0;
    for (int i = 0; i < n; ++i) w += font.GlyphOf(s[i]).advance;
    return static_cast<int>(std::min<long long>(w, 1 << 30));
}

void Blend(std::uint32_t* p, std::uint32_t color, unsigned a) {
    if (a == 0) return;
    if (a == 255) {
        *p = color;
        return;
    }
    const std::uint32_t d = *p;
    std::uint32_t out = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const unsigned dc = (d >> shift) & 0xFF, sc = (color >> shift) & 0xFF;
        out |= ((sc * a + dc * (255 - a) + 127) / 255) << shift;
    }
    *p = out;
}

void FillRow(gdi::Canvas& canvas, const Rect& r, std::uint32_t pixel) {
    const Rect c = Intersect(r, canvas.Clip());
    for (int y = c.top; y < c.bottom; ++y) std::fill(canvas.At(c.left, y), canvas.At(c.left, y) + c.width(), pixel);
}

// Draws s at (x, y); underlines the whole run when `underline`, and character `mark` (an
// index into s, or -1) on its own.
BOOL DrawRun(HDC dc, int x, int y, const unsigned char* s, int n, bool underline_all, int mark) {
    gdi::DcState* st = gdi::FindDC(dc);
    if (!st || n < 0 || (!s && n > 0)) return 0;
    text::Font* font = FontOfDC(*st);
    if (!font) return 0;
    const int width = AdvanceOf(*font, s, n);
    const Rect cell = gdi::ClampRect(x, y, static_cast<long long>(x) + width,
                                     static_cast<long long>(y) + font->height());
    // Glyphs may reach outside the cell (italics, accents): include their boxes.
    Rect area = cell;
    long long pen = x;
    const int baseline = y + font->ascent;
    for (int i = 0; i < n; ++i) {
        const text::Glyph& g = font->GlyphOf(s[i]);
        if (g.width > 0 && g.rows > 0)
            area = Union(area, gdi::ClampRect(pen + g.left, static_cast<long long>(baseline) - g.top,
                                             pen + g.left + g.width,
                                             static_cast<long long>(baseline) - g.top + g.rows));
        pen += g.advance;
    }
    gdi::Canvas canvas(*st, area);
    if (!canvas.valid()) return 0;
    const Rect clip = canvas.Clip();
    if (clip.empty()) return 1;
    const std::uint32_t color = PixelFromColorref(st->text_color);
    if (st->bk_mode == OPAQUE) FillRow(canvas, cell, PixelFromColorref(st->bk_color));

    pen = x;
    for (int i = 0; i < n; ++i) {
        const text::Glyph& g = font->GlyphOf(s[i]);
        const long long gx = pen + g.left, gy = static_cast<long long>(baseline) - g.top;
        for (int row = 0; row < g.rows; ++row) {
            const long long py = gy + row;
            if (py < clip.top || py >= clip.bottom) continue;
            const int from = static_cast<int>(std::max<long long>(0, clip.left - gx));
            const int to = static_cast<int>(std::min<long long>(g.width, clip.right - gx));
            const std::uint8_t* cov = g.coverage.data() + static_cast<std::size_t>(row) * g.width;
            for (int col = from; col < to; ++col)
                Blend(canvas.At(static_cast<int>(gx + col), static_cast<int>(py)), color, cov[col]);
        }
        if (i == mark) {
            const int top = baseline + font->underline_offset;
            FillRow(canvas, gdi::ClampRect(pen, top, pen + g.advance, top + font->underline_thickness), color);
        }
        pen += g.advance;
    }
    if (underline_all) {
        const int top = baseline + font->underline_offset;
        FillRow(canvas, gdi::ClampRect(x, top, static_cast<long long>(x) + width, top + font->underline_thickness),
                color);
    }
    canvas.Wrote(area);
    return 1;
}

// The caption with its markers removed, and the index of the access character in it.
std::string ParseCaption(std::string_view caption, int* mark) {
    std::string out;
    *mark = -1;
    for (std::size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] != '&') {
            out += caption[i];
        } else if (i + 1 < caption.size()) {
            if (caption[i + 1] != '&' && *mark < 0) *mark = static_cast<int>(out.size());
            out += caption[++i];
        }
    }
    return out;
}

}  // namespace

BOOL TextOutA(HDC dc, int x, int y, const char* text, int length) {
    const gdi::DcState* st = gdi::FindDC(dc);
    if (!st) return 0;
    return DrawRun(dc, x, y, reinterpret_cast<const unsigned char*>(text), length, gdi::FontOf(*st).underline, -1);
}

BOOL GetTextExtentPoint32A(HDC dc, const char* text, int length, SIZE* size) {
    const gdi::DcState* st = gdi::FindDC(dc);
    if (!st || !size || length < 0 || (!text && length > 0)) return 0;
    text::Font* font = FontOfDC(*st);
    if (!font) return 0;
    size->cx = AdvanceOf(*font, reinterpret_cast<const unsigned char*>(text), length);
    size->cy = font->height();
    return 1;
}

BOOL GetTextMetricsSimple(HDC dc, TextMetricsSimple* metrics) {
    const gdi::DcState* st = gdi::FindDC(dc);
    if (!st || !metrics) return 0;
    text::Font* font = FontOfDC(*st);
    if (!font) return 0;
    metrics->ascent = font->ascent;
    metrics->descent = font->descent;
    metrics->height = font->height();
    metrics->average_char_width = font->average_char_width;
    return 1;
}

SIZE MeasureAccessText(HDC dc, std::string_view caption) {
    int mark = -1;
    const std::string plain = ParseCaption(caption, &mark);
    SIZE size;
    if (!GetTextExtentPoint32A(dc, plain.data(), static_cast<int>(plain.size()), &size)) return SIZE{};
    return size;
}

BOOL DrawAccessText(HDC dc, int x, int y, std::string_view caption, bool show_underline) {
    const gdi::DcState* st = gdi::FindDC(dc);
    if (!st) return 0;
    int mark = -1;
    const std::string plain = ParseCaption(caption, &mark);
    return DrawRun(dc, x, y, reinterpret_cast<const unsigned char*>(plain.data()),
                   static_cast<int>(plain.size()), gdi::FontOf(*st).underline, show_underline ? mark : -1);
}

char AccessKeyOf(std::string_view caption) {
    int mark = -1;
    const std::string plain = ParseCaption(caption, &mark);
    if (mark < 0) return 0;
    return static_cast<char>(std::toupper(static_cast<unsigned char>(plain[static_cast<std::size_t>(mark)])));
}

std::string StripAccessMarkers(std::string_view caption) {
    int mark = -1;
    return ParseCaption(caption, &mark);
}

}  // namespace os
