// A command button: raised grey 3-D button with a caption (access key "&x"), the form's
// default button (Enter) or cancel button (Esc), a dotted focus rectangle and an etched
// caption while disabled. OnClick runs on a mouse click, Space, Enter/Esc in its role, its
// access key, or Value = true from code.
#pragma once

#include <functional>
#include <string>

#include "forms/control.h"

namespace forms {

class CommandButton : public Control {
public:
    CommandButton(Container& container, std::string name);
    ~CommandButton() override;

    const std::string& Caption();
    void SetCaption(const std::string& caption);
    bool Default();
    void SetDefault(bool on);
    bool Cancel();
    void SetCancel(bool on);
    // Setting true clicks the button (runs OnClick) as a user's click does.
    void SetValue(bool v);

    std::function<void()> OnClick;

    // Whether the button is drawn pressed in (mouse held down over it, or Space held).
    bool Pressed() const { return pressed_; }

    bool TakesFocus() const override { return true; }
    char AccessKey() override;
    void OnAccessKey() override;
    void Paint(os::HDC dc, int width, int height) override;
    void HandleMouseDown(int button, int shift, int x, int y) override;
    void HandleMouseUp(int button, int shift, int x, int y) override;
    void HandleMouseMove(int buttons, int shift, int x, int y) override;
    void HandleClick() override;
    void HandleKeyDown(int& key, int shift) override;
    void HandleKeyUp(int& key, int shift) override;
    void HandleFocus(bool gained) override;
    void Destroy() override;

private:
    void SetPressed(bool p);

    std::string caption_;
    bool default_ = false;
    bool cancel_ = false;
    bool pressed_ = false;
    bool mouse_held_ = false;
    bool space_held_ = false;
};

}  // namespace forms
