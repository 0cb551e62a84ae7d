// The handle and value types of the services, in the widths the program stores them in.
#pragma once

#include <cstdint>

namespace os {

using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using LONG = std::int32_t;
using BOOL = std::int32_t;
using UINT = std::uint32_t;
using COLORREF = std::uint32_t;  // 0x00BBGGRR, as colour values are passed to the services

// Handles are 32-bit values. A window handle of ours or of another program is its host
// window id; 0 names nothing.
using HWND = std::int32_t;
using HDC = std::int32_t;
using HGDIOBJ = std::int32_t;
using HBRUSH = std::int32_t;
using HPEN = std::int32_t;
using HRGN = std::int32_t;
using HKEY = std::int32_t;

struct RECT {
    LONG left = 0, top = 0, right = 0, bottom = 0;
};

struct POINT {
    LONG x = 0, y = 0;
};

// 0x00RRGGBB surface pixel from a COLORREF and back.
constexpr std::uint32_t PixelFromColorref(COLORREF c) {
    return ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu);
}
constexpr COLORREF ColorrefFromPixel(std::uint32_t p) { return PixelFromColorref(p); }
constexpr COLORREF RGB(int r, int g, int b) {
    return static_cast<COLORREF>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}

}  // namespace os
