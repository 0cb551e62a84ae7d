// A form: one top-level window of the program with its controls and event handlers.
//
// Each form class has one process-wide instance (Instance<F>()). A form is loaded on first
// use: reading or writing any property of an unloaded form, or of one of its controls,
// loads it there and then: Design() sets the stored properties, the window is created
// (hidden), then Form_Load runs. Unload() runs Form_QueryUnload and Form_Unload (either may
// cancel), then destroys the window and puts every property back to its default; the next
// use loads the form afresh. Show(true) shows the form modally: it returns when the form
// has been unloaded or hidden.
//
// Units: Left, Top, Width and Height are the outer window's, in twips (15 per pixel), kept
// as given (half twips included); the window stands at the nearest pixel. Controls and
// mouse events use the form's ScaleMode (twips or pixels).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "forms/control.h"
#include "os/window_look.h"
#include "os/surface.h"
#include "os/types.h"
#include "os/window.h"

namespace forms {

enum class BorderStyle {
    None,         // no frame, no caption: client area = window (the saver, pop-ups)
    FixedSingle,  // a dialog: caption with a close box, not resizable
};

// Why a form is being unloaded (Form_QueryUnload's UnloadMode).
constexpr int vbFormControlMenu = 0;  // the close box
constexpr int vbFormCode = 1;         // Unload called from code
constexpr int vbAppWindows = 2;       // the window went away under us

class Form : public Container, private os::WindowEvents {
public:
    explicit Form(std::string name);
    ~Form() override;

    const std::string& Name() const { return name_; }

    // --- lifecycle --------------------------------------------------------------------------
    void Load();
    // Returns false when Form_QueryUnload or Form_Unload cancelled the unload.
    bool Unload();
    // Shows the form (loading it first). Modal: runs the message loop until the form is
    // unloaded or hidden, and blocks input to every other window meanwhile.
    void Show(bool modal = false);
    void Hide();
    bool IsLoaded() const { return state_ != State::Unloaded; }

    // --- properties (each loads the form on first use) ----------------------------------------
    float Left();
    float Top();
    float Width();
    float Height();
    void SetLeft(float twips);
    void SetTop(float twips);
    void SetWidth(float twips);
    void SetHeight(float twips);
    void Move(float left, float top, float width, float height);
    // The client area in the form's scale units; setting them sizes the window around them.
    float ScaleWidth();
    float ScaleHeight();
    void SetScaleWidth(float units);
    void SetScaleHeight(float units);

    void SetScaleMode(forms::ScaleMode mode);
    forms::BorderStyle BorderStyle();
    void SetBorderStyle(forms::BorderStyle style);  // takes effect at the next load
    const std::string& Caption();
    void SetCaption(const std::string& caption);
    os::COLORREF BackColor();
    void SetBackColor(os::COLORREF color);
    bool Visible();
    void SetVisible(bool visible);
    void SetAutoRedraw(bool on);
    // The form receives key events before its controls.
    void SetKeyPreview(bool on);
    const std::vector<os::IconImage>& Icon();
    void SetIcon(const std::vector<os::IconImage>& images);

    os::HWND hWnd();
    // The window's device context, or with AutoRedraw the persistent image's. The image
    // is kept when AutoRedraw goes off and is what the window shows when repainted.
    os::HDC hDC();

    // Clears the drawing: the persistent image and the window become BackColor.
    void Cls();
    // Shows what has been drawn and repaints the controls now.
    void Refresh();

    // The control with the keyboard focus, or nullptr.
    Control* ActiveControl() { return active_control_; }

    // --- used by the framework ------------------------------------------------------------------
    Form& OwnerForm() override { return *this; }
    float TwipsPerUnit() override;
    os::Rect ClientRectOnForm() override;
    // Loads the form if it is not loaded (the first-use rule).
    void EnsureLoaded();
    // Draws invalidated controls and shows the AutoRedraw image (after every event).
    void Flush();
    void InvalidateRect(const os::Rect& r);
    // Moves the keyboard focus to target. When the control being left has a Validate
    // handler (forms/validation.h) it runs first, nested here, and may keep the focus:
    // then false is returned and nothing moves.
    bool MoveFocus(Control* target);
    // Tab / Shift+Tab: the next (previous) control in tab order that can take the focus.
    void FocusNext(bool backwards);
    // The controls Tab visits, in tab order.
    std::vector<Control*> TabOrder();
    void RegisterDefaultButton(Control* button, bool is_default);
    void RegisterCancelButton(Control* button, bool is_cancel);
    Control* DefaultButton() { return default_button_; }
    Control* CancelButton() { return cancel_button_; }
    // Every control of the form, containers' children included, in creation order.
    std::vector<Control*> AllControls();
    // Loaded forms (DoEvents flushes them all).
    static const std::vector<Form*>& LoadedForms();

protected:
    // The form's stored definition: sets the form's and its controls' properties. Runs at
    // each load, before the window exists and before Form_Load.
    virtual void Design() {}

    // --- events -----------------------------------------------------------------------------
    virtual void Form_Load() {}
    virtual void Form_QueryUnload(int& Cancel, int UnloadMode) { (void)Cancel, (void)UnloadMode; }
    virtual void Form_Unload(int& Cancel) { (void)Cancel; }
    virtual void Form_Click() {}
    virtual void Form_DblClick() {}
    virtual void Form_KeyDown(int& KeyCode, int& Shift) { (void)KeyCode, (void)Shift; }
    virtual void Form_KeyUp(int& KeyCode, int& Shift) { (void)KeyCode, (void)Shift; }
    virtual void Form_KeyPress(int& KeyAscii) { (void)KeyAscii; }
    virtual void Form_MouseDown(int Button, int Shift, float X, float Y) {
        (void)Button, (void)Shift, (void)X, (void)Y;
    }
    virtual void Form_MouseUp(int Button, int Shift, float X, float Y) {
        (void)Button, (void)Shift, (void)X, (void)Y;
    }
    virtual void Form_MouseMove(int Button, int Shift, float X, float Y) {
        (void)Button, (void)Shift, (void)X, (void)Y;
    }

private:
    enum class State { Unloaded, Loading, Loaded };

    // os::WindowEvents
    void OnKeyDown(unsigned key, unsigned shift) override;
    void OnKeyUp(unsigned key, unsigned shift) override;
    void OnChar(std::uint32_t ch) override;
    void OnMouseDown(int button, unsigned shift, int x, int y) override;
    void OnMouseUp(int button, unsigned shift, int x, int y) override;
    void OnMouseMove(unsigned buttons, unsigned shift, int x, int y) override;
    void OnCloseRequest() override;
    void OnHostDestroyed() override;
    void OnFocusOut() override;

    bool UnloadFor(int unload_mode);
    void TearDown();
    void AfterEvent(std::uint64_t generation);
    bool StillLoaded(std::uint64_t generation) const {
        return state_ == State::Loaded && load_generation_ == generation;
    }
    Control* HitTest(Container& in, int x, int y);
    bool HandleFrameworkKey(int key, int shift);
    void ClickButton(Control* button);
    float ToScaleX(int px);
    float ToScaleY(int px);
    void ResetProperties();
    void ApplyGeometry();
    int ClientPixelWidth() const;
    int ClientPixelHeight() const;
    void ResizeImage();
    void Render(const os::Rect& area);
    void RenderControl(Control& c, const os::Rect& clip);

    std::string name_;
    State state_ = State::Unloaded;
    std::uint64_t load_generation_ = 0;
    os::HWND hwnd_ = 0;
    os::HDC window_dc_ = 0;
    std::unique_ptr<os::Surface> image_;  // the persistent (AutoRedraw) image
    os::HDC image_dc_ = 0;
    std::uint64_t image_shown_seq_ = 0;  // the image's write sequence last shown
    std::unique_ptr<os::Surface> scratch_;  // where one control is painted before it is shown
    os::HDC scratch_dc_ = 0;
    os::Rect dirty_;

    // properties
    float left_ = 0, top_ = 0, width_ = 0, height_ = 0;  // outer window, twips
    forms::ScaleMode scale_mode_ = forms::ScaleMode::Twips;
    forms::BorderStyle border_style_ = forms::BorderStyle::FixedSingle;
    std::string caption_;
    os::COLORREF back_color_ = 0;
    bool visible_ = false;
    bool auto_redraw_ = false;
    bool key_preview_ = false;
    std::vector<os::IconImage> icon_;

    bool modal_ = false;
    bool suppress_char_ = false;
    Control* active_control_ = nullptr;
    Control* validating_ = nullptr;  // whose Validate handler is running
    Control* default_button_ = nullptr;
    Control* cancel_button_ = nullptr;

    // The pointer: what a press went to (it keeps the pointer until the release), and the
    // last click, for double-click detection.
    struct Pointer {
        bool down = false;
        Control* target = nullptr;  // nullptr: the form itself
        int button = 0;
        bool have_last_click = false;
        std::uint64_t last_click_ms = 0;
        int last_click_x = 0, last_click_y = 0;
        Control* last_click_target = nullptr;
        bool pending_dbl = false;
    } pointer_;
};

// The process-wide instance of a form class, created on first use and kept until the
// process ends. Creating it does not load it.
template <class F>
F& Instance() {
    static F* instance = new F();  // never destroyed: forms outlive every static user
    return *instance;
}

}  // namespace forms
