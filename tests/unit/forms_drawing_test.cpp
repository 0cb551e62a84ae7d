// What forms and controls put on the window: background, the AutoRedraw image and hDC,
// picture boxes as off-screen images, the 3-D look of buttons and text boxes.
#include <gtest/gtest.h>

#include "forms/forms.h"
#include "os/gdi.h"
#include "os/window.h"
#include "support/form_fixture.h"

namespace {

using tavro_test::At;

constexpr std::uint32_t kWhite = 0xFFFFFF, kBlack = 0x000000, kGrey = 0xC0C0C0,
                        kDark = 0x808080, kLight = 0xDFDFDF;

void Fill(os::HDC dc, int l, int t, int r, int b, os::COLORREF c) {
    const os::RECT rect{l, t, r, b};
    const os::HBRUSH brush = os::CreateSolidBrush(c);
    os::FillRect(dc, &rect, brush);
    os::DeleteObject(brush);
}

class CanvasForm : public forms::Form {
public:
    CanvasForm() : forms::Form("CanvasForm") {}
    forms::PictureBox Hidden{*this, "Hidden"};
    forms::PictureBox Shown{*this, "Shown"};
    forms::CommandButton Ok{*this, "Ok"};
    forms::CommandButton Off{*this, "Off"};
    forms::TextBox Entry{*this, "Entry"};

protected:
    void Design() override {
        SetBorderStyle(forms::BorderStyle::None);
        SetScaleMode(forms::ScaleMode::Pixels);
        Move(0, 0, 200 * 15, 150 * 15);
        Hidden.SetVisible(false);
        Hidden.Move(0, 0, 40, 30);
        Shown.Move(150, 100, 20, 10);
        Shown.SetBackColor(0x0000FF);  // red
        tavro_test::Place(Ok, 10, 10, 75, 23, "OK");
        tavro_test::Place(Off, 10, 40, 75, 23, "Off");
        Off.SetEnabled(false);
        Entry.Move(10, 80, 100, 21);
    }
};

using FormDrawing = tavro_test::HeadlessFixture;

TEST_F(FormDrawing, BackgroundIsBackColorAndFollowsIt) {
    CanvasForm f;
    f.Show();
    EXPECT_EQ(At(f, 199, 0), kGrey);
    f.SetBackColor(0x00FF00);  // green, COLORREF
    forms::DoEvents();
    EXPECT_EQ(At(f, 199, 0), 0x00FF00u);
    EXPECT_EQ(f.BackColor(), 0x00FF00u);
}

TEST_F(FormDrawing, AutoRedrawImageKeepsDrawingAndHdcSwitches) {
    CanvasForm f;
    f.Show();
    const os::HDC window_dc = f.hDC();
    f.SetAutoRedraw(true);
    const os::HDC image_dc = f.hDC();
    EXPECT_NE(image_dc, window_dc);
    Fill(image_dc, 100, 0, 110, 10, 0x0000FF);
    // Not on the window until the framework shows it.
    EXPECT_EQ(At(f, 105, 5), kGrey);
    forms::DoEvents();
    EXPECT_EQ(At(f, 105, 5), 0xFF0000u);

    // Off again: hDC is the window's, and a repaint brings back the kept image, not
    // what was drawn straight on the window.
    f.SetAutoRedraw(false);
    EXPECT_EQ(f.hDC(), window_dc);
    Fill(window_dc, 100, 0, 110, 10, 0xFF0000);
    EXPECT_EQ(At(f, 105, 5), 0x0000FFu);
    f.Refresh();
    EXPECT_EQ(At(f, 105, 5), 0xFF0000u);
    f.Cls();
    forms::DoEvents();
    EXPECT_EQ(At(f, 105, 5), kGrey);
}

TEST_F(FormDrawing, HiddenPictureBoxIsAnOffScreenImage) {
    CanvasForm f;
    f.Show();
    Fill(f.Hidden.hDC(), 0, 0, 40, 30, 0x123456);
    forms::DoEvents();
    EXPECT_EQ(At(f, 5, 5), kGrey);
    EXPECT_EQ(os::SurfaceOfDC(f.Hidden.hDC())->pixel(39, 29), 0x563412u);
    // Copying from it works although it is never seen.
    os::BitBlt(f.hDC(), 120, 0, 40, 30, f.Hidden.hDC(), 0, 0, os::SRCCOPY);
    EXPECT_EQ(At(f, 130, 10), 0x563412u);
}

TEST_F(FormDrawing, PictureBoxResizeKeepsPixelsAndFillsNewArea) {
    CanvasForm f;
    f.Hidden.SetBackColor(0xFFFFFF);
    Fill(f.Hidden.hDC(), 0, 0, 40, 30, 0x0000FF);
    const os::HDC dc = f.Hidden.hDC();
    f.Hidden.SetWidth(60);
    f.Hidden.SetHeight(10);
    EXPECT_EQ(f.Hidden.hDC(), dc);  // the same context, now on the resized image
    const os::Surface& img = f.Hidden.Image();
    EXPECT_EQ(img.width(), 60);
    EXPECT_EQ(img.height(), 10);
    EXPECT_EQ(img.pixel(39, 9), 0xFF0000u);
    EXPECT_EQ(img.pixel(40, 0), kWhite);
    EXPECT_EQ(img.pixel(59, 9), kWhite);
}

TEST_F(FormDrawing, VisiblePictureBoxShowsItsImageClippedToTheForm) {
    CanvasForm f;
    f.Show();
    EXPECT_EQ(At(f, 150, 100), 0xFF0000u);
    EXPECT_EQ(At(f, 169, 109), 0xFF0000u);
    EXPECT_EQ(At(f, 170, 109), kGrey);
    f.Shown.SetLeft(190);  // half outside the window
    forms::DoEvents();
    EXPECT_EQ(At(f, 150, 100), kGrey);
    EXPECT_EQ(At(f, 199, 105), 0xFF0000u);
}

TEST_F(FormDrawing, ButtonHasARaisedBevel) {
    CanvasForm f;
    f.Show();
    const os::Rect r = f.Off.RectOnForm();  // not focused, not default: plain bevel
    EXPECT_EQ(At(f, r.left, r.top), kWhite);
    EXPECT_EQ(At(f, r.left + 1, r.top + 1), kLight);
    EXPECT_EQ(At(f, r.right - 1, r.bottom - 1), kBlack);
    EXPECT_EQ(At(f, r.right - 2, r.bottom - 2), kDark);
    EXPECT_EQ(At(f, r.left + 5, r.bottom - 5), kGrey);
}

TEST_F(FormDrawing, FocusedButtonHasFrameAndDottedFocusRectangle) {
    CanvasForm f;
    f.Show();
    ASSERT_EQ(f.ActiveControl(), &f.Ok);  // first in tab order
    const os::Rect r = f.Ok.RectOnForm();
    EXPECT_EQ(At(f, r.left, r.top), kBlack);  // the focus frame
    EXPECT_EQ(At(f, r.left + 1, r.top + 1), kWhite);
    // The dotted rectangle 4 pixels in: alternate pixels inverted from the face.
    int changed = 0;
    for (int x = r.left + 4; x < r.left + 20; ++x)
        if (At(f, x, r.top + 4) != kGrey) ++changed;
    EXPECT_GE(changed, 6);
    EXPECT_LE(changed, 10);
    f.Entry.SetFocus();
    forms::DoEvents();
    EXPECT_EQ(At(f, r.left, r.top), kWhite);
    EXPECT_EQ(At(f, r.left + 10, r.top + 4), kGrey);
}

// Glyphs are anti-aliased, so caption pixels are told apart by brightness.
struct Shades {
    int whitish = 0, mid = 0, darkish = 0;
};

Shades CaptionShades(forms::Form& f, const os::Rect& r) {
    Shades s;
    for (int y = r.top + 3; y < r.bottom - 3; ++y)
        for (int x = r.left + 3; x < r.right - 3; ++x) {
            const int g = static_cast<int>(At(f, x, y) & 0xFF);
            s.whitish += g > 0xE8;
            s.mid += g > 0x60 && g < 0xA0;
            s.darkish += g < 0x50;
        }
    return s;
}

TEST_F(FormDrawing, DisabledCaptionIsEtched) {
    CanvasForm f;
    f.Show();
    const os::Rect r = f.Off.RectOnForm();
    const Shades disabled = CaptionShades(f, r);
    EXPECT_GT(disabled.whitish, 5);  // the white copy down and right
    EXPECT_GT(disabled.mid, 5);      // the grey caption
    EXPECT_EQ(disabled.darkish, 0);
    f.Off.SetEnabled(true);
    forms::DoEvents();
    const Shades enabled = CaptionShades(f, r);
    EXPECT_GT(enabled.darkish, 5);
    EXPECT_EQ(enabled.whitish, 0);
}

TEST_F(FormDrawing, TextBoxIsSunkenAndWhite) {
    CanvasForm f;
    f.Show();
    const os::Rect r = f.Entry.RectOnForm();
    EXPECT_EQ(At(f, r.left, r.top), kDark);
    EXPECT_EQ(At(f, r.left + 1, r.top + 1), kBlack);
    EXPECT_EQ(At(f, r.right - 1, r.bottom - 1), kWhite);
    EXPECT_EQ(At(f, r.right - 2, r.bottom - 2), kLight);
    EXPECT_EQ(At(f, r.left + 50, r.top + 10), kWhite);
}

TEST_F(FormDrawing, HiddenControlIsNotDrawn) {
    CanvasForm f;
    f.Show();
    const os::Rect r = f.Ok.RectOnForm();
    f.Ok.SetVisible(false);
    forms::DoEvents();
    for (int x = r.left; x < r.right; x += 7) EXPECT_EQ(At(f, x, r.top), kGrey);
}

class ScreenForm : public forms::Form {
public:
    ScreenForm() : forms::Form("ScreenForm") {}
    forms::PictureBox Copy{*this, "Copy"};

protected:
    void Design() override {
        SetBorderStyle(forms::BorderStyle::None);
        SetScaleMode(forms::ScaleMode::Pixels);
        Copy.SetVisible(false);
    }
};

// The saver's start: a full-screen window with a persistent image takes a snapshot of
// the screen, the snapshot is copied on, the image is switched off, and the window shows
// the snapshot when it appears.
TEST_F(FormDrawing, ScreenSnapshotThroughThePersistentImage) {
    host().Desktop().row(700)[1000] = 0x00ABCDEF;
    host().Desktop().NoteWritten(os::Rect{1000, 700, 1001, 701});
    ScreenForm f;
    f.SetTop(0);
    f.SetLeft(0);
    f.SetWidth(forms::Screen.Width());
    f.SetHeight(forms::Screen.Height());
    f.SetAutoRedraw(true);
    const os::HWND desktop = os::GetDesktopWindow();
    const os::HDC screen = os::GetWindowDC(desktop);
    os::BitBlt(f.hDC(), 0, 0, 1024, 768, screen, 0, 0, os::SRCCOPY);
    os::ReleaseDC(desktop, screen);
    f.Copy.SetWidth(1024);
    f.Copy.SetHeight(768);
    os::BitBlt(f.Copy.hDC(), 0, 0, 1024, 768, f.hDC(), 0, 0, os::SRCCOPY);
    f.SetAutoRedraw(false);
    EXPECT_EQ(f.Copy.Image().pixel(1000, 700), 0xABCDEFu);
    f.Show();
    forms::DoEvents();
    EXPECT_EQ(host().ScreenPixel(1000, 700), 0xABCDEFu);
    EXPECT_EQ(At(f, 1000, 700), 0xABCDEFu);
}

}  // namespace
