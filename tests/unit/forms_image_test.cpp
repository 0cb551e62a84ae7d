// Image controls: a picture stretched over the box (or shown at its own size), clipped by
// the panel that holds it, a negative Top included; pictures from the resources.
#include <gtest/gtest.h>

#include "forms/forms.h"
#include "os/gdi.h"
#include "os/window.h"
#include "support/form_fixture.h"

namespace {

using tavro_test::At;

constexpr std::uint32_t kGrey = 0xC0C0C0;
constexpr std::uint32_t kPanel = 0x00FFFF;  // the panel's back colour as a pixel
constexpr std::uint32_t kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF,
                        kWhite = 0xFFFFFF;

// Two by two pixels: red, green over blue, white.
const os::Surface& Quarters() {
    static os::Surface s(2, 2);
    s.row(0)[0] = kRed;
    s.row(0)[1] = kGreen;
    s.row(1)[0] = kBlue;
    s.row(1)[1] = kWhite;
    s.NoteWritten(s.bounds());
    return s;
}

class ImageForm : public forms::Form {
public:
    ImageForm() : forms::Form("ImageForm") {}
    forms::PictureBox Panel{*this, "Panel"};
    forms::Image Plane{Panel, "Plane"};
    forms::Image Loose{*this, "Loose"};

protected:
    void Design() override {
        tavro_test::PixelClient(*this, 300, 200);
        Panel.Move(20, 30, 100, 60);
        Panel.SetScaleMode(forms::ScaleMode::Pixels);
        Panel.SetBackColor(os::ColorrefFromPixel(kPanel));
        // Sticks out above the panel by 10 and past its right edge by 30.
        Plane.Move(70, -10, 60, 40);
        Plane.SetPicture(Quarters());
        Plane.SetToolTipText("Plane");
        Loose.Move(150, 20, 40, 40);
        Loose.SetPicture(Quarters());
    }
};

using ImageTest = tavro_test::HeadlessFixture;

TEST_F(ImageTest, PictureIsStretchedOverTheWholeBox) {
    ImageForm f;
    f.Show();
    // Loose: 40 by 40 at (150, 20); each source pixel covers 20 by 20.
    EXPECT_EQ(At(f, 150, 20), kRed);
    EXPECT_EQ(At(f, 169, 39), kRed);
    EXPECT_EQ(At(f, 170, 20), kGreen);
    EXPECT_EQ(At(f, 189, 39), kGreen);
    EXPECT_EQ(At(f, 150, 40), kBlue);
    EXPECT_EQ(At(f, 189, 59), kWhite);
    EXPECT_EQ(At(f, 190, 59), kGrey);  // beyond the box: the form
    EXPECT_EQ(At(f, 189, 60), kGrey);
}

TEST_F(ImageTest, PanelCutsOffWhatLiesOutsideIt) {
    ImageForm f;
    f.Show();
    // The image spans form x 90..150 and y 20..60; the panel is 20..120 by 30..90.
    EXPECT_EQ(At(f, 90, 29), kGrey);   // above the panel: cut off
    EXPECT_EQ(At(f, 90, 30), kRed);    // the panel's first row shows the red quarter
    EXPECT_EQ(At(f, 119, 30), kRed);
    EXPECT_EQ(At(f, 120, 35), kGrey);  // right of the panel: the green half is cut off
    EXPECT_EQ(At(f, 90, 45), kBlue);
    EXPECT_EQ(At(f, 119, 59), kBlue);
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 140; ++x) {
            ASSERT_NE(At(f, x, y), kGreen) << x << "," << y;
            ASSERT_NE(At(f, x, y), kWhite) << x << "," << y;
        }
    EXPECT_EQ(At(f, 90, 60), kPanel);  // below the image, inside the panel
    EXPECT_EQ(At(f, 89, 40), kPanel);
}

TEST_F(ImageTest, WithoutStretchThePictureKeepsItsSize) {
    ImageForm f;
    f.Show();
    f.Loose.SetStretch(false);
    forms::DoEvents();
    EXPECT_EQ(At(f, 150, 20), kRed);
    EXPECT_EQ(At(f, 151, 21), kWhite);
    EXPECT_EQ(At(f, 152, 20), kGrey);  // no background of its own: the form shows
    EXPECT_EQ(At(f, 170, 40), kGrey);
    f.Loose.ClearPicture();
    forms::DoEvents();
    EXPECT_EQ(At(f, 150, 20), kGrey);
    EXPECT_EQ(f.Loose.Picture(), nullptr);
}

TEST_F(ImageTest, ResourcePictureLoadsAndAMissingOneKeepsThePrevious) {
    ImageForm f;
    f.Show();
    ASSERT_TRUE(f.Loose.LoadPicture("aircraft"));
    ASSERT_NE(f.Loose.Picture(), nullptr);
    EXPECT_EQ(f.Loose.Picture()->width(), 144);
    EXPECT_EQ(f.Loose.Picture()->height(), 88);
    EXPECT_FALSE(f.Loose.LoadPicture("no such picture"));
    ASSERT_NE(f.Loose.Picture(), nullptr);
    EXPECT_EQ(f.Loose.Picture()->width(), 144);
    // The box shows the whole picture stretched to 40 by 40, as the graphics services
    // stretch it.
    forms::DoEvents();
    os::Surface expected(40, 40);
    const os::HDC dc = os::CreateSurfaceDC(&expected);
    os::StretchPaint(dc, 0, 0, 40, 40, *f.Loose.Picture(), os::SRCCOPY);
    os::DeleteSurfaceDC(dc);
    int differing = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x)
            if (At(f, 150 + x, 20 + y) != expected.pixel(x, y)) ++differing;
    EXPECT_EQ(differing, 0);
    EXPECT_EQ(At(f, 150, 20), f.Loose.Picture()->pixel(0, 0));
}

TEST_F(ImageTest, ImageTakesNoFocusAndUnloadForgetsThePicture) {
    ImageForm f;
    f.Show();
    for (forms::Control* c : f.TabOrder()) EXPECT_NE(c, &f.Plane);
    int clicks = 0;
    f.Loose.OnClick = [&] { ++clicks; };
    host().PushClick(static_cast<os::HostWindowId>(f.hWnd()), 160, 30);
    forms::DoEvents();
    EXPECT_EQ(clicks, 1);
    f.Loose.ClearPicture();
    f.Loose.SetStretch(false);
    f.Unload();
    EXPECT_NE(f.Loose.Picture(), nullptr);  // the design's picture again
    EXPECT_TRUE(f.Loose.Stretch());
}

}  // namespace
