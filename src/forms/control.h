// The base of every control, and of everything that holds controls (a form, a picture box
// used as a panel).
//
// A control is a member object of its form class and lives as long as the form instance.
// Its properties are kept in twips and read and written in its container's scale units.
// Touching any property of a control loads its form (running Form_Load) when the form is
// not loaded. Unloading the form puts every property back to its default; the form's
// Design() sets the stored values again at the next load. Event handlers (OnClick, ...)
// are not properties: they stay set across unload and reload.
#pragma once

#include <string>
#include <vector>

#include "os/surface.h"
#include "os/types.h"

namespace forms {

class Control;
class Form;
class Validating;

// The unit of a container's client coordinates (its controls' positions, mouse events).
enum class ScaleMode {
    Twips = 1,
    Pixels = 3,
};

class Container {
public:
    virtual ~Container() = default;
    virtual Form& OwnerForm() = 0;
    // Twips per scale unit of this container's client area (15 for pixels, 1 for twips).
    virtual float TwipsPerUnit() = 0;
    // This container's client area in the form's client pixels.
    virtual os::Rect ClientRectOnForm() = 0;
    const std::vector<Control*>& Children() const { return children_; }

private:
    friend class Control;
    std::vector<Control*> children_;
};

class Control {
public:
    Control(Container& container, std::string name);
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;
    virtual ~Control();

    const std::string& Name() const { return name_; }
    Container& Parent() const { return container_; }
    Form& OwnerForm() const { return container_.OwnerForm(); }

    // Position and size in the container's scale units.
    float Left();
    float Width();
    float Height();
    void SetLeft(float v);
    void SetTop(float v);
    virtual void SetWidth(float v);
    virtual void SetHeight(float v);
    void Move(float left, float top, float width, float height);

    bool Visible();
    void SetVisible(bool v);
    bool Enabled();
    void SetEnabled(bool v);
    int TabIndex();
    void SetTabIndex(int v);
    bool TabStop();
    const std::string& ToolTipText();
    void SetToolTipText(std::string v);

    // Gives this control the keyboard focus (when it takes focus, is enabled and shown).
    void SetFocus();
    bool HasFocus();
    // Draws the control again now.

    // --- used by the framework ------------------------------------------------------------
    // Position in the form's client pixels (nearest pixel of the twips values).
    os::Rect RectOnForm();
    // Enabled and visible up through its containers.
    bool EffectivelyEnabled();
    bool EffectivelyVisible();
    // Whether Tab and access keys can move the focus here (the kind of control decides).
    virtual bool TakesFocus() const { return false; }
    // The upper-case access character of the caption, 0 when none.
    virtual char AccessKey() { return 0; }
    // The Alt+access key was pressed: focus the control and act (a button clicks).
    virtual void OnAccessKey();
    // The control paints itself on dc, whose origin is its own top-left corner; the pixels
    // under it (its container's) are already there.
    virtual void Paint(os::HDC dc, int width, int height) { (void)dc, (void)width, (void)height; }
    // Input routed to this control (coordinates in the control's own pixels).
    virtual void HandleMouseDown(int button, int shift, int x, int y);
    virtual void HandleMouseUp(int button, int shift, int x, int y);
    virtual void HandleMouseMove(int buttons, int shift, int x, int y);
    virtual void HandleClick() {}
    virtual void HandleDblClick() { HandleClick(); }
    virtual void HandleKeyDown(int& key, int shift) { (void)key, (void)shift; }
    virtual void HandleKeyUp(int& key, int shift) { (void)key, (void)shift; }
    virtual void HandleKeyPress(int& key_ascii) { (void)key_ascii; }
    virtual void HandleFocus(bool gained) { (void)gained; }
    // The form has loaded (acquire resources) / is unloading (release everything and go
    // back to the default properties).
    virtual void Create() {}
    virtual void Destroy();
    // The container whose children are drawn inside this control, or nullptr.
    virtual Container* AsContainer() { return nullptr; }
    // The control's Validate event (forms/validation.h), or nullptr when it has none.
    virtual Validating* AsValidating() { return nullptr; }

    // --- roles in the form's key and pointer handling ---------------------------------------
    // Whether Enter clicks this control while it has the focus, in place of the default
    // button (a button); the default button then loses its extra frame.
    virtual bool ClicksOnEnter() const { return false; }
    // Whether the control uses Enter and Esc itself just now (a dropped list chooses or
    // closes with them), so they do not reach the default and cancel buttons.
    virtual bool KeepsEnterAndEsc() { return false; }
    // Another control has become the form's default (cancel) button instead of this one.
    virtual void LoseDefault() {}
    virtual void LoseCancel() {}
    // A press landed in the form on `target` (nullptr: the form itself), before it is
    // handled; every control hears of it (a dropped list closes unless the press is its own).
    virtual void HandleFormPress(Control* target) { (void)target; }

protected:
    // Loads the owning form when it is not loaded yet.
    void Touch();
    // The control's look changed; it is drawn again before the next event is waited for.
    void Invalidate();
    float ContainerTwipsPerUnit() { return container_.TwipsPerUnit(); }
    int PixelWidth();
    int PixelHeight();

private:
    // Whether `flag` is set on this control and on every control that holds it.
    bool HeldUpThroughContainers(bool Control::*flag);

    Container& container_;
    std::string name_;
    float left_ = 0, top_ = 0, width_ = 0, height_ = 0;  // twips
    bool visible_ = true;
    bool enabled_ = true;
    int tab_index_ = 0;
    bool tab_stop_ = true;
    std::string tool_tip_;
};

}  // namespace forms
