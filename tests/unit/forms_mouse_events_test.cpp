// Mouse events of labels and images (position from the control's corner in its container's
// scale, the pressed control keeping the pointer until the release, nothing for a disabled
// control), a label's own font, and an image without Stretch taking its picture's size.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "forms/forms.h"
#include "os/gdi.h"
#include "os/window.h"
#include "support/form_fixture.h"

namespace {

struct MouseCall {
    std::string what;
    int button, shift;
    float x, y;
};

class MouseForm : public forms::Form {
public:
    MouseForm() : forms::Form("MouseForm") {}
    forms::PictureBox Panel{*this, "Panel"};
    forms::Image Picture{Panel, "Picture"};
    forms::Label Caption{*this, "Caption"};
    forms::Label Dim{*this, "Dim"};
    forms::Image Loose{*this, "Loose"};

protected:
    void Design() override {
        SetBorderStyle(forms::BorderStyle::None);
        SetWidth(300 * 15);
        SetHeight(200 * 15);
        // The form counts in twips, the panel in pixels.
        tavro_test::Place(Caption, 10 * 15, 20 * 15, 100 * 15, 30 * 15, "Caption");
        Dim.Move(10 * 15, 100 * 15, 100 * 15, 30 * 15);
        Dim.SetEnabled(false);
        Panel.Move(150 * 15, 10 * 15, 120 * 15, 150 * 15);
        Panel.SetScaleMode(forms::ScaleMode::Pixels);
        Picture.Move(5, 6, 50, 40);
        Loose.Move(10 * 15, 150 * 15, 40 * 15, 40 * 15);
        Loose.SetStretch(false);
    }
};

class MouseEventsTest : public tavro_test::HeadlessFixture {
protected:
    void Watch(const std::string& name, forms::MouseHandler* down, forms::MouseHandler* move,
               forms::MouseHandler* up) {
        auto log = [this](std::string what) {
            return [this, what](int b, int s, float x, float y) {
                calls.push_back(MouseCall{what, b, s, x, y});
            };
        };
        *down = log(name + " down");
        *move = log(name + " move");
        *up = log(name + " up");
    }
    void Send(os::HostEvent::Type type, int x, int y, unsigned buttons = 0, unsigned shift = 0) {
        host().Push(tavro_test::PointerEvent(tavro_test::Win(form), type, x, y, 1, buttons, shift));
        forms::DoEvents();
    }

    MouseForm form;
    std::vector<MouseCall> calls;
};

TEST_F(MouseEventsTest, LabelReportsTwipsFromItsCornerAndKeepsThePointerUntilRelease) {
    form.Show();
    Watch("caption", &form.Caption.OnMouseDown, &form.Caption.OnMouseMove, &form.Caption.OnMouseUp);
    Send(os::HostEvent::Type::ButtonDown, 13, 24, 0, forms::vbShiftMask);
    // Held and dragged far outside the label (onto the panel): still the label's.
    Send(os::HostEvent::Type::Motion, 200, 100, 1);
    Send(os::HostEvent::Type::ButtonUp, 5, 3);
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[0].what, "caption down");
    EXPECT_EQ(calls[0].button, forms::vbLeftButton);
    EXPECT_EQ(calls[0].shift, forms::vbShiftMask);
    EXPECT_FLOAT_EQ(calls[0].x, 3 * 15.0f);
    EXPECT_FLOAT_EQ(calls[0].y, 4 * 15.0f);
    EXPECT_EQ(calls[1].what, "caption move");
    EXPECT_EQ(calls[1].button, forms::vbLeftButton);  // the held buttons
    EXPECT_FLOAT_EQ(calls[1].x, 190 * 15.0f);
    EXPECT_FLOAT_EQ(calls[1].y, 80 * 15.0f);
    EXPECT_EQ(calls[2].what, "caption up");
    EXPECT_FLOAT_EQ(calls[2].x, -5 * 15.0f);
    EXPECT_FLOAT_EQ(calls[2].y, -17 * 15.0f);
}

TEST_F(MouseEventsTest, ImageInAPixelPanelReportsPixelsAndMovesWithoutAPressToo) {
    form.Show();
    Watch("picture", &form.Picture.OnMouseDown, &form.Picture.OnMouseMove, &form.Picture.OnMouseUp);
    // The picture's corner is at form pixel 155, 16 (panel 150, 10 plus 5, 6).
    Send(os::HostEvent::Type::Motion, 160, 20);
    Send(os::HostEvent::Type::ButtonDown, 175, 36);
    Send(os::HostEvent::Type::ButtonUp, 175, 36);
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[0].what, "picture move");
    EXPECT_EQ(calls[0].button, 0);
    EXPECT_FLOAT_EQ(calls[0].x, 5.0f);
    EXPECT_FLOAT_EQ(calls[0].y, 4.0f);
    EXPECT_EQ(calls[1].what, "picture down");
    EXPECT_FLOAT_EQ(calls[1].x, 20.0f);
    EXPECT_FLOAT_EQ(calls[1].y, 20.0f);
    EXPECT_EQ(calls[2].what, "picture up");
}

TEST_F(MouseEventsTest, DisabledLabelGetsNoMouseEvents) {
    form.Show();
    Watch("dim", &form.Dim.OnMouseDown, &form.Dim.OnMouseMove, &form.Dim.OnMouseUp);
    Send(os::HostEvent::Type::Motion, 20, 110);
    Send(os::HostEvent::Type::ButtonDown, 20, 110);
    Send(os::HostEvent::Type::Motion, 30, 115, 1);
    Send(os::HostEvent::Type::ButtonUp, 30, 115);
    EXPECT_TRUE(calls.empty());
    form.Dim.SetEnabled(true);
    Send(os::HostEvent::Type::ButtonDown, 20, 110);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].what, "dim down");
}

// From the first to the last column of the label's box holding text (anything but the
// label's grey back colour).
int TextWidth(forms::Form& f, forms::Label& label) {
    const os::Rect r = label.RectOnForm();
    const os::Surface* s = os::WindowSurface(f.hWnd());
    const std::uint32_t back = os::PixelFromColorref(label.BackColor());
    int first = -1, last = -1;
    for (int x = r.left; x < r.right; ++x)
        for (int y = r.top; y < r.bottom; ++y)
            if (s->pixel(x, y) != back) {
                if (first < 0) first = x;
                last = x;
                break;
            }
    return first < 0 ? 0 : last - first + 1;
}

TEST_F(MouseEventsTest, LabelFontEnlargesItsTextAndUnloadForgetsIt) {
    form.Show();
    form.Caption.SetForeColor(os::RGB(0, 0, 255));
    forms::DoEvents();
    const int small = TextWidth(form, form.Caption);
    form.Caption.SetFont("MS Sans Serif", 13.5);
    forms::DoEvents();
    const int large = TextWidth(form, form.Caption);
    EXPECT_GT(small, 10);
    EXPECT_GT(large, small * 3 / 2);
    EXPECT_EQ(form.Caption.FontName(), "MS Sans Serif");
    EXPECT_DOUBLE_EQ(form.Caption.FontSize(), 13.5);
    form.Unload();
    EXPECT_EQ(form.Caption.FontName(), "");
    EXPECT_DOUBLE_EQ(form.Caption.FontSize(), 8);
}

TEST_F(MouseEventsTest, ImageWithoutStretchTakesItsPicturesSize) {
    form.Show();
    os::Surface picture(30, 12, 0x123456);
    form.Picture.SetPicture(picture);
    EXPECT_FLOAT_EQ(form.Picture.Width(), 50);  // stretched: the box stays
    form.Picture.SetStretch(false);
    EXPECT_FLOAT_EQ(form.Picture.Width(), 30);
    EXPECT_FLOAT_EQ(form.Picture.Height(), 12);
    ASSERT_TRUE(form.Picture.LoadPicture("aircraft"));
    EXPECT_FLOAT_EQ(form.Picture.Width(), 144);
    EXPECT_FLOAT_EQ(form.Picture.Height(), 88);
    // On a twips form the size is the picture's in twips; the picture shows at its size.
    form.Loose.SetPicture(picture);
    EXPECT_FLOAT_EQ(form.Loose.Width(), 30 * 15);
    EXPECT_FLOAT_EQ(form.Loose.Height(), 12 * 15);
    forms::DoEvents();
    const os::Surface* s = os::WindowSurface(form.hWnd());
    EXPECT_EQ(s->pixel(10 + 29, 150 + 11), 0x123456u);
    EXPECT_NE(s->pixel(10 + 30, 150 + 11), 0x123456u);
}

}  // namespace
