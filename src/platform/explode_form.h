// The growing-ellipse opening of a window: before the window is shown, 181 filled ellipses,
// each a little larger than the one before, are drawn straight on the screen over the
// rectangle the window will occupy, in the window's back colour; then the window is shown
// modally. The ellipses stay on the screen until something covers them.
#pragma once

#include <cstdint>
#include <functional>

#include "os/types.h"

namespace forms {
class Form;
}

// Draws the effect over frm's window rectangle (growing from its middle when Centered is
// not 0, else from its top-left corner) and shows frm modally; returns when that display
// has ended. When the screen's device context cannot be released a critical message box
// says so before the form is shown.
void ExplodeForm(forms::Form& frm, std::int32_t Centered);

// The screen-drawing calls the effect makes, in the order it makes them. They are the
// graphics services themselves; tests replace single entries to watch the drawing or to
// make a call fail, and put the defaults back afterwards.
struct ExplodeFormCalls {
    std::function<os::HDC(os::HWND)> GetDC;
    std::function<os::HBRUSH(os::COLORREF)> CreateSolidBrush;
    std::function<os::HGDIOBJ(os::HDC, os::HGDIOBJ)> SelectObject;
    std::function<os::BOOL(os::HDC, int, int, int, int)> Ellipse;
    std::function<int(os::HWND, os::HDC)> ReleaseDC;
    std::function<os::BOOL(os::HGDIOBJ)> DeleteObject;

    // Every entry calling the graphics service of its name.
    static ExplodeFormCalls Services();
};
ExplodeFormCalls& ExplodeFormGdi();

// The bounding box (left, top, right, bottom) of the ellipse drawn at step s (20 to 200)
// for a window rectangle, as ExplodeForm computes it.
os::RECT ExplodeEllipseBox(const os::RECT& window, std::int32_t Centered, int s);
