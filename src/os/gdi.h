// Graphics services: device contexts over pixel surfaces (a picture box's image, a window's
// client area, the screen itself), raster operations, shapes, regions, pictures and text,
// under the classic names, argument orders and return conventions.
//
// Every handle is checked: a handle that is unknown, deleted or of the wrong kind makes a
// call do nothing and return 0 (or false / CLR_INVALID), never crash. Handles are never
// reused, so a deleted handle stays invalid. Everything runs on the one UI thread.
//
// Coordinates are pixels of the device context; drawing is clipped exactly to the
// surface's edges (and to the context's clip rectangle, when one is set).
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "os/surface.h"
#include "os/types.h"

namespace os {

struct SIZE {
    LONG cx = 0, cy = 0;
};

// --- raster operations (applied bitwise to 0x00RRGGBB pixels) ------------------------------
constexpr DWORD SRCCOPY = 0x00CC0020;     // dst = src
constexpr DWORD SRCPAINT = 0x00EE0086;    // dst = src | dst
constexpr DWORD SRCAND = 0x008800C6;      // dst = src & dst
constexpr DWORD SRCINVERT = 0x00660046;   // dst = src ^ dst
constexpr DWORD NOTSRCCOPY = 0x00330008;  // dst = ~src
constexpr DWORD DSTINVERT = 0x00550009;   // dst = ~dst
constexpr DWORD BLACKNESS = 0x00000042;   // dst = 0
constexpr DWORD WHITENESS = 0x00FF0062;   // dst = white

constexpr COLORREF CLR_INVALID = 0xFFFFFFFF;

// --- system colours ---------------------------------------------------------------------
// The classic grey desktop scheme. A colour value with the top bit set (0x800000nn) is a
// reference to system colour nn; the colour-taking calls below resolve it.
constexpr int COLOR_WINDOW = 5;
constexpr int COLOR_WINDOWTEXT = 8;
constexpr int COLOR_HIGHLIGHT = 13;
constexpr int COLOR_HIGHLIGHTTEXT = 14;
constexpr int COLOR_BTNFACE = 15;
constexpr int COLOR_BTNSHADOW = 16;
constexpr int COLOR_GRAYTEXT = 17;
constexpr int COLOR_BTNTEXT = 18;
constexpr int COLOR_BTNHIGHLIGHT = 20;
constexpr int COLOR_3DDKSHADOW = 21;
constexpr int COLOR_3DLIGHT = 22;
constexpr int COLOR_INFOTEXT = 23;
constexpr int COLOR_INFOBK = 24;
COLORREF GetSysColor(int index);  // 0 for an unknown index
// A plain colour unchanged (top byte dropped), a system-colour reference resolved.
COLORREF ResolveColor(COLORREF color);

// --- device contexts --------------------------------------------------------------------
// A context drawing on `surface`, which must outlive it (delete the context first).
HDC CreateSurfaceDC(Surface* surface);
void DeleteSurfaceDC(HDC dc);
// The surface a context draws on; nullptr for a screen context or an unknown handle.
Surface* SurfaceOfDC(HDC dc);

// For one of our windows: a context on its client pixels (looked up at each use, so it
// follows resizes and stops drawing once the window is gone). For 0 or the desktop
// window: a context on the screen itself, read and written through the host. 0 when
// neither applies. Release with ReleaseDC.
HDC GetDC(HWND hwnd);
HDC GetWindowDC(HWND hwnd);
// 1 when dc came from GetDC/GetWindowDC and is now released; 0 otherwise.
int ReleaseDC(HWND hwnd, HDC dc);

// Clip rectangle of the context in its own coordinates (nullptr: none, the surface only).
void SetClipRect(HDC dc, const RECT* clip);
// Shifts every coordinate given to the context by (x, y); returns the previous origin.
BOOL SetViewportOrgEx(HDC dc, int x, int y, POINT* previous);

// --- copies ----------------------------------------------------------------------------
// Nonzero on success (also when clipping leaves nothing to copy); 0 for a bad handle, an
// unknown raster operation, or a negative size.
BOOL BitBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, DWORD rop);
// The whole `picture` stretched (nearest pixel) into the rectangle with corner (x, y) and
// size w by h; a negative w puts it left of x mirrored left-right, a negative h above y
// mirrored top-bottom. SRCCOPY, SRCPAINT, SRCAND, SRCINVERT, NOTSRCCOPY.
BOOL StretchPaint(HDC dst, int x, int y, int w, int h, const Surface& picture, DWORD rop);

// --- objects ----------------------------------------------------------------------------
constexpr int WHITE_BRUSH = 0;
constexpr int LTGRAY_BRUSH = 1;
constexpr int GRAY_BRUSH = 2;
constexpr int DKGRAY_BRUSH = 3;
constexpr int BLACK_BRUSH = 4;
constexpr int NULL_BRUSH = 5;
constexpr int HOLLOW_BRUSH = NULL_BRUSH;
constexpr int WHITE_PEN = 6;
constexpr int BLACK_PEN = 7;
constexpr int NULL_PEN = 8;
constexpr int DEFAULT_GUI_FONT = 17;

constexpr int PS_SOLID = 0;
constexpr int PS_DASH = 1;
constexpr int PS_DOT = 2;
constexpr int PS_NULL = 5;

constexpr int TRANSPARENT = 1;
constexpr int OPAQUE = 2;

HBRUSH CreateSolidBrush(COLORREF color);
HPEN CreatePen(int style, int width, COLORREF color);
// Stock objects live for the whole run; deleting one does nothing.
HGDIOBJ GetStockObject(int which);
// Selects a brush, pen or font; returns the object of that kind selected before (0 for a
// bad handle or a region).
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);
// A selected object may be deleted: the context then uses its default of that kind.
BOOL DeleteObject(HGDIOBJ object);

// --- drawing ----------------------------------------------------------------------------
int FillRect(HDC dc, const RECT* rect, HBRUSH brush);
// Every pixel of the rectangle becomes NOT itself.
BOOL InvertRect(HDC dc, const RECT* rect);
// Dotted rectangle outline drawn with XOR: drawing it twice restores the pixels.
BOOL DrawFocusRect(HDC dc, const RECT* rect);
// The ellipse inscribed in the box (right and bottom exclusive), filled with the selected
// brush and outlined with the selected pen.
BOOL Ellipse(HDC dc, int left, int top, int right, int bottom);
BOOL Rectangle(HDC dc, int left, int top, int right, int bottom);
BOOL MoveToEx(HDC dc, int x, int y, POINT* previous);
// Line in the selected pen from the current position up to, not including, (x, y).
BOOL LineTo(HDC dc, int x, int y);
// Returns the colour set, CLR_INVALID when nothing was set.
COLORREF SetPixel(HDC dc, int x, int y, COLORREF color);
COLORREF GetPixel(HDC dc, int x, int y);

COLORREF SetTextColor(HDC dc, COLORREF color);  // returns the previous, CLR_INVALID on error
COLORREF GetTextColor(HDC dc);
COLORREF SetBkColor(HDC dc, COLORREF color);
int SetBkMode(HDC dc, int mode);  // returns the previous mode, 0 on error
int GetBkMode(HDC dc);

// --- regions ----------------------------------------------------------------------------
HRGN CreateEllipticRgn(int left, int top, int right, int bottom);
// The box of an elliptic region; false for any other handle.
bool RegionEllipse(HRGN region, Rect* box);
// Whether pixel (x, y) lies in the region (the same pixels Ellipse fills for its box).
BOOL PtInRegion(HRGN region, int x, int y);

// --- text -------------------------------------------------------------------------------
// Text is 8-bit (Windows-1252). Glyphs are anti-aliased and blended over the destination in
// the text colour; in OPAQUE mode the text cell is filled with the back colour first.
// (x, y) is the top-left corner of the text cell.
//
// A font: face name as fontconfig knows it, size in points at 96 dots per inch. The
// default font of a context is "MS Sans Serif" 8 pt.
HGDIOBJ CreateFontSimple(const char* face, double point_size, bool bold, bool italic,
                         bool underline);
BOOL TextOutA(HDC dc, int x, int y, const char* text, int length);
BOOL GetTextExtentPoint32A(HDC dc, const char* text, int length, SIZE* size);

struct TextMetricsSimple {
    int height = 0;   // ascent + descent: the height of a text cell
    int ascent = 0;   // top of the cell to the baseline
    int descent = 0;  // baseline to the bottom of the cell
    int average_char_width = 0;
};
BOOL GetTextMetricsSimple(HDC dc, TextMetricsSimple* metrics);

// Captions with access keys: "&x" draws x underlined (when show_underline) and "&&" draws
// one "&". Measuring skips the markers.
SIZE MeasureAccessText(HDC dc, std::string_view caption);
BOOL DrawAccessText(HDC dc, int x, int y, std::string_view caption, bool show_underline);
// The access character of a caption, upper-cased (0 when it has none).
char AccessKeyOf(std::string_view caption);
// The caption without its markers ("&Apply" gives "Apply", "A&&B" gives "A&B").
std::string StripAccessMarkers(std::string_view caption);

// --- pictures ---------------------------------------------------------------------------
// Decodes a BMP (palette images included), PNG or GIF (first frame) into a new surface;
// alpha is dropped (colour over black). nullptr for anything else, for a picture larger
// than kMaxPictureSide on either side, or for damaged data.
constexpr int kMaxPictureSide = 8192;
std::unique_ptr<Surface> LoadPictureFromMemory(const unsigned char* data, std::size_t size);

}  // namespace os
