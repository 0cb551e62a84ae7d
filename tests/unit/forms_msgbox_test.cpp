// The message box: modal, closed by Enter, Esc, a click on OK or the close box, always
// answering OK; the application's title when none is given; the critical icon.
#include <gtest/gtest.h>

#include <string>

#include "forms/forms.h"
#include "forms/msgbox_icons.h"
#include "os/window.h"
#include "support/headless_fixture.h"

namespace {

class MsgBoxTest : public tavro_test::HeadlessFixture {
protected:
    // At time ms, records the open box and presses key (or does `act`) in it.
    void AtOpenBox(std::uint64_t ms, std::function<void(const forms::OpenMessageBox&)> act) {
        host().Schedule(ms, [this, act] {
            forms::OpenMessageBox box;
            seen_open = forms::MessageBoxOpen(&box);
            seen = box;
            if (seen_open)
                seen_title = host().WindowTitle(static_cast<os::HostWindowId>(box.hwnd)).value_or("");
            if (seen_open) act(box);
        });
    }
    void PressIn(const forms::OpenMessageBox& box, int vk, std::uint32_t ch) {
        host().PushKey(static_cast<os::HostWindowId>(box.hwnd), static_cast<unsigned>(vk), ch);
    }
    bool seen_open = false;
    forms::OpenMessageBox seen;
    std::string seen_title;  // the box window's title as the host has it
};

TEST_F(MsgBoxTest, EnterClosesTheBoxWhichCarriesTheAppTitle) {
    forms::App.SetTitle("TavroSS");
    AtOpenBox(20, [this](const forms::OpenMessageBox& b) { PressIn(b, forms::vbKeyReturn, '\r'); });
    EXPECT_EQ(forms::MsgBox("Minimum must be less than maximum"), forms::vbOK);
    ASSERT_TRUE(seen_open);
    EXPECT_EQ(seen.caption, "TavroSS");
    EXPECT_EQ(seen.prompt, "Minimum must be less than maximum");
    EXPECT_EQ(seen_title, "TavroSS");
    EXPECT_FALSE(forms::MessageBoxOpen());
    EXPECT_FALSE(os::IsWindow(seen.hwnd));
}

TEST_F(MsgBoxTest, EscapeAndTheCloseBoxAlsoAnswerOK) {
    AtOpenBox(20, [this](const forms::OpenMessageBox& b) { PressIn(b, forms::vbKeyEscape, 27); });
    EXPECT_EQ(forms::MsgBox("one", forms::vbOKOnly, "Own Title"), forms::vbOK);
    EXPECT_EQ(seen.caption, "Own Title");
    AtOpenBox(host().NowMs() + 20,
              [this](const forms::OpenMessageBox& b) { host().PushClose(static_cast<os::HostWindowId>(b.hwnd)); });
    EXPECT_EQ(forms::MsgBox("two"), forms::vbOK);
    EXPECT_TRUE(seen_open);
    EXPECT_FALSE(forms::MessageBoxOpen());
}

TEST_F(MsgBoxTest, ClickOnOKClosesItAndOtherKeysDoNot) {
    bool open_after_letter = false;
    AtOpenBox(20, [this](const forms::OpenMessageBox& b) { PressIn(b, 'X', 'x'); });
    host().Schedule(30, [&] { open_after_letter = forms::MessageBoxOpen(); });
    host().Schedule(40, [this] {
        forms::OpenMessageBox b;
        ASSERT_TRUE(forms::MessageBoxOpen(&b));
        // The OK button is centred at the bottom of the client area.
        const os::Surface* s = os::WindowSurface(b.hwnd);
        ASSERT_NE(s, nullptr);
        host().PushClick(static_cast<os::HostWindowId>(b.hwnd), s->width() / 2, s->height() - 20);
    });
    EXPECT_EQ(forms::MsgBox("click me", forms::vbCritical), forms::vbOK);
    EXPECT_TRUE(open_after_letter);
    EXPECT_FALSE(forms::MessageBoxOpen());
}

TEST_F(MsgBoxTest, CriticalBoxShowsARedStopSignCentredOnTheScreen) {
    int red = 0, white_on_red = 0;
    AtOpenBox(20, [&](const forms::OpenMessageBox& b) {
        const os::Surface* s = os::WindowSurface(b.hwnd);
        ASSERT_NE(s, nullptr);
        const std::uint32_t kRed = os::PixelFromColorref(forms::ColorStopSign);
        for (int y = 12; y < 44; ++y)
            for (int x = 12; x < 44; ++x) {
                if (s->pixel(x, y) == kRed) ++red;
                if (s->pixel(x, y) == 0xFFFFFFu) ++white_on_red;
            }
        os::RECT r{};
        os::GetWindowRect(b.hwnd, &r);
        EXPECT_NEAR((r.left + r.right) / 2.0, 512, 4);
        EXPECT_NEAR((r.top + r.bottom) / 2.0, 384, 16);
        PressIn(b, forms::vbKeyReturn, '\r');
    });
    EXPECT_EQ(forms::MsgBox("The device context could not be created", forms::vbCritical),
              forms::vbOK);
    EXPECT_EQ(seen.style, forms::vbCritical);
    EXPECT_GT(red, 400);          // most of a 30-pixel disc
    EXPECT_GT(white_on_red, 30);  // the cross
    // Without the icon style there is no red at all.
    red = 0;
    AtOpenBox(host().NowMs() + 20, [&](const forms::OpenMessageBox& b) {
        const os::Surface* s = os::WindowSurface(b.hwnd);
        const std::uint32_t kRed = os::PixelFromColorref(forms::ColorStopSign);
        for (int y = 0; y < s->height(); ++y)
            for (int x = 0; x < s->width(); ++x)
                if (s->pixel(x, y) == kRed) ++red;
        PressIn(b, forms::vbKeyReturn, '\r');
    });
    forms::MsgBox("plain");
    EXPECT_EQ(red, 0);
}

TEST_F(MsgBoxTest, LongTextWrapsAndWidensNoFurtherThanItsLimit) {
    int narrow = 0, wide = 0;
    AtOpenBox(20, [&](const forms::OpenMessageBox& b) {
        narrow = os::WindowSurface(b.hwnd)->width();
        PressIn(b, forms::vbKeyReturn, '\r');
    });
    forms::MsgBox("short");
    std::string long_text;
    for (int i = 0; i < 60; ++i) long_text += "word ";
    int tall = 0;
    AtOpenBox(host().NowMs() + 20, [&](const forms::OpenMessageBox& b) {
        wide = os::WindowSurface(b.hwnd)->width();
        tall = os::WindowSurface(b.hwnd)->height();
        PressIn(b, forms::vbKeyReturn, '\r');
    });
    forms::MsgBox(long_text);
    EXPECT_GT(wide, narrow);
    EXPECT_LE(wide, 400);
    EXPECT_GT(tall, 100);  // several lines
}

TEST_F(MsgBoxTest, BoxBlocksInputToTheWindowUnderIt) {
    class Owner : public forms::Form {
    public:
        Owner() : forms::Form("Owner") {}
        forms::CommandButton Go{*this, "Go"};
        int clicks = 0;

    protected:
        void Design() override {
            SetScaleMode(forms::ScaleMode::Pixels);
            Go.Move(10, 10, 75, 23);
            Go.OnClick = [this] { ++clicks; };
        }
    } owner;
    owner.Show();
    AtOpenBox(20, [&](const forms::OpenMessageBox& b) {
        host().PushClick(static_cast<os::HostWindowId>(owner.hWnd()), 20, 20);
        PressIn(b, forms::vbKeyReturn, '\r');
    });
    forms::MsgBox("modal");
    forms::DoEvents();
    EXPECT_EQ(owner.clicks, 0);
}

}  // namespace
