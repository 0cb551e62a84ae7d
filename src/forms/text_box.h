// A single-line text box: sunken white field with a caret. Typing inserts at the caret;
// Backspace, Delete, Home, End, Left and Right edit and move it. PasswordChar shows every
// character as that one; MaxLength (0: no limit) caps the length of typed text. OnChange
// runs whenever Text changes, from typing or from code.
#pragma once

#include <functional>
#include <string>

#include "forms/control.h"

namespace forms {

class TextBox : public Control {
public:
    TextBox(Container& container, std::string name);

    const std::string& Text();
    void SetText(const std::string& text);
    // 0: no mask.
    void SetPasswordChar(char c);
    void SetMaxLength(int n);
    // Caret position, 0 .. length of Text.
    int SelStart();
    void SetSelStart(int pos);

    std::function<void()> OnChange;
    // Key events of the box; setting the key to 0 swallows it.
    std::function<void(int& KeyCode, int& Shift)> OnKeyDown;
    std::function<void(int& KeyAscii)> OnKeyPress;

    // What the box shows (masked when PasswordChar is set).
    std::string DisplayText();

    bool TakesFocus() const override { return true; }
    void Paint(os::HDC dc, int width, int height) override;
    void HandleMouseDown(int button, int shift, int x, int y) override;
    void HandleKeyDown(int& key, int shift) override;
    void HandleKeyPress(int& key_ascii) override;
    void HandleFocus(bool gained) override;
    void Destroy() override;

private:
    void Change(std::string text, int caret);

    std::string text_;
    char password_char_ = 0;
    int max_length_ = 0;
    int caret_ = 0;
    int scroll_ = 0;  // first character shown, so the caret stays in view
};

}  // namespace forms
