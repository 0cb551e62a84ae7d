// The handle tables of the graphics services: device contexts, brushes, pens, fonts and
// regions, the stock objects, and the per-context attributes.
#include <algorithm>
#include <iterator>
#include <unordered_map>
#include <utility>
#include <variant>

#include "os/gdi_internal.h"
#include "os/host.h"
#include "os/window.h"

namespace os {
namespace gdi {

namespace {

struct RegionInfo {
    Rect box;
};
using Object = std::variant<BrushInfo, PenInfo, FontInfo, RegionInfo>;

constexpr HGDIOBJ kStockBase = 0x40;
constexpr int kStockCount = DEFAULT_GUI_FONT + 1;

struct Tables {
    std::unordered_map<HDC, DcState> dcs;
    std::unordered_map<HGDIOBJ, Object> objects;
    std::int32_t next_handle = 0x1000;  // handles are never reused
};

Tables& T() {
    static Tables tables;
    return tables;
}

std::int32_t NextHandle() {
    std::int32_t h = T().next_handle++;
    if (T().next_handle <= 0) T().next_handle = 0x1000;  // after 2^31 objects; never in practice
    return h;
}

std::optional<Object> StockObject(int which) {
    switch (which) {
        case WHITE_BRUSH: return BrushInfo{false, 0xFFFFFF};
        case LTGRAY_BRUSH: return BrushInfo{false, 0xC0C0C0};
        case GRAY_BRUSH: return BrushInfo{false, 0x808080};
        case DKGRAY_BRUSH: return BrushInfo{false, 0x404040};
        case BLACK_BRUSH: return BrushInfo{false, 0x000000};
        case NULL_BRUSH: return BrushInfo{true, 0};
        case WHITE_PEN: return PenInfo{PS_SOLID, 1, 0xFFFFFF};
        case BLACK_PEN: return PenInfo{PS_SOLID, 1, 0x000000};
        case NULL_PEN: return PenInfo{PS_NULL, 1, 0};
        case DEFAULT_GUI_FONT: return FontInfo{"MS Sans Serif", 8, false, false, false};
        default: return std::nullopt;
    }
}

bool IsStockHandle(HGDIOBJ h) {
    return h >= kStockBase && h < kStockBase + kStockCount &&
           StockObject(h - kStockBase).has_value();
}

const Object* Find(HGDIOBJ h) {
    static const auto stock = [] {
        std::vector<std::optional<Object>> v;
        for (int i = 0; i < kStockCount; ++i) v.push_back(StockObject(i));
        return v;
    }();
    if (h >= kStockBase && h < kStockBase + kStockCount) {
        const auto& s = stock[static_cast<std::size_t>(h - kStockBase)];
        return s ? &*s : nullptr;
    }
    auto it = T().objects.find(h);
    return it == T().objects.end() ? nullptr : &it->second;
}

template <typename Info>
const Info* FindAs(HGDIOBJ h) {
    const Object* o = Find(h);
    return o ? std::get_if<Info>(o) : nullptr;
}

HGDIOBJ AddObject(Object o) {
    const HGDIOBJ h = NextHandle();
    T().objects.emplace(h, std::move(o));
    return h;
}

}  // namespace

DcState* FindDC(HDC dc) {
    auto it = T().dcs.find(dc);
    return it == T().dcs.end() ? nullptr : &it->second;
}

HDC AddDC(const DcState& state) {
    const HDC h = NextHandle();
    DcState s = state;
    s.brush = kStockBase + WHITE_BRUSH;
    s.pen = kStockBase + BLACK_PEN;
    s.font = kStockBase + DEFAULT_GUI_FONT;
    T().dcs.emplace(h, s);
    return h;
}

bool RemoveDC(HDC dc) { return T().dcs.erase(dc) > 0; }

BrushInfo BrushOf(const DcState& dc) {
    if (const auto* b = FindAs<BrushInfo>(dc.brush)) return *b;
    return BrushInfo{false, 0xFFFFFF};
}

PenInfo PenOf(const DcState& dc) {
    if (const auto* p = FindAs<PenInfo>(dc.pen)) return *p;
    return PenInfo{PS_SOLID, 1, 0x000000};
}

FontInfo FontOf(const DcState& dc) {
    if (const auto* f = FindAs<FontInfo>(dc.font)) return *f;
    return FontInfo{"MS Sans Serif", 8, false, false, false};
}

std::optional<BrushInfo> FindBrush(HBRUSH brush) {
    if (const auto* b = FindAs<BrushInfo>(brush)) return *b;
    return std::nullopt;
}

Surface* CurrentSurface(const DcState& dc) {
    switch (dc.kind) {
        case DcKind::Surface: return dc.surface;
        case DcKind::Window: return WindowSurface(dc.hwnd);
        case DcKind::Screen: return nullptr;
    }
    return nullptr;
}

Rect ClampRect(long long left, long long top, long long right, long long bottom) {
    auto c = [](long long v) { return static_cast<int>(std::clamp(v, -(1LL << 30), 1LL << 30)); };
    return Rect{c(left), c(top), c(right), c(bottom)};
}

}  // namespace gdi

using namespace gdi;

// --- device contexts ----------------------------------------------------------------------

HDC CreateSurfaceDC(Surface* surface) {
    if (!surface) return 0;
    DcState s;
    s.kind = DcKind::Surface;
    s.surface = surface;
    return AddDC(s);
}

void DeleteSurfaceDC(HDC dc) {
    const DcState* s = FindDC(dc);
    if (s && s->kind == DcKind::Surface && !s->from_get_dc) RemoveDC(dc);
}

Surface* SurfaceOfDC(HDC dc) {
    const DcState* s = FindDC(dc);
    return s ? CurrentSurface(*s) : nullptr;
}

namespace {
HDC ContextForWindow(HWND hwnd) {
    DcState s;
    s.from_get_dc = true;
    if (hwnd == 0 || hwnd == GetDesktopWindow()) {
        if (!HasHost()) return 0;
        s.kind = DcKind::Screen;
    } else if (WindowSurface(hwnd)) {
        s.kind = DcKind::Window;
        s.hwnd = hwnd;
    } else {
        return 0;
    }
    return AddDC(s);
}
}  // namespace

// Our windows have no frame of their own (the window manager draws it), so the whole
// window's context and the client context draw on the same pixels.
HDC GetDC(HWND hwnd) { return ContextForWindow(hwnd); }
HDC GetWindowDC(HWND hwnd) { return ContextForWindow(hwnd); }

int ReleaseDC(HWND /*hwnd*/, HDC dc) {
    const DcState* s = FindDC(dc);
    if (!s || !s->from_get_dc) return 0;
    RemoveDC(dc);
    return 1;
}

void SetClipRect(HDC dc, const RECT* clip) {
    DcState* s = FindDC(dc);
    if (!s) return;
    if (clip)
        s->clip = Rect{clip->left, clip->top, clip->right, clip->bottom};
    else
        s->clip.reset();
}

BOOL gdi::ExchangePoint(HDC dc, POINT DcState::*point, int x, int y, POINT* previous) {
    DcState* s = FindDC(dc);
    if (!s) return 0;
    if (previous) *previous = s->*point;
    s->*point = POINT{x, y};
    return 1;
}

BOOL SetViewportOrgEx(HDC dc, int x, int y, POINT* previous) {
    return ExchangePoint(dc, &DcState::origin, x, y, previous);
}

// --- system colours -----------------------------------------------------------------------

COLORREF GetSysColor(int index) {
    static constexpr COLORREF kScheme[] = {
        RGB(192, 192, 192),  // scroll bar
        RGB(0, 128, 128),    // desktop
        RGB(0, 0, 128),      // active caption
        RGB(128, 128, 128),  // inactive caption
        RGB(192, 192, 192),  // menu
        RGB(255, 255, 255),  // window
        RGB(0, 0, 0),        // window frame
        RGB(0, 0, 0),        // menu text
        RGB(0, 0, 0),        // window text
        RGB(255, 255, 255),  // caption text
        RGB(192, 192, 192),  // active border
        RGB(192, 192, 192),  // inactive border
        RGB(128, 128, 128),  // application workspace
        RGB(0, 0, 128),      // highlight
        RGB(255, 255, 255),  // highlight text
        RGB(192, 192, 192),  // button face (3-D face)
        RGB(128, 128, 128),  // button shadow
        RGB(128, 128, 128),  // grey text
        RGB(0, 0, 0),        // button text
        RGB(192, 192, 192),  // inactive caption text
        RGB(255, 255, 255),  // button highlight
        RGB(0, 0, 0),        // 3-D dark shadow
        RGB(223, 223, 223),  // 3-D light
        RGB(0, 0, 0),        // tool tip text
        RGB(255, 255, 225),  // tool tip background
    };
    if (index < 0 || index >= static_cast<int>(std::size(kScheme))) return 0;
    return kScheme[index];
}

COLORREF ResolveColor(COLORREF color) {
    if ((color & 0xFF000000u) == 0x80000000u) return GetSysColor(static_cast<int>(color & 0xFFu));
    return color & 0xFFFFFF;
}

// --- objects ------------------------------------------------------------------------------

HBRUSH CreateSolidBrush(COLORREF color) {
    return AddObject(BrushInfo{false, PixelFromColorref(ResolveColor(color))});
}

HPEN CreatePen(int style, int width, COLORREF color) {
    if (style != PS_SOLID && style != PS_DASH && style != PS_DOT && style != PS_NULL) return 0;
    // Patterned pens are one pixel wide; a width of 0 or less means one pixel.
    width = std::clamp(width, 1, 256);
    if (style == PS_DASH || style == PS_DOT) width = 1;
    return AddObject(PenInfo{style, width, PixelFromColorref(ResolveColor(color))});
}

HGDIOBJ GetStockObject(int which) {
    return StockObject(which) ? kStockBase + which : 0;
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ object) {
    DcState* s = FindDC(dc);
    const Object* o = Find(object);
    if (!s || !o) return 0;
    HGDIOBJ* slot = nullptr;
    if (std::holds_alternative<BrushInfo>(*o)) slot = &s->brush;
    if (std::holds_alternative<PenInfo>(*o)) slot = &s->pen;
    if (std::holds_alternative<FontInfo>(*o)) slot = &s->font;
    if (!slot) return 0;
    const HGDIOBJ previous = *slot;
    *slot = object;
    return previous;
}

BOOL DeleteObject(HGDIOBJ object) {
    if (IsStockHandle(object)) return 1;
    return T().objects.erase(object) > 0 ? 1 : 0;
}

// --- attributes ---------------------------------------------------------------------------

namespace {

// A colour attribute of a context set (returning the one it replaces) or read; CLR_INVALID
// for an unknown context.
COLORREF SetColor(HDC dc, COLORREF DcState::*field, COLORREF color) {
    DcState* s = FindDC(dc);
    return s ? std::exchange(s->*field, ResolveColor(color)) : CLR_INVALID;
}
COLORREF GetColor(HDC dc, COLORREF DcState::*field) {
    const DcState* s = FindDC(dc);
    return s ? s->*field : CLR_INVALID;
}

}  // namespace

COLORREF SetTextColor(HDC dc, COLORREF color) { return SetColor(dc, &DcState::text_color, color); }
COLORREF GetTextColor(HDC dc) { return GetColor(dc, &DcState::text_color); }
COLORREF SetBkColor(HDC dc, COLORREF color) { return SetColor(dc, &DcState::bk_color, color); }
int SetBkMode(HDC dc, int mode) {
    DcState* s = FindDC(dc);
    if (!s || (mode != OPAQUE && mode != TRANSPARENT)) return 0;
    return std::exchange(s->bk_mode, mode);
}
int GetBkMode(HDC dc) {
    const DcState* s = FindDC(dc);
    return s ? s->bk_mode : 0;
}

// --- regions ------------------------------------------------------------------------------

HRGN CreateEllipticRgn(int left, int top, int right, int bottom) {
    Rect box{std::min(left, right), std::min(top, bottom), std::max(left, right),
             std::max(top, bottom)};
    return AddObject(RegionInfo{box});
}

bool RegionEllipse(HRGN region, Rect* box) {
    const auto* r = FindAs<RegionInfo>(region);
    if (!r) return false;
    if (box) *box = r->box;
    return true;
}

BOOL PtInRegion(HRGN region, int x, int y) {
    const auto* r = FindAs<RegionInfo>(region);
    if (!r || y < r->box.top || y >= r->box.bottom) return 0;
    const Span span = EllipseSpan(r->box, y);
    return x >= span.left && x < span.right ? 1 : 0;
}

HGDIOBJ CreateFontSimple(const char* face, double point_size, bool bold, bool italic,
                         bool underline) {
    if (!(point_size > 0 && point_size <= 500)) return 0;  // also rejects NaN
    FontInfo f;
    f.face = face && *face ? face : "MS Sans Serif";
    f.point_size = point_size;
    f.bold = bold;
    f.italic = italic;
    f.underline = underline;
    return AddObject(std::move(f));
}

}  // namespace os
