// Picture boxes as panels and picture holders, labels, icons, and a window taken away by
// its host.
#include <gtest/gtest.h>
#include <malloc.h>

#include <memory>

#include "forms/forms.h"
#include "os/gdi.h"
#include "os/window.h"
#include "resources/embedded.h"
#include "support/form_fixture.h"

namespace {

using tavro_test::At;

constexpr std::uint32_t kGrey = 0xC0C0C0;

class PanelForm : public forms::Form {
public:
    PanelForm() : forms::Form("PanelForm") {}
    forms::PictureBox Panel{*this, "Panel"};
    forms::CommandButton Inside{Panel, "Inside"};
    forms::Label Heading{Panel, "Heading"};
    forms::Label Wide{*this, "Wide"};
    forms::PictureBox Art{*this, "Art"};
    int inside_clicks = 0;

protected:
    void Design() override {
        tavro_test::PixelClient(*this, 300, 200);
        Panel.Move(20, 30, 100, 60);
        Panel.SetBackColor(0xFFFFFF);
        Panel.SetScaleMode(forms::ScaleMode::Pixels);
        Inside.Move(80, 40, 75, 23);  // runs past the panel's right and bottom edges
        Inside.SetCaption("In");
        Inside.OnClick = [this] { ++inside_clicks; };
        tavro_test::Place(Heading, 0, 0, 57, 33, "Event Timing");
        Heading.SetBackStyle(forms::BackStyle::Transparent);
        tavro_test::Place(Wide, 150, 10, 140, 33, "Event Timing");
        Wide.SetAlignment(forms::Alignment::Center);
        Art.SetVisible(false);
    }
};

// Rows [top, bottom) of the form holding a pixel darker than mid grey, within [left, right).
int DarkRows(forms::Form& f, int left, int top, int right, int bottom) {
    int rows = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x)
            if ((At(f, x, y) & 0xFF) < 0x60) {
                ++rows;
                break;
            }
    return rows;
}

using PanelTest = tavro_test::HeadlessFixture;

TEST_F(PanelTest, ChildrenSitInThePanelAndAreClippedToIt) {
    PanelForm f;
    f.Show();
    const os::Rect inside = f.Inside.RectOnForm();
    EXPECT_EQ(inside.left, 100);  // 20 + 80
    EXPECT_EQ(inside.top, 70);    // 30 + 40
    EXPECT_EQ(At(f, 100, 70), 0x000000u);  // the focused button's black frame
    EXPECT_EQ(At(f, 101, 71), 0xFFFFFFu);  // then its white raised edge
    // The panel ends at x 120, y 90: beyond it the form's grey, not the button.
    EXPECT_EQ(At(f, 125, 75), kGrey);
    EXPECT_EQ(At(f, 105, 92), kGrey);
}

TEST_F(PanelTest, ClickOnTheVisiblePartOfAPanelChildReachesIt) {
    PanelForm f;
    f.Show();
    host().PushClick(static_cast<os::HostWindowId>(f.hWnd()), 110, 80);
    forms::DoEvents();
    EXPECT_EQ(f.inside_clicks, 1);
    host().Advance(1000);
    host().PushClick(static_cast<os::HostWindowId>(f.hWnd()), 125, 80);  // outside the panel
    forms::DoEvents();
    EXPECT_EQ(f.inside_clicks, 1);
}

TEST_F(PanelTest, HiddenPanelHidesItsChildren) {
    PanelForm f;
    f.Show();
    f.Panel.SetVisible(false);
    forms::DoEvents();
    EXPECT_EQ(At(f, 100, 70), kGrey);
    EXPECT_EQ(At(f, 50, 50), kGrey);
    EXPECT_FALSE(f.Inside.EffectivelyVisible());
}

TEST_F(PanelTest, LabelWrapsWordsToItsWidth) {
    PanelForm f;
    f.Show();
    const os::Rect narrow = f.Heading.RectOnForm();
    const os::Rect wide = f.Wide.RectOnForm();
    const int half = narrow.height() / 2;
    // The narrow label needs two lines; the wide one fits the caption on its first.
    EXPECT_GT(DarkRows(f, narrow.left, narrow.top + half, narrow.right, narrow.bottom), 0);
    EXPECT_GT(DarkRows(f, narrow.left, narrow.top, narrow.right, narrow.top + half), 0);
    EXPECT_EQ(DarkRows(f, wide.left, wide.top + half, wide.right, wide.bottom), 0);
}

// The first and last columns of r that hold anything but the form's grey.
std::pair<int, int> InkColumns(forms::Form& f, const os::Rect& r) {
    int first = -1, last = -1;
    for (int x = r.left; x < r.right; ++x)
        for (int y = r.top; y < r.bottom; ++y)
            if (At(f, x, y) != kGrey) {
                if (first < 0) first = x;
                last = x;
                break;
            }
    return {first, last};
}

TEST_F(PanelTest, CentredLabelHasEqualMarginsAndLeftAlignedStartsAtTheEdge) {
    PanelForm f;
    f.Show();
    const os::Rect r = f.Wide.RectOnForm();
    const auto [first, last] = InkColumns(f, r);
    ASSERT_GE(first, 0);
    EXPECT_GT(first - r.left, 20);
    EXPECT_NEAR(first - r.left, r.right - 1 - last, 2);
    f.Wide.SetAlignment(forms::Alignment::Left);
    forms::DoEvents();
    const auto [left_first, left_last] = InkColumns(f, r);
    EXPECT_LE(left_first - r.left, 2);
    EXPECT_EQ(left_last - left_first, last - first);
}

TEST_F(PanelTest, PictureFromResourcesLandsAtTheImagesTopLeft) {
    PanelForm f;
    const resources::Blob blob = resources::Find("aircraft");
    ASSERT_FALSE(blob.empty());
    const auto decoded = os::LoadPictureFromMemory(blob.data, blob.size);
    ASSERT_NE(decoded, nullptr);
    f.Art.SetWidth(decoded->width() + 4);  // a little larger than the picture
    f.Art.SetHeight(decoded->height() + 4);
    ASSERT_TRUE(f.Art.LoadPicture("aircraft"));
    // Drawn and let go: neither the box nor the picture store holds the decoded picture.
    std::weak_ptr<const os::Surface> held;
    held = forms::ResourcePicture("aircraft");
    EXPECT_TRUE(held.expired());
    const os::Surface& img = f.Art.Image();
    for (int y = 0; y < decoded->height(); y += 7)
        for (int x = 0; x < decoded->width(); x += 5)
            ASSERT_EQ(img.pixel(x, y), decoded->pixel(x, y)) << x << "," << y;
    EXPECT_EQ(img.pixel(decoded->width() + 1, 0), os::PixelFromColorref(forms::ColorButtonFace));
    EXPECT_FALSE(f.Art.LoadPicture("no such picture"));
    // Another box can borrow the picture.
    f.Panel.SetPicture(*f.Art.Picture());
    EXPECT_EQ(f.Panel.Image().pixel(3, 3), decoded->pixel(3, 3));

    // Decoded on first use, with the result of loading at once: a fill made after the
    // load covers the picture, and the picture is there when asked for.
    f.Art.LoadPictureOnUse("aircraft");
    f.Art.SetBackColor(os::RGB(200, 0, 0));
    EXPECT_EQ(f.Art.Image().pixel(3, 3), os::PixelFromColorref(os::RGB(200, 0, 0)));
    f.Panel.LoadPictureOnUse("aircraft");
    ASSERT_NE(f.Panel.Picture(), nullptr);
    EXPECT_EQ(f.Panel.Picture()->pixel(3, 3), decoded->pixel(3, 3));
    EXPECT_EQ(f.Panel.Image().pixel(3, 3), decoded->pixel(3, 3));
}

// A hidden box sized to the screen takes no memory until something draws on it or reads
// it, and is then made once, at its final size.
TEST_F(PanelTest, HiddenImageIsMadeOnFirstUse) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the sanitizer's allocator keeps no malloc statistics";
#else
    const auto in_use = [] {
        const struct mallinfo2 m = mallinfo2();
        return static_cast<long long>(m.uordblks + m.hblkhd);
    };
    constexpr long long kScreenBytes = 1920LL * 1080 * 4;
    PanelForm f;
    f.Show();
    const long long before = in_use();
    f.Art.SetWidth(1920);
    f.Art.SetHeight(1080);
    f.Art.SetBackColor(os::RGB(0, 0, 200));
    f.Art.Cls();
    EXPECT_LT(in_use() - before, kScreenBytes / 8);
    // First use: the image is there at its size, in BackColor.
    EXPECT_EQ(f.Art.Image().width(), 1920);
    EXPECT_EQ(f.Art.Image().pixel(1919, 1079), os::PixelFromColorref(os::RGB(0, 0, 200)));
    EXPECT_GE(in_use() - before, kScreenBytes);
#endif
}

TEST_F(PanelTest, IconReachesTheWindow) {
    PanelForm f;
    const auto images = forms::LoadIconImages({"icon32", "icon16", "missing"});
    ASSERT_EQ(images.size(), 2u);
    EXPECT_EQ(images[0].width, 32);
    EXPECT_EQ(images[1].width, 16);
    f.SetIcon(images);
    const auto seen = host().LastIcon(static_cast<os::HostWindowId>(f.hWnd()));
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].argb, images[0].argb);
}

TEST_F(PanelTest, WindowDestroyedByItsHostUnloadsTheFormAndEndsTheModalDisplay) {
    struct Child : forms::Form {
        Child() : forms::Form("Child") {}
        int unloads = 0;
        void Design() override { SetBorderStyle(forms::BorderStyle::None); }
        void Form_Unload(int& Cancel) override {
            ++unloads;
            Cancel = 1;  // cannot keep a window that is gone
        }
    };
    Child f;
    const os::HostWindowId parent = host().AddForeignWindow("Host", os::HostRect{0, 0, 150, 100});
    const os::LONG style = os::GetWindowLongA(f.hWnd(), os::GWL_STYLE);
    os::SetWindowLongA(f.hWnd(), os::GWL_STYLE, style | os::WS_CHILD);
    ASSERT_NE(os::SetParent(f.hWnd(), static_cast<os::HWND>(parent)), 0);
    host().Schedule(200, [&] { host().DestroyForeignWindow(parent); });
    f.Show(true);
    EXPECT_FALSE(f.IsLoaded());
    EXPECT_EQ(f.unloads, 1);
}

}  // namespace
