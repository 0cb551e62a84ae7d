// The one tool tip of the process: a delay timer armed by pointer moves over a control with
// a tip text, and a topmost pop-up window showing the text.
#include "forms/tool_tip.h"

#include <algorithm>
#include <memory>

#include "forms/control.h"
#include "forms/draw3d.h"
#include "forms/form.h"
#include "os/gdi.h"
#include "os/message_loop.h"
#include "os/window.h"

namespace forms {

namespace {

constexpr int kPaddingX = 3;
constexpr int kPaddingY = 2;
constexpr int kBelowPointer = 20;  // the tip stands clear of the pointer's arrow

// A press on the tip itself only hides it.
class TipWindowEvents : public os::WindowEvents {
public:
    void OnMouseDown(int, unsigned, int, int) override { ToolTipDismiss(); }
    void OnKeyDown(unsigned, unsigned) override { ToolTipDismiss(); }
};

struct TipState {
    Form* form = nullptr;
    Control* over = nullptr;       // the control the pointer rests on
    Control* suppressed = nullptr;  // dismissed by a press: no tip again until it is left
    int x = 0, y = 0;              // pointer, form client pixels
    os::TimerId timer = 0;
    os::HWND window = 0;
    std::string text;
    TipWindowEvents events;
};

TipState& Tip() {
    static TipState state;
    return state;
}

void StopTimer() {
    TipState& t = Tip();
    if (t.timer) os::DestroyTimer(t.timer);
    t.timer = 0;
}

void HideWindow() {
    TipState& t = Tip();
    if (t.window != 0 && os::IsWindow(t.window)) {
        os::SetHostedWindowEvents(t.window, nullptr);
        os::DestroyHostedWindow(t.window);
    }
    t.window = 0;
    t.text.clear();
}

bool CanShowFor(Form& form, Control* c) {
    return form.IsLoaded() && form.Visible() && c && c->EffectivelyVisible() &&
           c->EffectivelyEnabled() && !c->ToolTipText().empty();
}

// Where the form's client area starts on the screen. A decorated window's outer rectangle
// includes its frame: equal borders left, right and bottom, the rest is the caption.
os::POINT ClientOriginOnScreen(Form& form) {
    os::RECT outer{};
    if (!os::GetWindowRect(form.hWnd(), &outer)) return os::POINT{0, 0};
    const os::Surface* client = os::WindowSurface(form.hWnd());
    int dx = 0, dy = 0;
    if (client) {
        const int extra_w = (outer.right - outer.left) - client->width();
        const int extra_h = (outer.bottom - outer.top) - client->height();
        if (extra_w > 0) dx = extra_w / 2;
        if (extra_h > 0) dy = std::max(0, extra_h - dx);
    }
    return os::POINT{outer.left + dx, outer.top + dy};
}

void ShowTip() {
    TipState& t = Tip();
    StopTimer();
    if (!t.form || !CanShowFor(*t.form, t.over)) return;
    const std::string text = t.over->ToolTipText();

    // Measure the text with a scratch context.
    os::Surface scratch(1, 1);
    const os::HDC measure = os::CreateSurfaceDC(&scratch);
    os::SIZE size{0, 0};
    os::GetTextExtentPoint32A(measure, text.c_str(), static_cast<int>(text.size()), &size);
    os::DeleteSurfaceDC(measure);
    const int w = size.cx + 2 * kPaddingX + 2;
    const int h = size.cy + 2 * kPaddingY + 2;

    // Below the pointer, kept on the screen.
    const os::POINT origin = ClientOriginOnScreen(*t.form);
    os::RECT screen{};
    os::GetWindowRect(os::GetDesktopWindow(), &screen);
    int x = origin.x + t.x;
    int y = origin.y + t.y + kBelowPointer;
    x = std::max(static_cast<int>(screen.left), std::min(x, static_cast<int>(screen.right) - w));
    if (y + h > screen.bottom) y = origin.y + t.y - h - 2;
    y = std::max(static_cast<int>(screen.top), y);

    HideWindow();
    os::WindowParams params;
    params.kind = os::WindowKind::Popup;
    params.x = x;
    params.y = y;
    params.width = w;
    params.height = h;
    params.title = text;
    t.window = os::CreateHostedWindow(params, &t.events);
    if (t.window == 0) return;
    t.text = text;

    const os::HDC dc = os::GetDC(t.window);
    FillSolid(dc, os::Rect{0, 0, w, h}, ColorToolTipText);
    FillSolid(dc, os::Rect{1, 1, w - 1, h - 1}, ColorToolTipBack);
    os::SetBkMode(dc, os::TRANSPARENT);
    os::SetTextColor(dc, ColorToolTipText);
    os::TextOutA(dc, 1 + kPaddingX, 1 + kPaddingY, text.c_str(), static_cast<int>(text.size()));
    os::ReleaseDC(t.window, dc);
    // On top of everything, without taking the focus from the form.
    os::SetWindowPos(t.window, os::HWND_TOPMOST, 0, 0, 0, 0,
                     os::SWP_NOMOVE | os::SWP_NOSIZE | os::SWP_NOACTIVATE | os::SWP_SHOWWINDOW);
}

}  // namespace

void ToolTipPointerMoved(Form& form, Control* over, int client_x, int client_y) {
    TipState& t = Tip();
    const bool same = t.form == &form && t.over == over;
    if (!same) {
        HideWindow();
        StopTimer();
        t.suppressed = nullptr;
    }
    t.form = &form;
    t.over = over;
    t.x = client_x;
    t.y = client_y;
    if (t.window != 0) return;  // shown: it stays while the pointer stays on its control
    if (over == t.suppressed || !CanShowFor(form, over)) {
        StopTimer();
        return;
    }
    // The pointer has to rest: every move starts the delay again.
    StopTimer();
    t.timer = os::CreateTimer(ShowTip);
    os::SetTimerInterval(t.timer, ToolTipDelayMs);
}

void ToolTipDismiss() {
    TipState& t = Tip();
    StopTimer();
    HideWindow();
    t.suppressed = t.over;
}

void ToolTipFormGone(Form& form) {
    TipState& t = Tip();
    if (t.form != &form) return;
    StopTimer();
    HideWindow();
    t = TipState{};
}

bool ToolTipShown(std::string* text, os::HWND* window) {
    TipState& t = Tip();
    const bool shown = t.window != 0 && os::IsWindow(t.window) && os::IsWindowVisible(t.window);
    if (text) *text = shown ? t.text : std::string();
    if (window) *window = shown ? t.window : 0;
    return shown;
}

}  // namespace forms
