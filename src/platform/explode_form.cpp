#include "platform/explode_form.h"

#include "runtime/conversions.h"
#include "forms/form.h"
#include "forms/msgbox.h"
#include "os/gdi.h"
#include "os/window.h"

ExplodeFormCalls ExplodeFormCalls::Services() {
    ExplodeFormCalls calls;
    calls.GetDC = [](os::HWND hwnd) { return os::GetDC(hwnd); };
    calls.CreateSolidBrush = [](os::COLORREF color) { return os::CreateSolidBrush(color); };
    calls.SelectObject = [](os::HDC dc, os::HGDIOBJ object) {
        return os::SelectObject(dc, object);
    };
    calls.Ellipse = [](os::HDC dc, int left, int top, int right, int bottom) {
        return os::Ellipse(dc, left, top, right, bottom);
    };
    calls.ReleaseDC = [](os::HWND hwnd, os::HDC dc) { return os::ReleaseDC(hwnd, dc); };
    calls.DeleteObject = [](os::HGDIOBJ object) { return os::DeleteObject(object); };
    return calls;
}

ExplodeFormCalls& ExplodeFormGdi() {
    static ExplodeFormCalls calls = ExplodeFormCalls::Services();
    return calls;
}

namespace {

constexpr int kFirstStep = 20;
constexpr int kLastStep = 200;

}  // namespace

os::RECT ExplodeEllipseBox(const os::RECT& window, std::int32_t Centered, int s) {
    const std::int32_t cx = window.right - window.left - 15;
    const std::int32_t cy = window.bottom - window.top - 15;
    // The width keeps its fraction until the corners are formed; the height is rounded at
    // once, so even a square window gets boxes whose sides differ by up to a pixel.
    const double w = (static_cast<double>(s) / 200.0) * cx;
    const std::int32_t h = runtime::RoundToInt32((static_cast<double>(s) / 200.0) * cy);
    double x = window.left;
    double y = window.top;
    if (Centered != 0) {
        x = window.left + (cx - w) / 2.0;
        y = window.top + (cy - h) / 2.0;
    }
    os::RECT box;
    box.left = runtime::RoundToInt32(x + 14);
    box.top = runtime::RoundToInt32(y + 14);
    box.right = runtime::RoundToInt32(x + w);
    box.bottom = runtime::RoundToInt32(y + h);
    return box;
}

void ExplodeForm(forms::Form& frm, std::int32_t Centered) {
    const ExplodeFormCalls& gdi = ExplodeFormGdi();
    os::RECT window;
    os::GetWindowRect(frm.hWnd(), &window);
    const os::HDC screen = gdi.GetDC(0);
    // The form's default back colour refers to a system colour: the brush gets the colour
    // it stands for.
    const os::HBRUSH brush = gdi.CreateSolidBrush(os::ResolveColor(frm.BackColor()));
    const os::HGDIOBJ previous = gdi.SelectObject(screen, brush);
    for (int s = kFirstStep; s <= kLastStep; ++s) {
        const os::RECT box = ExplodeEllipseBox(window, Centered, s);
        gdi.Ellipse(screen, box.left, box.top, box.right, box.bottom);
    }
    gdi.SelectObject(screen, previous);
    if (gdi.ReleaseDC(0, screen) == 0)
        forms::MsgBox("Unable to Release Device Context", forms::vbCritical, "Device Error");
    gdi.DeleteObject(brush);
    frm.Show(true);
}
