// The window system over the headless host: styles, parents, the window walk, titles,
// cursor count, the saver-running grab, regions, event delivery and window pixels.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "support/headless_fixture.h"
#include "os/gdi.h"
#include "os/message_loop.h"
#include "os/window.h"

namespace {

using namespace os;

struct Recorder : WindowEvents {
    std::vector<std::string> log;
    std::function<void()> on_key;  // runs inside OnKeyDown
    void OnKeyDown(unsigned key, unsigned) override {
        log.push_back("down " + std::to_string(key));
        if (on_key) on_key();
    }
    void OnChar(std::uint32_t ch) override { log.push_back("char " + std::to_string(ch)); }
    void OnMouseDown(int b, unsigned, int x, int y) override {
        log.push_back("mdown " + std::to_string(b) + " " + std::to_string(x) + "," +
                      std::to_string(y));
    }
    void OnMouseMove(unsigned, unsigned, int x, int y) override {
        log.push_back("move " + std::to_string(x) + "," + std::to_string(y));
    }
    void OnCloseRequest() override { log.push_back("close"); }
    void OnHostDestroyed() override { log.push_back("gone"); }
};

class WindowSystemTest : public tavro_test::HeadlessFixture {
protected:
    HWND MakeWindow(const std::string& title, int x = 0, int y = 0, int w = 100, int h = 80,
                    WindowKind kind = WindowKind::Popup, WindowEvents* events = nullptr) {
        return CreateHostedWindow(
            WindowParams{.kind = kind, .x = x, .y = y, .width = w, .height = h, .title = title},
            events);
    }
    static HostWindowId Id(HWND h) { return static_cast<HostWindowId>(h); }
    std::vector<HWND> Walk(HWND from) {
        std::vector<HWND> seen;
        for (HWND h = GetWindow(from, GW_HWNDFIRST); h != 0 && seen.size() < 100;
             h = GetWindow(h, GW_HWNDNEXT))
            seen.push_back(h);
        return seen;
    }
};

// --- styles -------------------------------------------------------------------------

TEST_F(WindowSystemTest, StylesFollowKindAndVisibility) {
    const HWND popup = MakeWindow("p");
    const HWND dialog = MakeWindow("d", 0, 0, 50, 50, WindowKind::Dialog);
    EXPECT_EQ(GetWindowLongA(popup, GWL_STYLE), WS_POPUP);
    const LONG frame = WS_CAPTION | WS_SYSMENU;
    EXPECT_EQ(GetWindowLongA(dialog, GWL_STYLE) & frame, frame);
    ShowHostedWindow(popup, true);
    EXPECT_EQ(GetWindowLongA(popup, GWL_STYLE), WS_POPUP | WS_VISIBLE);
    ShowHostedWindow(popup, false);
    EXPECT_EQ(GetWindowLongA(popup, GWL_STYLE) & WS_VISIBLE, 0);
}

TEST_F(WindowSystemTest, SetWindowLongReturnsPreviousAndKeepsOtherBits) {
    const HWND h = MakeWindow("p");
    const LONG style = GetWindowLongA(h, GWL_STYLE);
    EXPECT_EQ(SetWindowLongA(h, GWL_STYLE, style | WS_CHILD), style);
    EXPECT_EQ(GetWindowLongA(h, GWL_STYLE), style | WS_CHILD);
    EXPECT_EQ(SetWindowLongA(h, GWL_STYLE, WS_BORDER), style | WS_CHILD);
    EXPECT_EQ(GetWindowLongA(h, GWL_STYLE), WS_BORDER);
}

TEST_F(WindowSystemTest, SetWindowLongOnWindowNotOursChangesNothing) {
    const HostWindowId foreign = host().AddForeignWindow("other", HostRect{0, 0, 10, 10});
    EXPECT_EQ(SetWindowLongA(static_cast<HWND>(foreign), GWL_STYLE, WS_CHILD), 0);
    EXPECT_EQ(GetWindowLongA(static_cast<HWND>(foreign), GWL_STYLE), 0);
    EXPECT_EQ(SetWindowLongA(424242, GWL_STYLE, WS_CHILD), 0);
    EXPECT_EQ(GetWindowLongA(424242, GWL_STYLE), 0);
}

// --- parents ------------------------------------------------------------------------

TEST_F(WindowSystemTest, SetParentIntoForeignWindowEmbedsIt) {
    const HostWindowId preview = host().AddForeignWindow("host", HostRect{300, 200, 452, 312});
    const HWND saver = MakeWindow("Preview", 0, 0, 152, 112);
    ASSERT_EQ(SetParent(saver, static_cast<HWND>(preview)), GetDesktopWindow());
    EXPECT_EQ(GetParent(saver), static_cast<HWND>(preview));
    EXPECT_EQ(host().ParentOf(Id(saver)), preview);
    const auto tops = host().TopLevelWindows();
    EXPECT_EQ(std::count(tops.begin(), tops.end(), Id(saver)), 0);

    // Placed at (0, 0) of the host window, size kept, made topmost.
    EXPECT_EQ(SetWindowPos(saver, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE), 1);
    RECT r;
    ASSERT_TRUE(GetWindowRect(saver, &r));
    EXPECT_EQ(r.left, 300);
    EXPECT_EQ(r.top, 200);
    EXPECT_EQ(r.right - r.left, 152);
    EXPECT_EQ(r.bottom - r.top, 112);
    EXPECT_EQ(host().SetTopmostCalls(Id(saver)), 1);
    EXPECT_EQ(WindowSurface(saver)->width(), 152);

    // And back out to the desktop: the previous parent is reported.
    EXPECT_EQ(SetParent(saver, GetDesktopWindow()), static_cast<HWND>(preview));
    EXPECT_EQ(GetParent(saver), 0);
    EXPECT_EQ(host().ParentOf(Id(saver)), 0u);
}

TEST_F(WindowSystemTest, SetParentFailsWithoutChangingAnything) {
    const HWND saver = MakeWindow("Preview");
    const HWND other = MakeWindow("other");
    EXPECT_EQ(SetParent(saver, 777777), 0);  // names no window
    EXPECT_EQ(SetParent(saver, 0), 0);
    EXPECT_EQ(SetParent(saver, saver), 0);
    EXPECT_EQ(SetParent(123456, other), 0);  // the child is not ours
    host().RefuseReparent(true);
    EXPECT_EQ(SetParent(saver, other), 0);
    host().RefuseReparent(false);
    EXPECT_EQ(GetParent(saver), 0);
    EXPECT_EQ(host().ParentOf(Id(saver)), 0u);
    const auto tops = host().TopLevelWindows();
    EXPECT_EQ(std::count(tops.begin(), tops.end(), Id(saver)), 1);

    // Nor may a window go inside its own child.
    ASSERT_EQ(SetParent(other, saver), GetDesktopWindow());
    EXPECT_EQ(SetParent(saver, other), 0);
}

TEST_F(WindowSystemTest, DestroyingParentDestroysOurChildren) {
    const HWND parent = MakeWindow("parent");
    const HWND child = MakeWindow("child");
    ASSERT_NE(SetParent(child, parent), 0);
    DestroyHostedWindow(parent);
    EXPECT_FALSE(IsWindow(child));
    EXPECT_FALSE(IsOurWindow(child));
    EXPECT_EQ(host().WindowCount(), 0);
}

// --- the window walk ---------------------------------------------------------------

TEST_F(WindowSystemTest, WalkCoversEveryTopLevelWindowInZOrder) {
    const HostWindowId a = host().AddForeignWindow("A", HostRect{0, 0, 10, 10});
    const HWND saver = MakeWindow("Screen saver");  // hidden: still walked
    const HostWindowId b = host().AddForeignWindow("B", HostRect{0, 0, 10, 10});

    std::vector<HWND> expected;
    for (HostWindowId id : host().TopLevelWindows()) expected.push_back(static_cast<HWND>(id));
    ASSERT_EQ(expected.size(), 3u);
    EXPECT_EQ(Walk(saver), expected);
    EXPECT_EQ(Walk(static_cast<HWND>(a)), expected);

    // Backwards from the last one.
    std::vector<HWND> back;
    for (HWND h = GetWindow(saver, GW_HWNDLAST); h != 0; h = GetWindow(h, GW_HWNDPREV))
        back.push_back(h);
    std::reverse(back.begin(), back.end());
    EXPECT_EQ(back, expected);

    // A topmost window comes first.
    SetWindowPos(saver, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    EXPECT_EQ(GetWindow(static_cast<HWND>(b), GW_HWNDFIRST), saver);
    EXPECT_EQ(GetWindow(GetDesktopWindow(), GW_CHILD), saver);

    // An embedded window leaves the top-level walk.
    ASSERT_NE(SetParent(saver, static_cast<HWND>(a)), 0);
    const std::vector<HWND> after = Walk(static_cast<HWND>(b));
    EXPECT_EQ(std::count(after.begin(), after.end(), saver), 0);
    EXPECT_EQ(after.size(), 2u);
    EXPECT_EQ(GetWindow(static_cast<HWND>(a), GW_CHILD), saver);
}

TEST_F(WindowSystemTest, ChildrenWalkTheirSiblingsNewestFirst) {
    const HWND parent = MakeWindow("parent");
    const HWND first = MakeWindow("1");
    const HWND second = MakeWindow("2");
    ASSERT_NE(SetParent(first, parent), 0);
    ASSERT_NE(SetParent(second, parent), 0);
    EXPECT_EQ(GetWindow(parent, GW_CHILD), second);
    EXPECT_EQ(GetWindow(second, GW_HWNDNEXT), first);
    EXPECT_EQ(GetWindow(first, GW_HWNDNEXT), 0);
    EXPECT_EQ(GetWindow(first, GW_HWNDFIRST), second);
    EXPECT_EQ(GetWindow(second, GW_HWNDPREV), 0);
    EXPECT_EQ(GetWindow(first, GW_OWNER), 0);
    EXPECT_EQ(GetWindow(909090, GW_HWNDFIRST), 0);
    EXPECT_EQ(GetWindow(909090, GW_HWNDNEXT), 0);
}

// --- titles ------------------------------------------------------------------------

TEST_F(WindowSystemTest, GetWindowTextBufferRules) {
    const HostWindowId w = host().AddForeignWindow("Screen saver", HostRect{0, 0, 5, 5});
    const HWND h = static_cast<HWND>(w);
    ASSERT_EQ(GetWindowTextLengthA(h), 12);

    char buf[32];
    std::fill(std::begin(buf), std::end(buf), 'x');
    EXPECT_EQ(GetWindowTextA(h, buf, 13), 12);  // exact fit
    EXPECT_STREQ(buf, "Screen saver");

    std::fill(std::begin(buf), std::end(buf), 'x');
    EXPECT_EQ(GetWindowTextA(h, buf, 7), 6);  // truncated, still terminated
    EXPECT_STREQ(buf, "Screen");
    EXPECT_EQ(buf[7], 'x');  // nothing written past max_count

    std::fill(std::begin(buf), std::end(buf), 'x');
    EXPECT_EQ(GetWindowTextA(h, buf, 1), 0);
    EXPECT_EQ(buf[0], '\0');
    EXPECT_EQ(buf[1], 'x');

    std::fill(std::begin(buf), std::end(buf), 'x');
    EXPECT_EQ(GetWindowTextA(h, buf, 0), 0);
    EXPECT_EQ(GetWindowTextA(h, buf, -5), 0);
    EXPECT_EQ(buf[0], 'x');  // no room: untouched

    EXPECT_EQ(GetWindowTextA(555555, buf, 32), 0);
    EXPECT_EQ(GetWindowTextLengthA(555555), 0);
    const HWND untitled = MakeWindow("");
    EXPECT_EQ(GetWindowTextA(untitled, buf, 32), 0);
    EXPECT_EQ(GetWindowTextLengthA(untitled), 0);
}

TEST_F(WindowSystemTest, SetWindowTextOnlyRenamesOurWindows) {
    const HWND ours = MakeWindow("old");
    const HostWindowId foreign = host().AddForeignWindow("theirs", HostRect{0, 0, 5, 5});
    EXPECT_EQ(SetWindowTextA(ours, "Screen saver"), 1);
    EXPECT_EQ(host().WindowTitle(Id(ours)), "Screen saver");
    EXPECT_EQ(SetWindowTextA(static_cast<HWND>(foreign), "mine now"), 0);
    EXPECT_EQ(host().WindowTitle(foreign), "theirs");
}

// --- cursor and saver declaration ----------------------------------------------------

TEST_F(WindowSystemTest, ShowCursorCountsAndAppliesToAllWindows) {
    const HWND a = MakeWindow("a");
    EXPECT_EQ(ShowCursor(0), -1);
    EXPECT_FALSE(host().CursorVisible(Id(a)));
    const HWND later = MakeWindow("later");
    EXPECT_FALSE(host().CursorVisible(Id(later)));
    EXPECT_EQ(ShowCursor(0), -2);
    EXPECT_EQ(ShowCursor(1), -1);
    EXPECT_FALSE(host().CursorVisible(Id(a)));
    EXPECT_EQ(ShowCursor(1), 0);
    EXPECT_TRUE(host().CursorVisible(Id(a)));
    EXPECT_TRUE(host().CursorVisible(Id(later)));
    EXPECT_EQ(ShowCursor(1), 1);
    EXPECT_EQ(CursorDisplayCount(), 1);
}

TEST_F(WindowSystemTest, SaverRunningGrabFollowsTopmostVisibleWindow) {
    const HWND saver = MakeWindow("Screen saver");
    BOOL previous = 7;
    const UINT all_bits = static_cast<UINT>(-1);
    EXPECT_EQ(SystemParametersInfoA(SPI_SCREENSAVERRUNNING, all_bits, &previous, 0), 1);
    EXPECT_EQ(previous, 0);
    EXPECT_TRUE(SaverDeclaredRunning());
    EXPECT_EQ(host().GrabbedWindow(), 0u);  // nothing of ours visible yet

    ShowHostedWindow(saver, true);
    SetWindowPos(saver, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE);
    EXPECT_EQ(host().GrabbedWindow(), Id(saver));

    const HWND prompt = MakeWindow("Password");
    SetWindowPos(prompt, HWND_TOPMOST, 10, 10, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    EXPECT_EQ(host().GrabbedWindow(), Id(prompt));
    DestroyHostedWindow(prompt);
    EXPECT_EQ(host().GrabbedWindow(), Id(saver));

    ShowHostedWindow(saver, false);
    EXPECT_EQ(host().GrabbedWindow(), 0u);
    ShowHostedWindow(saver, true);
    EXPECT_EQ(host().GrabbedWindow(), Id(saver));

    EXPECT_EQ(SystemParametersInfoA(SPI_SCREENSAVERRUNNING, 0, &previous, 0), 1);
    EXPECT_EQ(previous, 1);
    EXPECT_FALSE(SaverDeclaredRunning());
    EXPECT_EQ(host().GrabbedWindow(), 0u);
    EXPECT_EQ(SystemParametersInfoA(SPI_SCREENSAVERRUNNING, 0, nullptr, 0), 1);
}

TEST_F(WindowSystemTest, RefusedGrabIsTakenByTheLoopWithoutWaitingForAChange) {
    const HWND saver = MakeWindow("Screen saver");
    ShowHostedWindow(saver, true);
    host().RefuseGrab(true);  // another program holds the input
    SystemParametersInfoA(SPI_SCREENSAVERRUNNING, 1, nullptr, 0);
    EXPECT_EQ(host().GrabbedWindow(), 0u);
    PumpMessages();
    EXPECT_EQ(host().GrabbedWindow(), 0u);
    // The other program lets go at `free_at` and nothing reaches us: the refusal ends by the
    // clock alone (looked at on each pass). The loop, which wakes often enough while the grab
    // is missing and is otherwise idle, takes it within a few tens of milliseconds.
    const auto ms_to_take = [&](std::uint64_t free_at) {
        RunMessageLoop([&] {
            if (host().NowMs() >= free_at) host().RefuseGrab(false);
            return host().GrabbedWindow() == Id(saver);
        });
        return host().NowMs() - free_at;
    };
    EXPECT_LE(ms_to_take(100), 20u);
    EXPECT_EQ(host().GrabCount(), 1);
    PumpMessages();
    EXPECT_EQ(host().GrabCount(), 1);  // held: not taken again

    // The grab ends without a word (a server does so when a window manager hides the frame)
    // and another program takes the input: the loop asks again, is refused, keeps asking.
    host().ReleaseInput();
    host().RefuseGrab(true);
    EXPECT_LE(ms_to_take(host().NowMs() + 100), 20u);
    EXPECT_EQ(host().GrabCount(), 2);
    SystemParametersInfoA(SPI_SCREENSAVERRUNNING, 0, nullptr, 0);
}

TEST_F(WindowSystemTest, HiddenByAnotherProgramComesBackWhileASaverRuns) {
    const HWND saver = MakeWindow("Screen saver");
    SetWindowPos(saver, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    const HWND prompt = MakeWindow("Password", 10, 10);
    SetWindowPos(prompt, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    SystemParametersInfoA(SPI_SCREENSAVERRUNNING, 1, nullptr, 0);
    ASSERT_EQ(host().GrabbedWindow(), Id(prompt));

    host().HideFromOutside(prompt);
    EXPECT_EQ(host().GrabbedWindow(), 0u);
    PumpMessages();
    EXPECT_TRUE(host().IsShown(Id(prompt)));
    EXPECT_EQ(host().TopLevelWindows().front(), Id(prompt));
    EXPECT_EQ(host().GrabbedWindow(), Id(prompt));

    // The saver comes back below the prompt, which keeps the grab.
    host().HideFromOutside(saver);
    PumpMessages();
    EXPECT_TRUE(host().IsShown(Id(saver)));
    EXPECT_EQ(host().TopLevelWindows(), (std::vector<HostWindowId>{Id(prompt), Id(saver)}));
    EXPECT_EQ(host().GrabbedWindow(), Id(prompt));

    // With no saver running, a window hidden from outside stays hidden.
    SystemParametersInfoA(SPI_SCREENSAVERRUNNING, 0, nullptr, 0);
    host().HideFromOutside(prompt);
    PumpMessages();
    EXPECT_FALSE(host().IsShown(Id(prompt)));
}

TEST_F(WindowSystemTest, ReparentedOrMovedByAnotherProgramComesBackWhileASaverRuns) {
    const HWND saver = MakeWindow("Screen saver", 0, 0, 1024, 768);
    SetWindowPos(saver, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    const HWND prompt = MakeWindow("Password", 10, 10);
    SetWindowPos(prompt, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    const HostWindowId theirs = host().AddForeignWindow("theirs", HostRect{0, 0, 40, 40});
    host().ShowWindow(theirs, false);
    const HostWindowId preview = host().AddForeignWindow("host", HostRect{300, 200, 452, 312});
    const HWND embedded = MakeWindow("Preview", 0, 0, 152, 112);
    ASSERT_NE(SetParent(embedded, static_cast<HWND>(preview)), 0);
    ShowHostedWindow(embedded, true);
    SystemParametersInfoA(SPI_SCREENSAVERRUNNING, 1, nullptr, 0);
    ASSERT_EQ(host().GrabbedWindow(), Id(prompt));

    using Place = std::array<int, 5>;  // parent, then the edges on the screen
    const auto place = [&](HWND h) {
        const HostRect r = host().WindowRect(Id(h)).value_or(HostRect{});
        return Place{static_cast<int>(host().ParentOf(Id(h))), r.left, r.top, r.right, r.bottom};
    };
    const Place saver_place{0, 0, 0, 1024, 768}, prompt_place{0, 10, 10, 110, 90};
    const auto put_back = [&] {
        EXPECT_EQ(place(saver), saver_place);
        EXPECT_EQ(place(prompt), prompt_place);
        EXPECT_TRUE(host().IsShown(Id(saver)) && host().IsShown(Id(prompt)));
        const std::vector<HostWindowId> tops = host().TopLevelWindows();
        EXPECT_EQ(std::vector<HostWindowId>(tops.begin(), tops.begin() + 2),
                  (std::vector<HostWindowId>{Id(prompt), Id(saver)}));
        EXPECT_EQ(host().GrabbedWindow(), Id(prompt));
    };

    host().ReparentFromOutside(Id(prompt), theirs, 0, 0);
    EXPECT_EQ(host().GrabbedWindow(), 0u);
    PumpMessages();
    put_back();
    host().ReparentFromOutside(Id(saver), theirs, 3, 3);
    PumpMessages();
    put_back();
    host().MoveFromOutside(Id(saver), 300, 200);
    host().MoveFromOutside(Id(prompt), 500, 20);
    PumpMessages();
    put_back();

    // A window of ours inside another program's window stays where that program puts it.
    host().MoveFromOutside(Id(embedded), 7, 9);
    PumpMessages();
    EXPECT_EQ(place(embedded), (Place{static_cast<int>(preview), 307, 209, 459, 321}));

    // With no saver running, windows moved from outside stay where they were put.
    SystemParametersInfoA(SPI_SCREENSAVERRUNNING, 0, nullptr, 0);
    host().MoveFromOutside(Id(prompt), 500, 20);
    host().ReparentFromOutside(Id(saver), theirs, 0, 0);
    PumpMessages();
    EXPECT_EQ(place(prompt), (Place{0, 500, 20, 600, 100}));
    EXPECT_EQ(host().ParentOf(Id(saver)), theirs);
}

// --- regions -----------------------------------------------------------------------

TEST_F(WindowSystemTest, EllipticRegionCutsTheWindow) {
    const HWND about = MakeWindow("About", 100, 100, 380, 380);
    std::fill(WindowSurface(about)->row(0), WindowSurface(about)->row(0) + 380 * 380, 0xFF0000u);
    ShowHostedWindow(about, true);
    host().Desktop().row(100)[100] = 0x123456;

    const HRGN region = CreateEllipticRgn(12, 12, 368, 368);
    EXPECT_EQ(SetWindowRgn(about, region, 1), 1);
    const HostRect shape = host().ShapeOf(Id(about));
    EXPECT_EQ(shape.left, 12);
    EXPECT_EQ(shape.bottom, 368);
    PresentChangedWindows();
    EXPECT_EQ(host().ScreenPixel(100, 100), 0x123456u);  // corner cut away
    EXPECT_EQ(host().ScreenPixel(290, 290), 0xFF0000u);  // centre shown

    // A click outside the circle does not reach the window.
    Recorder rec;
    SetHostedWindowEvents(about, &rec);
    host().PushClick(Id(about), 2, 2);
    host().PushClick(Id(about), 190, 190);
    PumpMessages();
    EXPECT_EQ(rec.log, std::vector<std::string>{"mdown 1 190,190"});

    EXPECT_EQ(SetWindowRgn(about, 0, 1), 1);
    EXPECT_EQ(host().ShapeOf(Id(about)).width(), 0);
    EXPECT_EQ(SetWindowRgn(about, 999999, 1), 0);  // names no region
}

// --- events --------------------------------------------------------------------------

TEST_F(WindowSystemTest, KeyDownThenCharacterAndDestroyInsideHandlerIsSafe) {
    Recorder rec;
    const HWND h = MakeWindow("w", 0, 0, 10, 10, WindowKind::Popup, &rec);
    host().PushKey(Id(h), 65, 'a');
    host().PushKey(Id(h), 16, 0);  // a key typing nothing
    PumpMessages();
    EXPECT_EQ(rec.log, (std::vector<std::string>{"down 65", "char 97", "down 16"}));

    rec.log.clear();
    rec.on_key = [h] { DestroyHostedWindow(h); };
    host().PushKey(Id(h), 66, 'b');
    PumpMessages();
    EXPECT_EQ(rec.log, std::vector<std::string>{"down 66"});
    EXPECT_FALSE(IsWindow(h));
}

TEST_F(WindowSystemTest, ForeignParentDestroyedReachesTheEmbeddedWindow) {
    Recorder rec;
    const HostWindowId preview = host().AddForeignWindow("host", HostRect{0, 0, 50, 50});
    const HWND saver = MakeWindow("Preview", 0, 0, 50, 50, WindowKind::Popup, &rec);
    ASSERT_NE(SetParent(saver, static_cast<HWND>(preview)), 0);
    WindowSurface(saver)->row(3)[4] = 0xABCDEF;
    host().DestroyForeignWindow(preview);
    PumpMessages();
    EXPECT_EQ(rec.log, std::vector<std::string>{"gone"});
    EXPECT_TRUE(IsWindow(saver));  // the handle stays for the unload
    Surface* s = WindowSurface(saver);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->pixel(4, 3), 0xABCDEFu);  // its pixels were kept
    s->row(49)[49] = 1;                    // and are still writable
    PresentChangedWindows();
    DestroyHostedWindow(saver);
    EXPECT_EQ(host().WindowCount(), 0);
}

// --- pixels -------------------------------------------------------------------------

TEST_F(WindowSystemTest, ResizeKeepsPixelsThatStillFitAndRebinds) {
    const HWND h = MakeWindow("w", 0, 0, 20, 10);
    Surface* s = WindowSurface(h);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 20; ++x) s->row(y)[x] = static_cast<std::uint32_t>(y * 100 + x);

    MoveHostedWindow(h, 5, 6, 30, 8);
    ASSERT_EQ(s->width(), 30);
    ASSERT_EQ(s->height(), 8);
    int stride = 0;
    EXPECT_EQ(host().WindowPixels(Id(h), &stride), s->row(0));
    EXPECT_EQ(stride, s->stride());
    EXPECT_EQ(s->pixel(19, 7), 719u);
    EXPECT_EQ(s->pixel(0, 0), 0u);
    EXPECT_EQ(s->pixel(25, 2), 0u);  // new area

    RECT r;
    ASSERT_TRUE(GetWindowRect(h, &r));
    EXPECT_EQ(r.left, 5);
    EXPECT_EQ(r.top, 6);
    EXPECT_EQ(r.right, 35);
    EXPECT_EQ(r.bottom, 14);
}

TEST_F(WindowSystemTest, DesktopAndForegroundHandles) {
    RECT r;
    ASSERT_TRUE(GetWindowRect(GetDesktopWindow(), &r));
    EXPECT_EQ(r.right, 1024);
    EXPECT_EQ(r.bottom, 768);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 768);
    EXPECT_EQ(GetSystemMetrics(2), 0);
    EXPECT_TRUE(IsWindow(GetDesktopWindow()));
    EXPECT_FALSE(IsWindow(0));
    EXPECT_FALSE(IsWindow(31337));
    EXPECT_FALSE(GetWindowRect(31337, &r));
    const HWND h = MakeWindow("front");
    ShowHostedWindow(h, true);
    EXPECT_EQ(GetForegroundWindow(), h);
}

TEST_F(WindowSystemTest, ScreenWritesStayUntilCoveredByAPresent) {
    const HWND h = MakeWindow("w", 0, 0, 10, 10);
    ShowHostedWindow(h, true);
    PresentChangedWindows();
    const std::uint32_t dot = 0x00FF00;
    host().WriteScreen(&dot, 1, 5, 5, 1, 1);
    host().WriteScreen(&dot, 1, 50, 50, 1, 1);
    EXPECT_EQ(host().ScreenPixel(5, 5), dot);
    PresentChangedWindows();  // nothing changed: the drawing stays
    EXPECT_EQ(host().ScreenPixel(5, 5), dot);
    WindowSurface(h)->NoteWritten(Rect{0, 0, 10, 10});
    PresentChangedWindows();
    EXPECT_EQ(host().ScreenPixel(5, 5), 0u);
    EXPECT_EQ(host().ScreenPixel(50, 50), dot);  // outside the window
}

}  // namespace
