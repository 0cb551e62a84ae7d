// The real executable's About box on an X display: the settings dialog's "About " button
// opens a round box centred on the screen (the corners of its square show what lies
// beneath), the box follows a drag of its background, and OK closes it, leaving the
// settings dialog running.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "support/x/on_x.h"

namespace {

using e2e::Keep;
using e2e::SaverProcess;
using e2e::Shot;
using e2e::XSession;

// The About button's middle in the settings dialog's client pixels (panel at 8, 8).
constexpr int kAboutX = 8 + 336 + 38, kAboutY = 8 + 152 + 11;
// The About box: 380 pixels square, cut to the circle inscribed in (12, 12)-(368, 368);
// OK's middle and a spot of the background picture clear of every label.
constexpr int kSide = 380;
constexpr int kOkX = 152 + 37, kOkY = 320 + 10;
constexpr int kBackgroundX = 190, kBackgroundY = 290;

bool InsideCircle(int x, int y) {
    const double dx = x + 0.5 - 190, dy = y + 0.5 - 190;
    return dx * dx + dy * dy <= 176.0 * 176.0;
}

class AboutOnX : public e2e::OnX {
protected:
    AboutOnX() : OnX(Pointer::Corner, Hive::Shared) {}

    void Button(bool down) {
        XTestFakeButtonEvent(x_.display(), 1, down ? True : False, CurrentTime);
        x_.Sync();
    }
    // Presses at `from`, moves the pointer in small steps by (dx, dy) and releases. The
    // box moves by the pointer's offset within it, so each step waits until the box has
    // followed the one before (a move reported before the box stands at its new place
    // would count twice). False when the box did not follow.
    bool Drag(unsigned long window, int from_x, int from_y, int dx, int dy) {
        const auto start = x_.WindowPlacement(window);
        if (!start) return false;
        x_.MovePointer(from_x, from_y);
        x_.Separate(window);
        Button(true);
        constexpr int kSteps = 10;
        bool followed = true;
        for (int i = 1; i <= kSteps && followed; ++i) {
            x_.MovePointer(from_x + dx * i / kSteps, from_y + dy * i / kSteps);
            followed = e2e::WaitUntil(
                [&] {
                    const auto now = x_.WindowPlacement(window);
                    return now && now->x == start->x + dx * i / kSteps &&
                           now->y == start->y + dy * i / kSteps;
                },
                3000);
        }
        Button(false);
        return followed;
    }
};

TEST_F(AboutOnX, OpensRoundAndCentredFollowsADragAndClosesWithOk) {
    SaverProcess p(dir_.path());
    p.Start({"/c"});
    const unsigned long dialog = x_.WaitForWindow("Tavro Screen Saver", 10000);
    ASSERT_NE(dialog, 0u) << p.Stderr();
    // Painted: the grey face at its top-left corner.
    ASSERT_TRUE(x_.WaitForWindowShot(
        dialog, [](const Shot& s) { return s.at(3, 3) == 0xC0C0C0u; }, 3000));
    const auto at = x_.WindowPlacement(dialog);
    ASSERT_TRUE(at.has_value());

    x_.Click(at->x + kAboutX, at->y + kAboutY);
    const unsigned long about = x_.WaitForWindow("About ...", 10000);
    ASSERT_NE(about, 0u) << p.Stderr();
    const auto placed = x_.WindowPlacement(about);
    ASSERT_TRUE(placed.has_value());
    EXPECT_EQ(placed->width, kSide);
    EXPECT_EQ(placed->height, kSide);
    // Centred in twips: (screen - 5700 twips) / 2, at the nearest pixel.
    EXPECT_EQ(placed->x, static_cast<int>(std::nearbyint((x_.width() * 15.0 - 5700) / 2 / 15)));
    EXPECT_EQ(placed->y, static_cast<int>(std::nearbyint((x_.height() * 15.0 - 5700) / 2 / 15)));

    // Shown once its background picture is drawn inside the circle (it is not the grey of
    // a bare form).
    const auto background_drawn = [&](const Shot& s) {
        int picture = 0;
        for (int y = 40; y < 340; y += 5)
            for (int x = 40; x < 340; x += 5)
                if (InsideCircle(x, y) && s.at(placed->x + x, placed->y + y) != 0xC0C0C0u)
                    ++picture;
        return picture > 2000;
    };
    const auto drawn = x_.WaitForScreen(background_drawn, 3000);
    ASSERT_TRUE(drawn.has_value()) << "the background picture is not drawn";
    const Shot& opened = *drawn;
    Keep(opened, "about-box");
    // The square's corners show the desktop or the settings dialog, not the box; inside
    // the circle the background picture is drawn (it is not the grey of a bare form).
    // On 1024 x 768 the box's top and bottom rows lie above and below the dialog.
    const int corners[][2] = {{2, 2}, {kSide - 3, 2}, {2, kSide - 3}, {kSide - 3, kSide - 3}};
    int over_desktop = 0;
    for (const auto& c : corners) {
        ASSERT_FALSE(InsideCircle(c[0], c[1]));
        const int sx = placed->x + c[0], sy = placed->y + c[1];
        const bool over_dialog = sx >= at->x && sx < at->x + at->width && sy >= at->y &&
                                 sy < at->y + at->height;
        if (over_dialog) continue;
        ++over_desktop;
        EXPECT_EQ(opened.at(sx, sy), XSession::DesktopPixel(sx, sy)) << sx << "," << sy;
    }
    EXPECT_GE(over_desktop, 2);

    // Drag the background right and up: the box follows the pointer.
    const bool followed =
        Drag(about, placed->x + kBackgroundX, placed->y + kBackgroundY, 100, -80);
    const auto moved = x_.WindowPlacement(about);
    ASSERT_TRUE(moved.has_value());
    EXPECT_TRUE(followed) << "the box stands at " << moved->x << "," << moved->y;
    EXPECT_EQ(moved->x, placed->x + 100);
    EXPECT_EQ(moved->y, placed->y - 80);
    Keep(x_.Screenshot(), "about-box-dragged");

    // OK closes the box; the settings dialog is still running and Esc ends it.
    x_.Click(moved->x + kOkX, moved->y + kOkY);
    EXPECT_TRUE(x_.WaitForNoWindow("About ...", 3000));
    EXPECT_TRUE(p.Running());
    x_.Key("Escape");
    const auto code = p.Wait(3000);
    ASSERT_TRUE(code.has_value()) << "Esc did not close the settings dialog";
    EXPECT_EQ(*code, 0);
}

}  // namespace
