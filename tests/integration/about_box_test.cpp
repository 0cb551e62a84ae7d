// The About box on the headless host, opened as the settings dialog's "About " button opens
// it: the growing-ellipse effect (its boxes, its colour, what it leaves on the screen, the
// message when the screen's context cannot be released), the centred round window, its
// captions and pictures, dragging by the background and the two front labels, and OK.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "dialogs/about_ss.h"
#include "dialogs/ss_config.h"
#include "forms/msgbox.h"
#include "os/gdi.h"
#include "os/window.h"
#include "platform/explode_form.h"
#include "settings/settings.h"
#include "support/saver_fixture.h"

namespace {

using tavro_test::SaverFixture;

constexpr std::uint32_t kFace = 0xC0C0C0;  // the forms' default back colour as a pixel

bool SameBox(const os::RECT& r, int left, int top, int right, int bottom) {
    return r.left == left && r.top == top && r.right == right && r.bottom == bottom;
}

bool SamePixels(const os::Surface* a, const os::Surface* b) {
    if (!a || !b || a->width() != b->width() || a->height() != b->height()) return false;
    for (int y = 0; y < a->height(); ++y)
        for (int x = 0; x < a->width(); ++x)
            if (a->pixel(x, y) != b->pixel(x, y)) return false;
    return true;
}

std::string BoxText(const os::RECT& r) {
    return "(" + std::to_string(r.left) + ", " + std::to_string(r.top) + ", " +
           std::to_string(r.right) + ", " + std::to_string(r.bottom) + ")";
}

class AboutBox : public SaverFixture {
protected:
    void SetUp() override {
        SaverFixture::SetUp();
        PaintDesktopPattern();
    }
    void TearDown() override {
        ExplodeFormGdi() = ExplodeFormCalls::Services();
        if (about().IsLoaded()) about().Unload();
        if (settings().IsLoaded()) settings().Unload();
        SaverFixture::TearDown();
    }

    SSconfig& settings() { return SSconfigInstance(); }
    AboutSS& about() { return AboutSSInstance(); }
    os::HostWindowId AboutWindow() { return static_cast<os::HostWindowId>(about().hWnd()); }
    os::RECT AboutRect() {
        os::RECT r;
        os::GetWindowRect(about().hWnd(), &r);
        return r;
    }

    // Runs each step 20 ms after the one before while the About box is open; the events a
    // step pushes are handled before the next step runs.
    void WhileOpen(std::vector<std::function<void()>> steps) {
        std::uint64_t t = host().NowMs();
        for (auto& step : steps) host().Schedule(t += 20, std::move(step));
        // Never leave the modal display waiting: a test that failed to close it ends here.
        host().Schedule(t + 1000, [this] {
            if (about().IsLoaded()) about().Unload();
        });
    }
    // Opens the settings dialog centred on the screen, as the settings road does, and
    // clicks its About button; returns when the box has closed again.
    void ClickAbout() {
        if (!settings().IsLoaded()) {
            LoadSettings();
            SSconfig& d = settings();
            d.SetLeft((forms::Screen.Width() - d.Width()) / 2);
            d.SetTop((forms::Screen.Height() - d.Height()) / 2);
            d.Show(false);
        }
        const os::Rect r = settings().Aboutshow.RectOnForm();
        host().PushClick(static_cast<os::HostWindowId>(settings().hWnd()),
                         (r.left + r.right) / 2, (r.top + r.bottom) / 2);
        forms::DoEvents();
    }

    // Pointer input at screen pixels, given to the About box in its client pixels.
    void Pointer(os::HostEvent::Type type, int sx, int sy, unsigned held) {
        const os::RECT r = AboutRect();
        os::HostEvent ev;
        ev.type = type;
        ev.window = AboutWindow();
        ev.x = sx - r.left;
        ev.y = sy - r.top;
        ev.button = 1;
        ev.buttons = held;
        host().Push(ev);
    }
    std::function<void()> Press(int sx, int sy) {
        return [=, this] { Pointer(os::HostEvent::Type::ButtonDown, sx, sy, 1); };
    }
    std::function<void()> MoveTo(int sx, int sy, unsigned held = 1) {
        return [=, this] { Pointer(os::HostEvent::Type::Motion, sx, sy, held); };
    }
    std::function<void()> Release(int sx, int sy) {
        return [=, this] { Pointer(os::HostEvent::Type::ButtonUp, sx, sy, 0); };
    }
    std::function<void()> ClickOk() {
        return [this] {
            const os::Rect r = about().OK.RectOnForm();
            host().PushClick(AboutWindow(), (r.left + r.right) / 2, (r.top + r.bottom) / 2);
        };
    }
    std::function<void()> Remember(os::RECT* where) {
        return [=, this] { *where = AboutRect(); };
    }

    // A press at (sx, sy) of the box as it opened, a drag by (dx, dy) in steps of a
    // quarter, the release, OK; the window rectangle before and after the drag.
    std::pair<os::RECT, os::RECT> Drag(int x, int y, int dx, int dy) {
        os::RECT before, after;
        const int sx = 322 + x, sy = 194 + y;
        std::vector<std::function<void()>> steps{Remember(&before), Press(sx, sy)};
        for (int i = 1; i <= 4; ++i) steps.push_back(MoveTo(sx + dx * i / 4, sy + dy * i / 4));
        steps.push_back(Release(sx + dx, sy + dy));
        steps.push_back(Remember(&after));
        steps.push_back(ClickOk());
        WhileOpen(std::move(steps));
        ClickAbout();
        return {before, after};
    }
};

// --- the opening effect ------------------------------------------------------------------------

struct Recording {
    std::vector<std::string> calls;
    std::vector<os::RECT> boxes;
    os::COLORREF brush_color = 0;
    bool box_visible_while_drawing = false;
};

void Record(Recording* rec) {
    ExplodeFormCalls& gdi = ExplodeFormGdi();
    const ExplodeFormCalls real = ExplodeFormCalls::Services();
    gdi.GetDC = [=](os::HWND hwnd) {
        rec->calls.push_back("GetDC " + std::to_string(hwnd));
        return real.GetDC(hwnd);
    };
    gdi.CreateSolidBrush = [=](os::COLORREF c) {
        rec->calls.push_back("CreateSolidBrush");
        rec->brush_color = c;
        return real.CreateSolidBrush(c);
    };
    gdi.SelectObject = [=](os::HDC dc, os::HGDIOBJ o) {
        rec->calls.push_back("SelectObject");
        return real.SelectObject(dc, o);
    };
    gdi.Ellipse = [=](os::HDC dc, int l, int t, int r, int b) {
        if (rec->calls.empty() || rec->calls.back() != "Ellipse") rec->calls.push_back("Ellipse");
        rec->boxes.push_back(os::RECT{l, t, r, b});
        if (os::IsWindowVisible(AboutSSInstance().hWnd())) rec->box_visible_while_drawing = true;
        return real.Ellipse(dc, l, t, r, b);
    };
    gdi.ReleaseDC = [=](os::HWND hwnd, os::HDC dc) {
        rec->calls.push_back("ReleaseDC " + std::to_string(hwnd));
        return real.ReleaseDC(hwnd, dc);
    };
    gdi.DeleteObject = [=](os::HGDIOBJ o) {
        rec->calls.push_back("DeleteObject");
        return real.DeleteObject(o);
    };
}

TEST_F(AboutBox, CentredBoxGetsTheEllipsesOfItsWindowRectangle) {
    Recording rec;
    Record(&rec);
    os::RECT shown{};
    float left = 0, top = 0;
    WhileOpen({[&] {
                   shown = AboutRect();
                   left = about().Left();
                   top = about().Top();
               },
               ClickOk()});
    ClickAbout();

    // (1024 - 380) / 2 and (768 - 380) / 2, computed in twips.
    EXPECT_FLOAT_EQ(left, 4830.0f);
    EXPECT_FLOAT_EQ(top, 2910.0f);
    EXPECT_TRUE(SameBox(shown, 322, 194, 702, 574)) << BoxText(shown);
    const std::vector<std::string> order{"GetDC 0",      "CreateSolidBrush", "SelectObject",
                                         "Ellipse",      "SelectObject",     "ReleaseDC 0",
                                         "DeleteObject"};
    EXPECT_EQ(rec.calls, order);
    ASSERT_EQ(rec.boxes.size(), 181u);
    EXPECT_TRUE(SameBox(rec.boxes[0], 500, 372, 523, 394)) << BoxText(rec.boxes[0]);
    EXPECT_TRUE(SameBox(rec.boxes[1], 499, 372, 524, 396)) << BoxText(rec.boxes[1]);
    EXPECT_TRUE(SameBox(rec.boxes[180], 336, 208, 687, 559)) << BoxText(rec.boxes[180]);
    // The width keeps its fraction, the height is rounded at once: 23 wide, 22 high.
    EXPECT_EQ(rec.boxes[0].right - rec.boxes[0].left, 23);
    EXPECT_EQ(rec.boxes[0].bottom - rec.boxes[0].top, 22);
    // Each box holds the one before it.
    for (std::size_t i = 1; i < rec.boxes.size(); ++i) {
        EXPECT_LE(rec.boxes[i].left, rec.boxes[i - 1].left) << i;
        EXPECT_GE(rec.boxes[i].right, rec.boxes[i - 1].right) << i;
    }
    EXPECT_EQ(rec.brush_color, os::RGB(192, 192, 192));
    EXPECT_FALSE(rec.box_visible_while_drawing);
}

// A plain form standing where the About box stands, for the corner mode and other colours.
class Target : public forms::Form {
public:
    Target() : forms::Form("Target") {}
    os::COLORREF back = 0;

protected:
    void Design() override {
        SetBorderStyle(forms::BorderStyle::None);
        Move(4830, 2910, 5700, 5700);
        SetBackColor(back);
    }
};

TEST_F(AboutBox, CornerModeGrowsFromTheTopLeftAndDrawsOnTheScreen) {
    Target target;
    target.back = os::RGB(20, 200, 40);
    std::vector<os::RECT> boxes;
    std::uint32_t first_inside = 0, first_right = 0, last_middle = 0, last_outline = 0,
                  last_outside = 0;
    bool last_inside_box_visible = true;
    ExplodeFormCalls& gdi = ExplodeFormGdi();
    const ExplodeFormCalls real = ExplodeFormCalls::Services();
    gdi.Ellipse = [&](os::HDC dc, int l, int t, int r, int b) {
        boxes.push_back(os::RECT{l, t, r, b});
        const os::BOOL ok = real.Ellipse(dc, l, t, r, b);
        if (boxes.size() == 1) {
            first_inside = host().ScreenPixel(347, 219);
            first_right = host().ScreenPixel(360, 219);
        }
        return ok;
    };
    // Just before the form is shown: the last ellipse on the screen, the form not yet.
    gdi.ReleaseDC = [&](os::HWND hwnd, os::HDC dc) {
        last_middle = host().ScreenPixel(511, 383);
        last_outline = host().ScreenPixel(336, 383);
        last_outside = host().ScreenPixel(335, 383);
        last_inside_box_visible = os::IsWindowVisible(target.hWnd()) != 0;
        return real.ReleaseDC(hwnd, dc);
    };
    host().Schedule(host().NowMs() + 50, [&] { target.Unload(); });
    ExplodeForm(target, 0);

    ASSERT_EQ(boxes.size(), 181u);
    EXPECT_TRUE(SameBox(boxes[0], 336, 208, 358, 230)) << BoxText(boxes[0]);
    EXPECT_TRUE(SameBox(boxes[180], 336, 208, 687, 559)) << BoxText(boxes[180]);
    for (const os::RECT& b : boxes) EXPECT_TRUE(b.left == 336 && b.top == 208);
    const std::uint32_t green = os::PixelFromColorref(target.back);
    EXPECT_EQ(first_inside, green);
    EXPECT_EQ(first_right, tavro_test::DesktopPatternPixel(360, 219));
    EXPECT_EQ(last_middle, green);
    EXPECT_EQ(last_outline, 0x000000u);  // the screen's default pen
    EXPECT_EQ(last_outside, tavro_test::DesktopPatternPixel(335, 383));
    EXPECT_FALSE(last_inside_box_visible);
    EXPECT_FALSE(target.IsLoaded());
}

TEST_F(AboutBox, SystemColourReferenceIsResolvedForTheBrush) {
    Target target;
    target.back = 0x80000000u | os::COLOR_BTNSHADOW;
    os::COLORREF brush = 0;
    ExplodeFormGdi().CreateSolidBrush = [&](os::COLORREF c) {
        brush = c;
        return os::CreateSolidBrush(c);
    };
    std::uint32_t middle = 0;
    ExplodeFormGdi().ReleaseDC = [&](os::HWND hwnd, os::HDC dc) {
        middle = host().ScreenPixel(511, 383);
        return os::ReleaseDC(hwnd, dc);
    };
    host().Schedule(host().NowMs() + 50, [&] { target.Unload(); });
    ExplodeForm(target, -1);
    EXPECT_EQ(brush, os::GetSysColor(os::COLOR_BTNSHADOW));
    EXPECT_EQ(middle, os::PixelFromColorref(os::GetSysColor(os::COLOR_BTNSHADOW)));
}

TEST_F(AboutBox, BoxesOfAnOblongWindowFollowTheSameRules) {
    const os::RECT window{100, 50, 301, 130};  // cx = 186, cy = 65
    const os::RECT first = ExplodeEllipseBox(window, 1, 20);
    // w = 18.6, h = nearest(6.5) = 6; x = 100 + 83.7, y = 50 + 29.5.
    EXPECT_TRUE(SameBox(first, 198, 94, 202, 86)) << BoxText(first);
    const os::RECT last = ExplodeEllipseBox(window, 1, 200);
    EXPECT_TRUE(SameBox(last, 114, 64, 286, 115)) << BoxText(last);
    const os::RECT corner = ExplodeEllipseBox(window, 0, 101);
    // w = 93.93, h = nearest(32.825) = 33.
    EXPECT_TRUE(SameBox(corner, 114, 64, 194, 83)) << BoxText(corner);
}

TEST_F(AboutBox, ReleaseFailureShowsTheMessageBeforeTheBox) {
    ExplodeFormGdi().ReleaseDC = [](os::HWND hwnd, os::HDC dc) {
        os::ReleaseDC(hwnd, dc);
        return 0;
    };
    forms::OpenMessageBox seen;
    bool box_open = false, about_visible_with_message = true, about_visible_after = false;
    WhileOpen({[&] {
                   box_open = forms::MessageBoxOpen(&seen);
                   about_visible_with_message = os::IsWindowVisible(about().hWnd()) != 0;
                   if (box_open)
                       host().PushKey(static_cast<os::HostWindowId>(seen.hwnd),
                                      forms::vbKeyReturn, '\r');
               },
               [&] {
                   about_visible_after =
                       about().IsLoaded() && os::IsWindowVisible(about().hWnd()) != 0;
               },
               ClickOk()});
    ClickAbout();
    ASSERT_TRUE(box_open);
    EXPECT_EQ(seen.prompt, "Unable to Release Device Context");
    EXPECT_EQ(seen.caption, "Device Error");
    EXPECT_EQ(seen.style, forms::vbCritical);
    EXPECT_FALSE(about_visible_with_message);
    EXPECT_TRUE(about_visible_after);
    EXPECT_FALSE(about().IsLoaded());
}

// --- the box itself ------------------------------------------------------------------------------

TEST_F(AboutBox, CaptionsPicturesAndVersionLineAlsoOnASecondOpening) {
    std::vector<std::string> versions;
    std::string label1, label2, label3, label4, label5, caption;
    int f16_width = 0, f16_height = 0;
    bool same_aircraft = false;
    auto look = [&] {
        AboutSS& a = about();
        versions.push_back(a.Version.Caption());
        label1 = a.Label1.Caption();
        label2 = a.Label2.Caption();
        label3 = a.Label3.Caption();
        label4 = a.Label4.Caption();
        label5 = a.Label5.Caption();
        caption = a.Caption();
        same_aircraft = SamePixels(a.F16Bck.Picture(), settings().F16Bck.Picture());
        f16_width = static_cast<int>(a.F16Bck.Width());
        f16_height = static_cast<int>(a.F16Bck.Height());
    };
    WhileOpen({look, ClickOk()});
    ClickAbout();
    WhileOpen({look, ClickOk()});
    ClickAbout();

    const std::vector<std::string> expected{"Version No. 1.6.3", "Version No. 1.6.3"};
    EXPECT_EQ(versions, expected);
    EXPECT_EQ(caption, "About ...");
    EXPECT_EQ(label1, "TAVRO Screen Saver");
    EXPECT_EQ(label2, "TAVRO Screen Saver");
    EXPECT_EQ(label3, "Written By Kolmi Ardev");
    EXPECT_EQ(label4, "Written By Kolmi Ardev");
    ASSERT_EQ(label5.rfind("Special Thanks:", 0), 0u) << label5;
    const auto pictures = label5.find("(Pictures)"), editing = label5.find("(Editing)");
    ASSERT_NE(pictures, std::string::npos);
    ASSERT_NE(editing, std::string::npos);
    EXPECT_LT(pictures, editing);
    EXPECT_TRUE(same_aircraft);
    EXPECT_EQ(f16_width, 144 * 15);  // the picture's own size, not the designed box
    EXPECT_EQ(f16_height, 88 * 15);
}

TEST_F(AboutBox, WindowIsCutToACircleThatAloneTakesThePointer) {
    os::HostRect shape{};
    std::uint32_t corner = 0, inside = 0, picture_pixel = 0;
    os::RECT after_outside_drag{}, after_inside_drag{};
    WhileOpen({[&] {
                   shape = host().ShapeOf(AboutWindow());
                   corner = host().ScreenPixel(322 + 5, 194 + 5);
                   inside = host().ScreenPixel(322 + 190, 194 + 300);
                   const os::Surface* bg = about().Image1.Picture();
                   picture_pixel = bg ? bg->pixel(110, 173) : 0;
               },
               // A press in the square's corner, outside the circle, on the background.
               Press(322 + 20, 194 + 20), MoveTo(322 + 60, 194 + 60), Release(322 + 60, 194 + 60),
               Remember(&after_outside_drag),
               Press(322 + 190, 194 + 290), MoveTo(322 + 230, 194 + 330),
               Release(322 + 230, 194 + 330), Remember(&after_inside_drag), ClickOk()});
    ClickAbout();
    EXPECT_EQ(shape.left, 12);
    EXPECT_EQ(shape.top, 12);
    EXPECT_EQ(shape.right, 368);
    EXPECT_EQ(shape.bottom, 368);
    EXPECT_EQ(corner, tavro_test::DesktopPatternPixel(322 + 5, 194 + 5));
    // The background is stretched over 380 pixels: (190, 300) shows picture pixel (110, 173).
    EXPECT_EQ(inside, picture_pixel);
    EXPECT_TRUE(SameBox(after_outside_drag, 322, 194, 702, 574)) << BoxText(after_outside_drag);
    EXPECT_TRUE(SameBox(after_inside_drag, 362, 234, 742, 614)) << BoxText(after_inside_drag);
}

TEST_F(AboutBox, DraggingTheBackgroundOrAFrontLabelMovesTheWindowWithThePointer) {
    struct Handle {
        const char* name;
        int x, y;  // a client pixel of that control not covered by another
    };
    const Handle handles[] = {{"Image1", 190, 290}, {"Label1", 100, 50}, {"Label3", 120, 100}};
    for (const Handle& h : handles) {
        const auto [before, after] = Drag(h.x, h.y, 60, -45);
        EXPECT_TRUE(SameBox(before, 322, 194, 702, 574)) << h.name;
        EXPECT_TRUE(SameBox(after, 382, 149, 762, 529)) << h.name << " " << BoxText(after);
    }
    EXPECT_EQ(about().Dragging(), 0);
}

TEST_F(AboutBox, DragSumsOffsetAndPositionBeforeItsOneRounding) {
    // Far from the pressed point the pointer's coordinate leaves single precision's whole
    // numbers: 16777215 - (-6) + 1 is 16777222 exactly, which a single float holds, while
    // rounding the offset 16777221 first (to 16777220) would end at 16777220.
    AboutSS& a = about();
    a.SetLeft(1);
    a.SetTop(0.25f);
    a.Image1_MouseDown(1, 0, -6, 3);
    a.Image1_MouseMove(1, 0, 16777215.0f, 3.5f);
    EXPECT_EQ(a.Left(), 16777222.0f);  // exact: one unit in the last place matters here
    EXPECT_EQ(a.Top(), 0.75f);         // 3.5 - 3 + 0.25
    a.Image1_MouseUp(1, 0, 0, 0);
    a.Image1_MouseMove(1, 0, 100, 100);
    EXPECT_EQ(a.Left(), 16777222.0f);  // released: no further move
}

TEST_F(AboutBox, PressesOnOtherControlsAndMovesWithoutAPressMoveNothing) {
    struct Spot {
        const char* name;
        int x, y;
    };
    // Label5 and Version are disabled, F16Bck too; OK is a button. Each spot lies inside
    // the round window and on that control alone among the front ones (Version: 8 to 186
    // by 128 to 149, left of Label5 and below Label3).
    const Spot spots[] = {{"Label5", 60, 185}, {"Version", 40, 140}, {"F16Bck", 300, 180},
                          {"OK", 160, 330}};
    for (const Spot& s : spots) {
        const double dx = s.x + 0.5 - 190, dy = s.y + 0.5 - 190;
        ASSERT_LE(dx * dx + dy * dy, 178.0 * 178.0) << s.name << " is outside the circle";
        const auto [before, after] = Drag(s.x, s.y, 50, 30);
        EXPECT_TRUE(SameBox(after, before.left, before.top, before.right, before.bottom))
            << s.name << " " << BoxText(after);
    }
    os::RECT after{};
    WhileOpen({MoveTo(322 + 190, 194 + 290, 0), MoveTo(322 + 250, 194 + 200, 1),
               MoveTo(322 + 300, 194 + 250, 0), Remember(&after), ClickOk()});
    ClickAbout();
    EXPECT_TRUE(SameBox(after, 322, 194, 702, 574)) << BoxText(after);
}

TEST_F(AboutBox, OkEnterAndSpaceCloseItEscDoesNotAndTheSettingsDialogGoesOn) {
    bool loaded_after_esc = false;
    WhileOpen({[&] { host().PushKey(AboutWindow(), forms::vbKeyEscape, 27); },
               [&] {
                   loaded_after_esc = about().IsLoaded();
                   host().PushKey(AboutWindow(), forms::vbKeyReturn, '\r');
               }});
    ClickAbout();
    EXPECT_TRUE(loaded_after_esc);
    EXPECT_FALSE(about().IsLoaded());

    WhileOpen({[&] { host().PushKey(AboutWindow(), forms::vbKeySpace, ' '); }});
    const std::uint64_t start = host().NowMs();
    ClickAbout();
    EXPECT_FALSE(about().IsLoaded());
    EXPECT_LT(host().NowMs() - start, 500u) << "Space did not press OK";

    // Back in the settings dialog, which still takes its own input.
    ASSERT_TRUE(settings().IsLoaded());
    host().PushKey(static_cast<os::HostWindowId>(settings().hWnd()), forms::vbKeyEscape, 27);
    forms::DoEvents();
    EXPECT_FALSE(settings().IsLoaded());
}

}  // namespace
