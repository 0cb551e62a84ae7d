// Forms on the headless host: a form's host window and pixels, and a fixture that shows one
// form of type F before each case and unloads it afterwards. Keys, typing and clicks go to
// that form's window and are handled before they return.
#pragma once

#include <cstdint>
#include <string>

#include "forms/forms.h"
#include "os/window.h"
#include "support/headless_fixture.h"

namespace tavro_test {

// The host window of a form.
inline os::HostWindowId Win(forms::Form& f) { return static_cast<os::HostWindowId>(f.hWnd()); }
// A pixel of a form's window.
inline std::uint32_t At(forms::Form& f, int x, int y) {
    return os::WindowSurface(f.hWnd())->pixel(x, y);
}

// A form's client area of w x h, counted in pixels.
inline void PixelClient(forms::Form& f, float w, float h) {
    f.SetScaleMode(forms::ScaleMode::Pixels);
    f.SetScaleWidth(w);
    f.SetScaleHeight(h);
}
// Moves a control (in its container's scale) and gives it a caption.
template <class C>
void Place(C& c, float left, float top, float width, float height, const std::string& caption) {
    c.Move(left, top, width, height);
    c.SetCaption(caption);
}

// A pointer event of window w at (x, y): `button` is the one pressed or released, `buttons`
// those held, `shift` the shift keys.
inline os::HostEvent PointerEvent(os::HostWindowId w, os::HostEvent::Type type, int x, int y,
                                  int button = 1, unsigned buttons = 0, unsigned shift = 0) {
    os::HostEvent ev;
    ev.type = type;
    ev.window = w;
    ev.x = x;
    ev.y = y;
    ev.button = button;
    ev.buttons = buttons;
    ev.shift = shift;
    return ev;
}

template <class F>
class FormFixture : public HeadlessFixture {
protected:
    void SetUp() override {
        HeadlessFixture::SetUp();
        form_.Show();
        id_ = Win(form_);
    }
    void TearDown() override {
        if (form_.IsLoaded()) form_.Unload();
        HeadlessFixture::TearDown();
    }

    void Key(int vk, std::uint32_t ch = 0, unsigned shift = 0) {
        host().PushKey(id_, static_cast<unsigned>(vk), ch, shift);
        forms::DoEvents();
    }
    // Each character as its key (letters by their capital's key code) and its character.
    void Type(const std::string& text) {
        for (char c : text) {
            const unsigned vk = (c >= 'a' && c <= 'z') ? static_cast<unsigned>(c - 32) : c;
            host().PushKey(id_, vk, static_cast<unsigned char>(c));
        }
        forms::DoEvents();
    }
    void ClickAt(int x, int y) {
        host().PushClick(id_, x, y);
        forms::DoEvents();
    }
    void ClickCentre(forms::Control& c) {
        const os::Rect r = c.RectOnForm();
        ClickAt((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    }

    F form_;
    os::HostWindowId id_ = 0;
};

}  // namespace tavro_test
