// The message box's 32 by 32 pixel icons, drawn with the graphics services.
#pragma once

#include "os/surface.h"
#include "os/types.h"

namespace forms {

constexpr int MessageIconSize = 32;
constexpr os::COLORREF ColorStopSign = 0x0000FF;  // red

// Draws the icon of a message box style (vbCritical, vbExclamation, vbInformation) with
// its top-left corner at (x, y); nothing for a style without an icon.
void DrawMessageIcon(os::HDC dc, int x, int y, int icon_style);

}  // namespace forms
