// The framework's fixed units and looks: twips, the dialog frame, the classic grey colours.
#pragma once

#include <cmath>

#include "os/types.h"

namespace forms {

// Window positions and sizes are in twips; the framework runs at 96 dots per inch, so a
// pixel is always 15 twips on both axes.
constexpr int TwipsPerPixel = 15;

// Pixels from twips: nearest whole pixel, a tie going to the even neighbour.
inline int TwipsToPixels(double twips) {
    return static_cast<int>(std::nearbyint(twips / TwipsPerPixel));
}
inline float PixelsToTwips(int pixels) { return static_cast<float>(pixels) * TwipsPerPixel; }

// The frame the framework assumes around a dialog's client area (fixed single border with a
// caption): a 3-pixel border on every side and a 19-pixel caption bar. A dialog's outer
// size is its client size plus 6 pixels across and 25 pixels down (90 and 375 twips), so
// centring a dialog by its Width and Height in twips places it as it looks on screen.
constexpr int DialogBorderPixels = 3;
constexpr int DialogCaptionPixels = 19;
constexpr int DialogFrameWidthPixels = 2 * DialogBorderPixels;
constexpr int DialogFrameHeightPixels = 2 * DialogBorderPixels + DialogCaptionPixels;

// Classic 3-D colours (COLORREF, 0x00BBGGRR).
constexpr os::COLORREF ColorButtonFace = 0xC0C0C0;
constexpr os::COLORREF ColorButtonLight = 0xDFDFDF;      // inner top-left of a raised edge
constexpr os::COLORREF ColorButtonHighlight = 0xFFFFFF;  // outer top-left of a raised edge
constexpr os::COLORREF ColorButtonShadow = 0x808080;     // inner bottom-right
constexpr os::COLORREF ColorButtonDarkShadow = 0x000000; // outer bottom-right
constexpr os::COLORREF ColorButtonText = 0x000000;
constexpr os::COLORREF ColorGrayText = 0x808080;
constexpr os::COLORREF ColorWindow = 0xFFFFFF;           // text box and list background
constexpr os::COLORREF ColorWindowText = 0x000000;

// Mouse buttons and shift bits of the mouse and key events.
constexpr int vbLeftButton = 1;
constexpr int vbRightButton = 2;
constexpr int vbMiddleButton = 4;
constexpr int vbShiftMask = 1;
constexpr int vbCtrlMask = 2;
constexpr int vbAltMask = 4;

// Key codes the framework itself reacts to.
constexpr int vbKeyBack = 8;
constexpr int vbKeyTab = 9;
constexpr int vbKeyReturn = 13;
constexpr int vbKeyEscape = 27;
constexpr int vbKeySpace = 32;
constexpr int vbKeyPageUp = 33;
constexpr int vbKeyPageDown = 34;
constexpr int vbKeyEnd = 35;
constexpr int vbKeyHome = 36;
constexpr int vbKeyLeft = 37;
constexpr int vbKeyUp = 38;
constexpr int vbKeyRight = 39;
constexpr int vbKeyDown = 40;
constexpr int vbKeyDelete = 46;

}  // namespace forms
