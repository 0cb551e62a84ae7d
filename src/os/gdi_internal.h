// Shared inner parts of the graphics services: the handle tables, the resolved drawing
// attributes of a context, and Canvas, the one way drawing code reaches pixels.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "os/gdi.h"

namespace os::gdi {

enum class DcKind { Surface, Window, Screen };

struct DcState {
    DcKind kind = DcKind::Surface;
    Surface* surface = nullptr;  // DcKind::Surface
    HWND hwnd = 0;               // DcKind::Window: looked up at each use
    bool from_get_dc = false;    // released with ReleaseDC rather than DeleteSurfaceDC
    std::optional<Rect> clip;    // logical coordinates
    POINT origin;                // logical (x, y) is device (x + origin.x, y + origin.y)
    HBRUSH brush = 0;
    HPEN pen = 0;
    HGDIOBJ font = 0;
    COLORREF text_color = 0x000000;
    COLORREF bk_color = 0xFFFFFF;
    int bk_mode = OPAQUE;
    POINT position;  // MoveToEx / LineTo
};

struct BrushInfo {
    bool hollow = false;
    std::uint32_t pixel = 0;
};
struct PenInfo {
    int style = PS_SOLID;
    int width = 1;
    std::uint32_t pixel = 0;
};
struct FontInfo {
    std::string face;
    double point_size = 8;
    bool bold = false, italic = false, underline = false;
};

DcState* FindDC(HDC dc);
HDC AddDC(const DcState& state);
bool RemoveDC(HDC dc);

// Moves a point of the context (its origin, its current position) to (x, y), storing the
// one it had in *previous when given; 0 for an unknown context, else 1.
BOOL ExchangePoint(HDC dc, POINT DcState::*point, int x, int y, POINT* previous);

// The context's selected objects, falling back to the defaults when a selected object has
// been deleted since.
BrushInfo BrushOf(const DcState& dc);
PenInfo PenOf(const DcState& dc);
FontInfo FontOf(const DcState& dc);
std::optional<BrushInfo> FindBrush(HBRUSH brush);

// Pixel spans of the ellipse inscribed in a box: row y of the box covers [left, right).
// Shared by Ellipse and the elliptic regions so both agree on every pixel.
struct Span {
    int left = 0, right = 0;
};
Span EllipseSpan(const Rect& box, int y);

// A drawing area on a context, in the context's logical coordinates. Clip() is the part
// of the requested area that lies on the surface (and in the context's clip rectangle);
// At() is valid only inside Clip(). Writers report what they wrote with Wrote(). A screen
// context is read into a buffer when the canvas opens and written back when it closes,
// if anything was written.
class Canvas {
public:
    // apply_dc_clip: false when the canvas is only read (a copy's source).
    // read_screen: false when the caller reads a screen canvas itself (ReadScreenInto).
    Canvas(DcState& dc, const Rect& area, bool apply_dc_clip = true, bool read_screen = true);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    bool valid() const { return valid_; }  // the context has something to draw on
    const Rect& Clip() const { return clip_; }
    std::uint32_t* At(int x, int y) {
        return base_ + static_cast<std::ptrdiff_t>(y - off_y_) * stride_ + (x - off_x_);
    }
    void Wrote(const Rect& r);
    const Surface* surface() const { return surface_; }  // nullptr for the screen
    std::ptrdiff_t stride() const { return stride_; }   // in pixels
    // A screen canvas made without reading: reads its area r (logical, inside Clip())
    // straight into dst; false when the host refused.
    bool ReadScreenInto(std::uint32_t* dst, std::ptrdiff_t dst_stride, const Rect& r) const;

private:
    bool valid_ = false;
    Rect clip_;
    std::uint32_t* base_ = nullptr;  // pixel of (off_x_, off_y_)
    int off_x_ = 0, off_y_ = 0;
    std::ptrdiff_t stride_ = 0;
    Surface* surface_ = nullptr;
    POINT origin_;
    // Screen contexts: the buffer and what must go back to the screen.
    std::vector<std::uint32_t> buffer_;
    Rect dirty_;
};

// The surface a surface or window context draws on now (nullptr otherwise).
Surface* CurrentSurface(const DcState& dc);

// Clamps a 64-bit rectangle into int range (drawing never reaches beyond it anyway).
Rect ClampRect(long long left, long long top, long long right, long long bottom);

}  // namespace os::gdi
