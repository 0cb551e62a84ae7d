// Tool tips: when the pointer has rested ToolTipDelayMs on a visible control with a
// ToolTipText, a small pale-yellow box with a black border and the text appears below and
// to the right of the pointer, in a topmost pop-up window that does not take the focus. It
// goes away when the pointer moves to another control or leaves the form, on a press of a
// mouse button or a key, and when the form is hidden or unloaded. One tip at a time.
#pragma once

#include <string>

#include "os/types.h"

namespace forms {

class Control;
class Form;

constexpr int ToolTipDelayMs = 700;
constexpr os::COLORREF ColorToolTipBack = 0xE1FFFF;  // pale yellow
constexpr os::COLORREF ColorToolTipText = 0x000000;

// What the form tells the tool tips (form_input.cpp).
void ToolTipPointerMoved(Form& form, Control* over, int client_x, int client_y);
void ToolTipDismiss();
// The form is going away: forget it (and hide its tip).
void ToolTipFormGone(Form& form);

// The tip on screen now: its text and window; false when none is shown.
bool ToolTipShown(std::string* text = nullptr, os::HWND* window = nullptr);

}  // namespace forms
