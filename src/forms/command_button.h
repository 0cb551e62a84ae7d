// A command button: raised grey 3-D button with a caption (access key "&x"), the form's
// default button (Enter) or cancel button (Esc), a dotted focus rectangle and an etched
// caption while disabled. OnClick runs on a mouse click, Space, Enter/Esc in its role, its
// access key, or Value = true from code.
#pragma once

#include <functional>
#include <string>

#include "forms/pressable_control.h"

namespace forms {

class CommandButton : public PressableControl {
public:
    CommandButton(Container& container, std::string name);
    ~CommandButton() override;

    bool Default();
    void SetDefault(bool on);
    bool Cancel();
    void SetCancel(bool on);
    // Setting true clicks the button (runs OnClick) as a user's click does.
    void SetValue(bool v);

    std::function<void()> OnClick;

    void OnAccessKey() override;
    bool ClicksOnEnter() const override { return true; }
    void LoseDefault() override { SetDefault(false); }
    void LoseCancel() override { SetCancel(false); }
    void Paint(os::HDC dc, int width, int height) override;
    void HandleClick() override;
    void Destroy() override;

private:
    // Takes or gives up a role that one button of the form holds at a time (default,
    // cancel), telling the form through `enlist`; false when the button already stood so.
    bool SetRole(bool& role, bool on, void (Form::*enlist)(Control*, bool));

    bool default_ = false;
    bool cancel_ = false;
};

}  // namespace forms
