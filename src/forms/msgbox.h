// The message box: a small modal dialog with a message, an optional icon and an OK button.
// Shown centred on the screen over every other window of ours; Enter, Esc, Space on the
// button, a click on OK or the close box end it.
#pragma once

#include <string>

#include "os/types.h"

namespace forms {

// Buttons and icons of MsgBox's style (added together).
constexpr int vbOKOnly = 0;
constexpr int vbCritical = 16;     // a red round stop sign with a white cross
constexpr int vbExclamation = 48;  // a yellow warning triangle
constexpr int vbInformation = 64;  // a blue round "i"

// What MsgBox answers.
constexpr int vbOK = 1;

// Shows `prompt` and waits until the user closes the box; answers vbOK. An empty title
// gives the box App.Title() as its caption. Other button styles are shown as OK only.
int MsgBox(const std::string& prompt, int style = vbOKOnly, const std::string& title = "");

// The message box open now (innermost first), for tests and for code that must know a box
// is up: its caption, text and window, or empty/0 when none is open.
struct OpenMessageBox {
    std::string caption;
    std::string prompt;
    int style = 0;
    os::HWND hwnd = 0;
};
// Whether a message box is open; fills *out (when given) with the innermost one.
bool MessageBoxOpen(OpenMessageBox* out = nullptr);

}  // namespace forms
