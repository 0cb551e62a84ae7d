// Twips and pixels: window position and size, the dialog frame, centring, scale modes of
// controls and mouse events, the Screen object.
#include <gtest/gtest.h>

#include "forms/forms.h"
#include "os/window.h"
#include "support/headless_fixture.h"

namespace {

class DialogForm : public forms::Form {
public:
    DialogForm() : forms::Form("DialogForm") {}
    forms::CommandButton Button{*this, "Button"};

protected:
    void Design() override {
        SetScaleWidth(6855);   // client area in twips
        SetScaleHeight(4365);
        Button.Move(3240, 3960, 1125, 330);
    }
};

class PixelForm : public forms::Form {
public:
    PixelForm() : forms::Form("PixelForm") {}
    forms::PictureBox Box{*this, "Box"};
    float last_x = -1, last_y = -1;
    int last_button = -1;

protected:
    void Design() override {
        SetBorderStyle(forms::BorderStyle::None);
        SetScaleMode(forms::ScaleMode::Pixels);
        Move(1500, 750, 300 * 15, 200 * 15);
        Box.SetVisible(false);
        Box.Move(10, 20, 638, 389);
    }
    void Form_MouseDown(int Button, int, float X, float Y) override {
        last_button = Button;
        last_x = X;
        last_y = Y;
    }
};

using FormGeometry = tavro_test::HeadlessFixture;

TEST_F(FormGeometry, ScreenReportsTwips) {
    EXPECT_FLOAT_EQ(forms::Screen.Width(), 1024 * 15);
    EXPECT_FLOAT_EQ(forms::Screen.Height(), 768 * 15);
    EXPECT_FLOAT_EQ(forms::Screen.TwipsPerPixelX(), 15);
    EXPECT_FLOAT_EQ(forms::Screen.TwipsPerPixelY(), 15);
}

TEST_F(FormGeometry, DialogOuterSizeIsClientPlusFrame) {
    DialogForm f;
    EXPECT_FLOAT_EQ(f.ScaleWidth(), 6855);
    EXPECT_FLOAT_EQ(f.ScaleHeight(), 4365);
    EXPECT_FLOAT_EQ(f.Width(), 6855 + 90);
    EXPECT_FLOAT_EQ(f.Height(), 4365 + 375);
    const os::Surface* client = os::WindowSurface(f.hWnd());
    ASSERT_NE(client, nullptr);
    EXPECT_EQ(client->width(), 457);
    EXPECT_EQ(client->height(), 291);
}

TEST_F(FormGeometry, CentringKeepsHalfTwipsAndPlacesTheNearestPixel) {
    DialogForm f;
    f.SetLeft((forms::Screen.Width() - f.Width()) / 2.0f);
    f.SetTop((forms::Screen.Height() - f.Height()) / 2.0f);
    EXPECT_FLOAT_EQ(f.Left(), 4207.5f);  // (15360 - 6945) / 2
    EXPECT_FLOAT_EQ(f.Top(), 3390.0f);   // (11520 - 4740) / 2
    os::RECT r;
    ASSERT_TRUE(os::GetWindowRect(f.hWnd(), &r));
    EXPECT_EQ(r.left, 280);  // 280.5 pixels: the tie goes to the even neighbour
    EXPECT_EQ(r.top, 226);
}

TEST_F(FormGeometry, BorderlessWindowIsAllClient) {
    PixelForm f;
    EXPECT_FLOAT_EQ(f.Width(), 4500);
    EXPECT_FLOAT_EQ(f.ScaleWidth(), 300);  // pixels
    EXPECT_FLOAT_EQ(f.ScaleHeight(), 200);
    os::RECT r;
    ASSERT_TRUE(os::GetWindowRect(f.hWnd(), &r));
    EXPECT_EQ(r.left, 100);
    EXPECT_EQ(r.top, 50);
    EXPECT_EQ(os::WindowSurface(f.hWnd())->width(), 300);
}

TEST_F(FormGeometry, ControlsUseTheContainersScale) {
    PixelForm pixels;
    EXPECT_FLOAT_EQ(pixels.Box.Width(), 638);
    EXPECT_FLOAT_EQ(pixels.Box.Height(), 389);
    EXPECT_EQ(pixels.Box.Image().width(), 638);
    pixels.SetScaleMode(forms::ScaleMode::Twips);
    EXPECT_FLOAT_EQ(pixels.Box.Width(), 9570);  // the same box read in twips
    EXPECT_FLOAT_EQ(pixels.Box.Left(), 150);

    DialogForm twips;
    EXPECT_FLOAT_EQ(twips.Button.Left(), 3240);
    const os::Rect r = twips.Button.RectOnForm();
    EXPECT_EQ(r.left, 216);
    EXPECT_EQ(r.top, 264);
    EXPECT_EQ(r.width(), 75);
    EXPECT_EQ(r.height(), 22);
}

TEST_F(FormGeometry, MouseCoordinatesFollowScaleMode) {
    PixelForm f;
    f.Show();
    const auto id = static_cast<os::HostWindowId>(f.hWnd());
    host().PushClick(id, 7, 9, 3);
    forms::DoEvents();
    EXPECT_EQ(f.last_button, forms::vbRightButton);
    EXPECT_FLOAT_EQ(f.last_x, 7);
    EXPECT_FLOAT_EQ(f.last_y, 9);
    f.SetScaleMode(forms::ScaleMode::Twips);
    host().PushClick(id, 7, 9);
    forms::DoEvents();
    EXPECT_EQ(f.last_button, forms::vbLeftButton);
    EXPECT_FLOAT_EQ(f.last_x, 105);
    EXPECT_FLOAT_EQ(f.last_y, 135);
}

TEST_F(FormGeometry, ResizingTheWindowFollowsWidthAndHeight) {
    PixelForm f;
    f.SetWidth(15361);  // 1024.07 pixels: the nearest is 1024
    f.SetHeight(768 * 15);
    EXPECT_EQ(os::WindowSurface(f.hWnd())->width(), 1024);
    EXPECT_EQ(os::WindowSurface(f.hWnd())->height(), 768);
    f.SetWidth(0);  // a window keeps at least one pixel
    EXPECT_EQ(os::WindowSurface(f.hWnd())->width(), 1);
}

}  // namespace
