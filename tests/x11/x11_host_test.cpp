// The X11 host on a real display (run under scripts/with-xvfb.sh). A second connection of
// the test's own plays "another program": it makes foreign windows, reads the screen raw
// and injects input with XTest.
#include "hosts/x11/x11_host.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace {
// Event kinds whose names Xlib's macros hide once its headers are in.
using EventType = os::HostEvent::Type;
constexpr EventType kExpose = EventType::Expose;
}  // namespace

#include <sys/socket.h>

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xfixes.h>
#include <X11/keysym.h>

namespace {

using os::HostEvent;
using os::HostWindowId;
using os::WindowKind;

constexpr std::uint32_t kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF;

// A rectangle's edges in a form the checks can compare and print.
using EdgeList = std::optional<std::array<int, 4>>;
EdgeList Edges(const std::optional<os::HostRect>& rect) {
    if (!rect) return std::nullopt;
    return std::array<int, 4>{rect->left, rect->top, rect->right, rect->bottom};
}

std::uint32_t Pattern(int x, int y) {
    return (static_cast<std::uint32_t>(x * 4 & 0xFF) << 16) |
           (static_cast<std::uint32_t>(y * 5 & 0xFF) << 8) |
           static_cast<std::uint32_t>((x + y) & 0xFF);
}

class X11HostTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::getenv("DISPLAY")) GTEST_SKIP() << "DISPLAY is not set";
        std::string error;
        host_ = hosts::CreateX11Host(&error);
        ASSERT_NE(host_, nullptr) << error;
        other_ = XOpenDisplay(nullptr);
        ASSERT_NE(other_, nullptr);
        root_ = DefaultRootWindow(other_);
    }

    void TearDown() override {
        host_.reset();
        if (other_) XCloseDisplay(other_);
    }

    // A window property as another client sees it: its type (0 when the window has none by
    // that name) and its 32-bit items, which Xlib hands over as sign-extended longs.
    struct Property {
        Atom type = 0;
        std::vector<std::uint32_t> words;
    };
    std::optional<Property> ReadProperty(Window id, const char* name, Atom type, long max_items) {
        Property p;
        int format = 0;
        unsigned long items = 0, after = 0;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(other_, id, XInternAtom(other_, name, False), 0, max_items, False,
                               type, &p.type, &format, &items, &after, &data) != Success)
            return std::nullopt;
        for (unsigned long i = 0; i < items; ++i)
            p.words.push_back(reinterpret_cast<const unsigned long*>(data)[i] & 0xFFFFFFFFu);
        if (data) XFree(data);
        return p;
    }

    // Fills the window's pixels with a colour (or the pattern when colour is nullopt).
    void Fill(HostWindowId id, std::optional<std::uint32_t> colour) {
        int stride = 0;
        std::uint32_t* pixels = host_->WindowPixels(id, &stride);
        ASSERT_NE(pixels, nullptr);
        const auto rect = host_->WindowRect(id);
        ASSERT_TRUE(rect);
        for (int y = 0; y < rect->height(); ++y) {
            for (int x = 0; x < rect->width(); ++x) {
                pixels[y * stride + x] = colour ? *colour : Pattern(x, y);
            }
        }
    }

    void PresentAll(HostWindowId id) {
        const auto rect = host_->WindowRect(id);
        ASSERT_TRUE(rect);
        const os::HostRect all{0, 0, rect->width(), rect->height()};
        host_->Present(id, &all, 1);
    }

    // A shown popup filled with colour (or the pattern), on the screen when this returns.
    HostWindowId ShowPopup(int x, int y, int w, int h, std::optional<std::uint32_t> colour) {
        const HostWindowId id = host_->CreateWindow({WindowKind::Popup, x, y, w, h, "popup"});
        EXPECT_NE(id, 0u);
        Fill(id, colour);
        host_->ShowWindow(id, true);
        EXPECT_TRUE(WaitFor(kExpose, id));
        PresentAll(id);
        return id;
    }

    // Pumps the host's events until one of the given type for the window comes.
    std::optional<HostEvent> WaitFor(EventType type, HostWindowId id, int timeout_ms = 2000) {
        const auto deadline = Now() + timeout_ms;
        HostEvent ev;
        for (long left = timeout_ms; left > 0; left = deadline - Now()) {
            if (host_->NextEvent(&ev, static_cast<int>(left)) && ev.type == type &&
                ev.window == id) {
                return ev;
            }
        }
        return std::nullopt;
    }

    void Pump(int ms) {
        HostEvent ev;
        const auto deadline = Now() + ms;
        for (long left = ms; left > 0; left = deadline - Now()) {
            host_->NextEvent(&ev, static_cast<int>(left));
        }
    }

    static long Now() {
        return static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                     std::chrono::steady_clock::now().time_since_epoch())
                                     .count());
    }

    std::vector<std::uint32_t> Read(int x, int y, int w, int h) {
        std::vector<std::uint32_t> pixels(static_cast<std::size_t>(w) * h, 0xDEADBEEF);
        EXPECT_TRUE(host_->ReadScreen(pixels.data(), w, x, y, w, h));
        return pixels;
    }

    // A round trip on the host's connection: the server has done all it was asked before
    // another connection looks.
    void SyncHost() { host_->WindowExists(static_cast<HostWindowId>(root_)); }

    std::uint32_t ReadPixel(int x, int y) { return Read(x, y, 1, 1)[0]; }

    // The screen pixel as another program sees it.
    std::uint32_t RawPixel(int x, int y) {
        XImage* image = XGetImage(other_, root_, x, y, 1, 1, AllPlanes, ZPixmap);
        if (!image) return 0xDEADBEEF;
        const auto pixel = static_cast<std::uint32_t>(XGetPixel(image, 0, 0)) & 0xFFFFFF;
        XDestroyImage(image);
        return pixel;
    }

    Window ForeignWindow(int x, int y, int w, int h, const char* title, Display* owner = nullptr) {
        Display* display = owner ? owner : other_;
        const Window window = XCreateSimpleWindow(display, DefaultRootWindow(display), x, y,
                                                  static_cast<unsigned>(w),
                                                  static_cast<unsigned>(h), 0, 0, 0x808080);
        if (title) {
            XStoreName(display, window, title);
        }
        XMapWindow(display, window);
        XSync(display, False);
        return window;
    }

    Window GoneWindowId() {
        const Window window = XCreateSimpleWindow(other_, root_, 0, 0, 1, 1, 0, 0, 0);
        XDestroyWindow(other_, window);
        XSync(other_, False);
        return window;
    }

    std::unique_ptr<os::Host> host_;
    Display* other_ = nullptr;
    Window root_ = 0;
};

// --- pixels -------------------------------------------------------------------------

TEST_F(X11HostTest, PresentedPixelsAreOnTheScreenForEveryReader) {
    if (DefaultDepth(other_, DefaultScreen(other_)) != 24) GTEST_SKIP() << "reads 24-bit pixels raw";
    const HostWindowId id = ShowPopup(50, 60, 64, 48, std::nullopt);
    const auto screen = Read(50, 60, 64, 48);
    for (int y = 0; y < 48; ++y) {
        for (int x = 0; x < 64; ++x) {
            ASSERT_EQ(screen[y * 64 + x], Pattern(x, y)) << x << "," << y;
        }
    }
    EXPECT_EQ(RawPixel(50 + 10, 60 + 7), Pattern(10, 7));
    EXPECT_EQ(RawPixel(50 + 63, 60 + 47), Pattern(63, 47));
    host_->DestroyWindow(id);
}

TEST_F(X11HostTest, PresentShowsOnlyTheListedRects) {
    const HostWindowId id = ShowPopup(120, 40, 40, 40, kRed);
    Fill(id, kGreen);
    const os::HostRect rects[] = {{10, 10, 20, 20}, {30, 0, 45, 5}};  // second one clipped
    host_->Present(id, rects, 2);
    EXPECT_EQ(ReadPixel(120 + 15, 40 + 15), kGreen);
    EXPECT_EQ(ReadPixel(120 + 35, 40 + 2), kGreen);
    EXPECT_EQ(ReadPixel(120 + 5, 40 + 5), kRed);
    EXPECT_EQ(ReadPixel(120 + 25, 40 + 15), kRed);
    EXPECT_EQ(ReadPixel(120 + 35, 40 + 6), kRed);
    host_->DestroyWindow(id);
}

// Shared-memory segments this process has attached.
int AttachedSegments() {
    std::ifstream maps("/proc/self/maps");
    int count = 0;
    for (std::string line; std::getline(maps, line);)
        if (line.find("/SYSV") != std::string::npos) ++count;
    return count;
}

TEST_F(X11HostTest, ReadScreenClipsToTheScreenAndLeavesTheRestAlone) {
    const HostWindowId id = ShowPopup(0, 0, 8, 8, kBlue);
    const int segments = AttachedSegments();
    std::vector<std::uint32_t> pixels(10 * 10, 0xDEADBEEF);
    ASSERT_TRUE(host_->ReadScreen(pixels.data(), 10, -5, -3, 10, 10));
    for (int y = 0; y < 10; ++y) {
        for (int x = 0; x < 10; ++x) {
            const bool on_screen = x >= 5 && y >= 3;
            const bool on_window = on_screen && x - 5 < 8 && y - 3 < 8;
            if (!on_screen) {
                EXPECT_EQ(pixels[y * 10 + x], 0xDEADBEEFu) << x << "," << y;
            } else if (on_window) {
                EXPECT_EQ(pixels[y * 10 + x], kBlue) << x << "," << y;
            }
        }
    }
    EXPECT_FALSE(host_->ReadScreen(pixels.data(), 10, host_->ScreenWidth(), 0, 10, 10));
    EXPECT_FALSE(host_->ReadScreen(pixels.data(), 10, 0, host_->ScreenHeight(), 10, 10));
    EXPECT_FALSE(host_->ReadScreen(pixels.data(), 10, 0, -10, 10, 10));
    EXPECT_FALSE(host_->ReadScreen(pixels.data(), 10, 0, 0, 0, 10));

    // The whole screen in one call is what another program reads, and nothing stays
    // attached for reading once the call is over.
    const int sw = host_->ScreenWidth(), sh = host_->ScreenHeight();
    const std::vector<std::uint32_t> all = Read(0, 0, sw, sh);
    EXPECT_EQ(AttachedSegments(), segments);
    XImage* raw = XGetImage(other_, root_, 0, 0, static_cast<unsigned>(sw),
                            static_cast<unsigned>(sh), AllPlanes, ZPixmap);
    ASSERT_NE(raw, nullptr);
    int differing = 0;
    for (int y = 0; y < sh; ++y)
        for (int x = 0; x < sw; ++x)
            if ((static_cast<std::uint32_t>(XGetPixel(raw, x, y)) & 0xFFFFFFu) !=
                all[static_cast<std::size_t>(y) * sw + x])
                ++differing;
    XDestroyImage(raw);
    EXPECT_EQ(differing, 0);
    host_->DestroyWindow(id);
}

TEST_F(X11HostTest, WriteScreenDrawsOverWindows) {
    if (DefaultDepth(other_, DefaultScreen(other_)) != 24) GTEST_SKIP() << "reads 24-bit pixels raw";
    const HostWindowId id = ShowPopup(400, 100, 50, 50, kRed);
    std::vector<std::uint32_t> square(20 * 30, kBlue);
    host_->WriteScreen(square.data(), 20, 390, 110, 20, 30);  // half on the window
    EXPECT_EQ(ReadPixel(405, 115), kBlue);
    EXPECT_EQ(ReadPixel(395, 115), kBlue);
    EXPECT_EQ(ReadPixel(409, 139), kBlue);
    EXPECT_EQ(ReadPixel(410, 115), kRed);
    EXPECT_EQ(ReadPixel(405, 141), kRed);
    EXPECT_EQ(RawPixel(405, 115), kBlue);
    // Off-screen parts are dropped, the rest is drawn at the right place.
    host_->WriteScreen(square.data(), 20, -10, -10, 20, 30);
    EXPECT_EQ(ReadPixel(0, 0), kBlue);
    EXPECT_EQ(ReadPixel(9, 19), kBlue);
    host_->DestroyWindow(id);
}

TEST_F(X11HostTest, ResizeKeepsThePixelsThatStillFit) {
    const HostWindowId id = ShowPopup(30, 40, 100, 80, kRed);
    EXPECT_EQ(Edges(host_->WindowRect(id)), Edges(os::HostRect{30, 40, 130, 120}));
    int stride = 0;
    host_->WindowPixels(id, &stride)[5 * stride + 5] = 0x123456;
    host_->MoveResizeWindow(id, 60, 70, 50, 40);
    EXPECT_EQ(Edges(host_->WindowRect(id)), Edges(os::HostRect{60, 70, 110, 110}));
    std::uint32_t* pixels = host_->WindowPixels(id, &stride);
    ASSERT_GE(stride, 50);
    EXPECT_EQ(pixels[5 * stride + 5], 0x123456u);
    EXPECT_EQ(pixels[39 * stride + 49], kRed);
    host_->DestroyWindow(id);
    EXPECT_EQ(host_->WindowPixels(id, &stride), nullptr);
}

TEST_F(X11HostTest, UncoveredPartsAreRepaintedByTheHost) {
    const HostWindowId id = ShowPopup(200, 200, 80, 80, kGreen);
    const Window cover = ForeignWindow(210, 210, 30, 30, nullptr);
    ASSERT_NE(ReadPixel(220, 220), kGreen);
    XDestroyWindow(other_, cover);
    XSync(other_, False);
    const auto expose = WaitFor(kExpose, id);
    ASSERT_TRUE(expose);
    EXPECT_GE(expose->rect.left, 0);
    EXPECT_LE(expose->rect.right, 80);
    Pump(100);
    EXPECT_EQ(ReadPixel(220, 220), kGreen);
    host_->DestroyWindow(id);
}

TEST_F(X11HostTest, EllipticShapeCutsTheCorners) {
    std::vector<std::uint32_t> backdrop(60 * 60, kBlue);
    host_->WriteScreen(backdrop.data(), 60, 300, 300, 60, 60);
    const HostWindowId id = host_->CreateWindow({WindowKind::Popup, 300, 300, 60, 60, "round"});
    host_->SetEllipticShape(id, {0, 0, 60, 60});
    Fill(id, kRed);
    host_->ShowWindow(id, true);
    ASSERT_TRUE(WaitFor(kExpose, id));
    PresentAll(id);
    EXPECT_EQ(ReadPixel(330, 330), kRed);
    EXPECT_EQ(ReadPixel(301, 301), kBlue);
    EXPECT_EQ(ReadPixel(358, 358), kBlue);
    EXPECT_EQ(ReadPixel(330, 301), kRed);
    host_->SetEllipticShape(id, {});
    Pump(150);  // the uncovered corners are exposed and repainted
    EXPECT_EQ(ReadPixel(301, 301), kRed);
    host_->DestroyWindow(id);
}

// --- other programs' windows ---------------------------------------------------------

TEST_F(X11HostTest, TopLevelWalkSeesForeignWindowsTopmostFirst) {
    const Window lower = ForeignWindow(10, 10, 30, 30, "Lower Window");
    const Window upper = ForeignWindow(20, 20, 30, 30, "Upper Window");
    const auto position = [&](Window w) {
        const auto all = host_->TopLevelWindows();
        return std::find(all.begin(), all.end(), static_cast<HostWindowId>(w)) - all.begin();
    };
    const auto count = static_cast<long>(host_->TopLevelWindows().size());
    EXPECT_LT(position(upper), position(lower));
    EXPECT_LT(position(lower), count);
    EXPECT_EQ(host_->TopLevelWindows().front(), upper);
    XRaiseWindow(other_, lower);
    XSync(other_, False);
    EXPECT_LT(position(lower), position(upper));
    // Hidden windows are walked too.
    XUnmapWindow(other_, upper);
    XSync(other_, False);
    EXPECT_LT(position(upper), count);
    XDestroyWindow(other_, lower);
    XDestroyWindow(other_, upper);
    XSync(other_, False);
    EXPECT_EQ(position(upper), static_cast<long>(host_->TopLevelWindows().size()));
}

TEST_F(X11HostTest, TitlesExistenceAndRectsOfForeignWindows) {
    const Window plain = ForeignWindow(15, 25, 40, 30, "Caf\xE9 Latin");
    EXPECT_EQ(host_->WindowTitle(plain), std::optional<std::string>("Caf\xC3\xA9 Latin"));
    const Atom net_wm_name = XInternAtom(other_, "_NET_WM_NAME", False);
    const Atom utf8 = XInternAtom(other_, "UTF8_STRING", False);
    const std::string modern = "Modern \xE2\x82\xAC";
    XChangeProperty(other_, plain, net_wm_name, utf8, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(modern.data()),
                    static_cast<int>(modern.size()));
    XSync(other_, False);
    EXPECT_EQ(host_->WindowTitle(plain), modern);
    EXPECT_TRUE(host_->WindowExists(plain));
    EXPECT_EQ(Edges(host_->WindowRect(plain)), Edges(os::HostRect{15, 25, 55, 55}));

    const Window untitled = ForeignWindow(0, 0, 5, 5, nullptr);
    EXPECT_EQ(host_->WindowTitle(untitled), std::optional<std::string>(""));

    XDestroyWindow(other_, plain);
    XSync(other_, False);
    EXPECT_FALSE(host_->WindowExists(plain));
    EXPECT_EQ(host_->WindowTitle(plain), std::nullopt);
    EXPECT_EQ(Edges(host_->WindowRect(plain)), std::nullopt);
    EXPECT_FALSE(host_->WindowExists(0));
    XDestroyWindow(other_, untitled);
    XSync(other_, False);
}

TEST_F(X11HostTest, ManagedWindowsAreReportedByTheirClientNotTheFrame) {
    // What a window manager builds: a frame at the top level holding the program's window.
    const Window frame = ForeignWindow(500, 400, 100, 90, "frame");
    const Window client = XCreateSimpleWindow(other_, frame, 5, 20, 90, 65, 0, 0, 0);
    const Atom wm_state = XInternAtom(other_, "WM_STATE", False);
    long state[2] = {1, 0};
    XChangeProperty(other_, client, wm_state, wm_state, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(state), 2);
    XStoreName(other_, client, "Program Title");
    XMapWindow(other_, client);
    XSync(other_, False);
    const auto all = host_->TopLevelWindows();
    EXPECT_NE(std::find(all.begin(), all.end(), client), all.end());
    EXPECT_EQ(std::find(all.begin(), all.end(), frame), all.end());
    EXPECT_EQ(host_->WindowTitle(client), std::optional<std::string>("Program Title"));
    EXPECT_EQ(Edges(host_->WindowRect(client)), Edges(os::HostRect{500, 400, 600, 490}));
    XDestroyWindow(other_, frame);
    XSync(other_, False);
}

TEST_F(X11HostTest, OurWindowsCarryTheirTitles) {
    const HostWindowId id = host_->CreateWindow({WindowKind::Popup, 0, 0, 10, 10, "First"});
    EXPECT_EQ(host_->WindowTitle(id), std::optional<std::string>("First"));
    host_->SetTitle(id, "Second \xC3\xA9t\xC3\xA9");
    EXPECT_EQ(host_->WindowTitle(id), std::optional<std::string>("Second \xC3\xA9t\xC3\xA9"));
    // Another program reading only the old property gets Latin-1.
    char* name = nullptr;
    ASSERT_TRUE(XFetchName(other_, id, &name));
    EXPECT_STREQ(name, "Second \xE9t\xE9");
    XFree(name);
    const auto all = host_->TopLevelWindows();
    EXPECT_NE(std::find(all.begin(), all.end(), id), all.end());
    host_->DestroyWindow(id);
}

TEST_F(X11HostTest, ForegroundIsTheActiveWindowOrTheOneUnderThePointer) {
    const Window under = ForeignWindow(600, 50, 50, 50, "under");
    XTestFakeMotionEvent(other_, -1, 620, 70, CurrentTime);
    XSync(other_, False);
    XSetInputFocus(other_, PointerRoot, RevertToPointerRoot, CurrentTime);
    XSync(other_, False);
    EXPECT_EQ(host_->ForegroundWindow(), under);
    const Window active = ForeignWindow(700, 50, 20, 20, "active");
    const Atom net_active = XInternAtom(other_, "_NET_ACTIVE_WINDOW", False);
    long value = static_cast<long>(active);
    XChangeProperty(other_, root_, net_active, XA_WINDOW, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(&value), 1);
    XSync(other_, False);
    EXPECT_EQ(host_->ForegroundWindow(), active);
    XDeleteProperty(other_, root_, net_active);
    XDestroyWindow(other_, under);
    XDestroyWindow(other_, active);
    XSync(other_, False);
}

// --- embedding ------------------------------------------------------------------------

TEST_F(X11HostTest, ReparentIntoAForeignWindowAndBack) {
    const Window parent = ForeignWindow(100, 300, 150, 100, "Preview Host");
    const HostWindowId child =
        host_->CreateWindow({WindowKind::Popup, 0, 0, 150, 100, "child"});
    ASSERT_TRUE(host_->Reparent(child, parent));
    Window root = 0, actual_parent = 0, *children = nullptr;
    unsigned count = 0;
    ASSERT_TRUE(XQueryTree(other_, child, &root, &actual_parent, &children, &count));
    if (children) XFree(children);
    EXPECT_EQ(actual_parent, parent);
    // Shown inside the parent, at the parent's position on the screen.
    Fill(child, kGreen);
    host_->ShowWindow(child, true);
    ASSERT_TRUE(WaitFor(kExpose, child));
    PresentAll(child);
    EXPECT_EQ(ReadPixel(100 + 75, 300 + 50), kGreen);
    EXPECT_EQ(Edges(host_->WindowRect(child)), Edges(os::HostRect{100, 300, 250, 400}));

    EXPECT_FALSE(host_->Reparent(child, static_cast<HostWindowId>(GoneWindowId())));
    EXPECT_FALSE(host_->Reparent(child, child));
    EXPECT_FALSE(host_->Reparent(static_cast<HostWindowId>(parent), root_));  // not ours
    ASSERT_TRUE(host_->Reparent(child, 0));  // back to the top level
    ASSERT_TRUE(XQueryTree(other_, child, &root, &actual_parent, &children, &count));
    if (children) XFree(children);
    EXPECT_EQ(actual_parent, root_);
    host_->DestroyWindow(child);
    XDestroyWindow(other_, parent);
    XSync(other_, False);
}

TEST_F(X11HostTest, DestroyingTheForeignParentReportsOurChildDestroyed) {
    const Window parent = ForeignWindow(100, 300, 150, 100, "Preview Host");
    const HostWindowId child = host_->CreateWindow({WindowKind::Popup, 0, 0, 150, 100, ""});
    ASSERT_TRUE(host_->Reparent(child, parent));
    host_->ShowWindow(child, true);
    XDestroyWindow(other_, parent);
    XSync(other_, False);
    ASSERT_TRUE(WaitFor(EventType::Destroyed, child));
    EXPECT_FALSE(host_->WindowExists(child));
    // The handle stays usable until we destroy it ourselves; requests on it are harmless.
    int stride = 0;
    ASSERT_NE(host_->WindowPixels(child, &stride), nullptr);
    const os::HostRect all{0, 0, 150, 100};
    host_->Present(child, &all, 1);
    host_->SetTitle(child, "gone");
    host_->ShowWindow(child, false);
    host_->DestroyWindow(child);
    EXPECT_EQ(host_->WindowPixels(child, &stride), nullptr);
    // The connection still works.
    const HostWindowId next = host_->CreateWindow({WindowKind::Popup, 0, 0, 5, 5, ""});
    EXPECT_TRUE(host_->WindowExists(next));
    host_->DestroyWindow(next);
}

TEST_F(X11HostTest, TheForeignParentsProgramExitingReportsOurChildDestroyed) {
    Display* third = XOpenDisplay(nullptr);
    ASSERT_NE(third, nullptr);
    const Window parent = ForeignWindow(0, 0, 50, 50, "short-lived", third);
    const HostWindowId child = host_->CreateWindow({WindowKind::Popup, 0, 0, 50, 50, ""});
    ASSERT_TRUE(host_->Reparent(child, parent));
    XCloseDisplay(third);
    ASSERT_TRUE(WaitFor(EventType::Destroyed, child));
    host_->DestroyWindow(child);
}

// --- window-manager hints -----------------------------------------------------------------

TEST_F(X11HostTest, DialogsAreFixedSizeWithACloseBoxOnly) {
    const HostWindowId id = host_->CreateWindow({WindowKind::Dialog, 40, 50, 120, 80, "Setup"});
    SyncHost();
    XSizeHints hints{};
    long supplied = 0;
    ASSERT_TRUE(XGetWMNormalHints(other_, id, &hints, &supplied));
    ASSERT_TRUE(hints.flags & PMinSize);
    ASSERT_TRUE(hints.flags & PMaxSize);
    EXPECT_EQ(hints.min_width, 120);
    EXPECT_EQ(hints.max_width, 120);
    EXPECT_EQ(hints.min_height, 80);
    EXPECT_EQ(hints.max_height, 80);
    host_->MoveResizeWindow(id, 40, 50, 200, 90);
    SyncHost();
    ASSERT_TRUE(XGetWMNormalHints(other_, id, &hints, &supplied));
    EXPECT_EQ(hints.max_width, 200);
    EXPECT_EQ(hints.min_height, 90);

    const auto motif = ReadProperty(id, "_MOTIF_WM_HINTS", AnyPropertyType, 5);
    ASSERT_TRUE(motif);
    ASSERT_EQ(motif->words.size(), 5u);
    const auto& words = motif->words;
    EXPECT_TRUE(words[1] & 32);         // close
    EXPECT_FALSE(words[1] & (8 | 16));  // no minimise, no maximise
    EXPECT_FALSE(words[1] & 1);         // not "all functions"

    Atom* protocols = nullptr;
    int count = 0;
    ASSERT_TRUE(XGetWMProtocols(other_, id, &protocols, &count));
    const Atom delete_window = XInternAtom(other_, "WM_DELETE_WINDOW", False);
    EXPECT_NE(std::find(protocols, protocols + count, delete_window), protocols + count);
    XFree(protocols);
    host_->DestroyWindow(id);
}

TEST_F(X11HostTest, TheCloseBoxArrivesAsCloseRequest) {
    const HostWindowId id = host_->CreateWindow({WindowKind::Dialog, 0, 0, 50, 50, "d"});
    SyncHost();
    XEvent message{};
    message.xclient.type = ClientMessage;
    message.xclient.window = id;
    message.xclient.message_type = XInternAtom(other_, "WM_PROTOCOLS", False);
    message.xclient.format = 32;
    message.xclient.data.l[0] = static_cast<long>(XInternAtom(other_, "WM_DELETE_WINDOW", False));
    XSendEvent(other_, id, False, NoEventMask, &message);
    XSync(other_, False);
    HostEvent ev;
    ASSERT_TRUE(host_->NextEvent(&ev, -1));  // waits as long as it takes
    EXPECT_EQ(ev.type, EventType::CloseRequest);
    EXPECT_EQ(ev.window, id);
    host_->DestroyWindow(id);
}

TEST_F(X11HostTest, IconsArePublishedAndMalformedOnesSkipped) {
    const HostWindowId id = host_->CreateWindow({WindowKind::Dialog, 0, 0, 50, 50, "d"});
    os::IconImage small{2, 2, {0xFF000001, 0xFF000002, 0xFF000003, 0x00000004}};
    os::IconImage broken{4, 4, {1, 2, 3}};
    host_->SetIcon(id, {broken, small});
    SyncHost();
    const auto icon = ReadProperty(id, "_NET_WM_ICON", XA_CARDINAL, 100);
    ASSERT_TRUE(icon);
    ASSERT_EQ(icon->words.size(), 6u);
    const auto word = [&](int i) { return icon->words[static_cast<std::size_t>(i)]; };
    EXPECT_EQ(word(0), 2u);
    EXPECT_EQ(word(1), 2u);
    EXPECT_EQ(word(2), 0xFF000001u);
    EXPECT_EQ(word(5), 0x00000004u);
    host_->SetIcon(id, {});
    SyncHost();
    const auto removed = ReadProperty(id, "_NET_WM_ICON", XA_CARDINAL, 100);
    ASSERT_TRUE(removed);
    EXPECT_EQ(removed->type, 0u);
    host_->DestroyWindow(id);
}

TEST_F(X11HostTest, TopmostPopupsStayAboveNewWindows) {
    const HostWindowId kept = ShowPopup(0, 0, 100, 100, kRed);
    host_->SetTopmost(kept);
    const HostWindowId plain = ShowPopup(0, 0, 100, 100, kGreen);
    const Window intruder = ForeignWindow(0, 0, 200, 200, "intruder");
    Pump(300);
    const auto all = host_->TopLevelWindows();
    ASSERT_GE(all.size(), 3u);
    EXPECT_EQ(all[0], kept);
    const auto at = [&](HostWindowId w) { return std::find(all.begin(), all.end(), w) - all.begin(); };
    EXPECT_LT(at(intruder), at(plain));  // an ordinary popup stays covered
    XDestroyWindow(other_, intruder);
    XSync(other_, False);
    host_->DestroyWindow(kept);
    host_->DestroyWindow(plain);
}

// --- input ------------------------------------------------------------------------------

class X11InputTest : public X11HostTest {
protected:
    void SetUp() override {
        X11HostTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        id_ = ShowPopup(100, 100, 200, 100, kBlue);
        // A grab is refused while another program still holds the input (a test program
        // that has just ended may not be gone from the server yet); it is asked for again.
        bool grabbed = false;
        for (const long end = Now() + 2000; !(grabbed = host_->GrabInput(id_)) && Now() < end;)
            Pump(10);
        ASSERT_TRUE(grabbed);
        Pump(50);
    }
    void TearDown() override {
        if (host_ && id_) host_->DestroyWindow(id_);
        X11HostTest::TearDown();
    }

    void Key(KeySym keysym, bool down) {
        XTestFakeKeyEvent(other_, XKeysymToKeycode(other_, keysym), down, CurrentTime);
        XSync(other_, False);
    }

    HostEvent Next(EventType type) {
        const auto ev = WaitFor(type, id_);
        EXPECT_TRUE(ev) << "no event of type " << static_cast<int>(type);
        return ev.value_or(HostEvent{});
    }

    HostWindowId id_ = 0;
};

TEST_F(X11InputTest, PointerMotionAndButtonsInClientPixels) {
    XTestFakeMotionEvent(other_, -1, 150, 130, CurrentTime);
    XSync(other_, False);
    HostEvent ev = Next(EventType::Motion);
    EXPECT_EQ(ev.x, 50);
    EXPECT_EQ(ev.y, 30);
    EXPECT_EQ(ev.buttons, 0u);
    XTestFakeButtonEvent(other_, 1, True, CurrentTime);
    XSync(other_, False);
    ev = Next(EventType::ButtonDown);
    EXPECT_EQ(ev.button, 1);
    EXPECT_EQ(ev.buttons, 1u);
    EXPECT_EQ(ev.x, 50);
    XTestFakeMotionEvent(other_, -1, 160, 135, CurrentTime);
    XSync(other_, False);
    ev = Next(EventType::Motion);
    EXPECT_EQ(ev.x, 60);
    EXPECT_EQ(ev.buttons, 1u);
    XTestFakeButtonEvent(other_, 3, True, CurrentTime);
    XSync(other_, False);
    ev = Next(EventType::ButtonDown);
    EXPECT_EQ(ev.button, 3);
    EXPECT_EQ(ev.buttons, 5u);
    XTestFakeButtonEvent(other_, 3, False, CurrentTime);
    XTestFakeButtonEvent(other_, 1, False, CurrentTime);
    XSync(other_, False);
    ev = Next(EventType::ButtonUp);
    EXPECT_EQ(ev.button, 3);
    EXPECT_EQ(ev.buttons, 1u);
    ev = Next(EventType::ButtonUp);
    EXPECT_EQ(ev.button, 1);
    EXPECT_EQ(ev.buttons, 0u);
}

TEST_F(X11InputTest, RunsOfMovesMergeButKeepTheirPlaceAmongClicks) {
    XTestFakeMotionEvent(other_, -1, 110, 110, CurrentTime);
    XTestFakeMotionEvent(other_, -1, 120, 110, CurrentTime);
    XTestFakeButtonEvent(other_, 1, True, CurrentTime);
    XTestFakeMotionEvent(other_, -1, 130, 110, CurrentTime);
    XTestFakeMotionEvent(other_, -1, 140, 110, CurrentTime);
    XTestFakeButtonEvent(other_, 1, False, CurrentTime);
    XSync(other_, False);
    std::vector<std::pair<EventType, int>> seen;
    HostEvent ev;
    while (host_->NextEvent(&ev, 200)) {
        if (ev.window == id_ && ev.type != kExpose) seen.emplace_back(ev.type, ev.x);
    }
    // Before the click the pointer is where the last move before it put it.
    ASSERT_GE(seen.size(), 4u);
    const auto down = std::find_if(seen.begin(), seen.end(),
                                   [](const auto& e) { return e.first == EventType::ButtonDown; });
    ASSERT_NE(down, seen.end());
    ASSERT_NE(down, seen.begin());
    EXPECT_EQ((down - 1)->first, EventType::Motion);
    EXPECT_EQ((down - 1)->second, 20);
    EXPECT_EQ(down->second, 20);
    EXPECT_EQ((down + 1)->first, EventType::Motion);
    EXPECT_EQ(seen.back().first, EventType::ButtonUp);
    EXPECT_EQ(seen.back().second, 40);
}

TEST_F(X11InputTest, KeysArriveAsVirtualKeysWithTheirCharacters) {
    Key(XK_a, true);
    HostEvent ev = Next(EventType::KeyDown);
    EXPECT_EQ(ev.key, 65u);
    EXPECT_EQ(ev.ch, static_cast<std::uint32_t>('a'));
    EXPECT_EQ(ev.shift, 0u);
    Key(XK_a, false);
    ev = Next(EventType::KeyUp);
    EXPECT_EQ(ev.key, 65u);

    Key(XK_Shift_L, true);
    ev = Next(EventType::KeyDown);
    EXPECT_EQ(ev.key, 16u);
    EXPECT_EQ(ev.shift, 1u);
    Key(XK_b, true);
    ev = Next(EventType::KeyDown);
    EXPECT_EQ(ev.key, 66u);
    EXPECT_EQ(ev.ch, static_cast<std::uint32_t>('B'));
    EXPECT_EQ(ev.shift, 1u);
    Key(XK_b, false);
    Key(XK_Shift_L, false);
    ev = Next(EventType::KeyUp);
    EXPECT_EQ(ev.key, 66u);
    ev = Next(EventType::KeyUp);
    EXPECT_EQ(ev.key, 16u);
    EXPECT_EQ(ev.shift, 0u);

    const struct {
        KeySym keysym;
        unsigned vk;
        std::uint32_t ch;
    } keys[] = {{XK_Return, 13, 13}, {XK_Escape, 27, 27}, {XK_F5, 116, 0},
                {XK_Left, 37, 0},    {XK_7, 55, '7'},     {XK_space, 32, ' '},
                {XK_Delete, 46, 0},  {XK_BackSpace, 8, 8}};
    for (const auto& k : keys) {
        Key(k.keysym, true);
        Key(k.keysym, false);
        ev = Next(EventType::KeyDown);
        EXPECT_EQ(ev.key, k.vk) << "keysym 0x" << std::hex << k.keysym;
        EXPECT_EQ(ev.ch, k.ch) << "keysym 0x" << std::hex << k.keysym;
        ev = Next(EventType::KeyUp);
        EXPECT_EQ(ev.key, k.vk);
    }
}

TEST_F(X11InputTest, AHeldKeyRepeatsKeyDownsWithoutKeyUps) {
    unsigned delay = 0, interval = 0;
    ASSERT_TRUE(XkbGetAutoRepeatRate(other_, XkbUseCoreKbd, &delay, &interval));
    XkbSetAutoRepeatRate(other_, XkbUseCoreKbd, 100, 20);
    XAutoRepeatOn(other_);
    XSync(other_, False);
    int downs = 0, ups = 0;
    const auto count = [&](int ms) {
        HostEvent ev;
        for (const long end = Now() + ms; Now() < end;) {
            if (!host_->NextEvent(&ev, 20) || ev.window != id_ || ev.key != 'X') continue;
            downs += ev.type == EventType::KeyDown;
            ups += ev.type == EventType::KeyUp;
        }
    };
    Key(XK_x, true);
    count(400);
    Key(XK_x, false);
    count(150);
    XkbSetAutoRepeatRate(other_, XkbUseCoreKbd, delay, interval);
    XSync(other_, False);
    EXPECT_GE(downs, 4);  // the first and the repeats after 100 ms, every 20 ms
    EXPECT_EQ(ups, 1);
}

TEST_F(X11InputTest, ControlAndAltAreReportedAsShiftBits) {
    Key(XK_Control_L, true);
    Key(XK_Alt_L, true);
    Key(XK_c, true);
    EXPECT_EQ(Next(EventType::KeyDown).shift, 2u);
    EXPECT_EQ(Next(EventType::KeyDown).shift, 6u);
    const HostEvent ev = Next(EventType::KeyDown);
    EXPECT_EQ(ev.key, 67u);
    EXPECT_EQ(ev.shift, 6u);
    Key(XK_c, false);
    Key(XK_Alt_L, false);
    Key(XK_Control_L, false);
}

TEST_F(X11InputTest, TheGrabKeepsOthersOutUntilReleased) {
    EXPECT_EQ(XGrabKeyboard(other_, root_, False, GrabModeAsync, GrabModeAsync, CurrentTime),
              AlreadyGrabbed);
    host_->ReleaseInput();
    SyncHost();
    EXPECT_EQ(XGrabKeyboard(other_, root_, False, GrabModeAsync, GrabModeAsync, CurrentTime),
              GrabSuccess);
    XUngrabKeyboard(other_, CurrentTime);
    XSync(other_, False);
}

TEST_F(X11InputTest, HiddenCursorIsBlankOverOurWindowOnly) {
    int event_base = 0, error_base = 0;
    if (!XFixesQueryExtension(other_, &event_base, &error_base)) GTEST_SKIP() << "no XFixes";
    // The cursor the server shows follows the requests of two connections and the input
    // that XTest queues; the server decides it when it gets to them, so one look right
    // after a request can see the cursor from before. Each check waits, within a
    // deadline, for the cursor it expects (an image with ink, or a blank one).
    const auto cursor_becomes = [&](bool ink_wanted) {
        for (const long end = Now() + 2000;;) {
            XSync(other_, False);
            XFixesCursorImage* image = XFixesGetCursorImage(other_);
            bool ink = false;
            for (int i = 0; image && i < image->width * image->height; ++i) {
                ink = ink || (image->pixels[i] >> 24) != 0;
            }
            const bool got = image != nullptr;
            if (image) XFree(image);
            if (got && ink == ink_wanted) return true;
            if (Now() >= end) return false;
            Pump(10);
        }
    };
    host_->ReleaseInput();
    SyncHost();
    XTestFakeMotionEvent(other_, -1, 150, 150, CurrentTime);
    EXPECT_TRUE(cursor_becomes(true)) << "no cursor over the window before it was hidden";
    host_->SetCursorVisible(id_, false);
    SyncHost();
    EXPECT_TRUE(cursor_becomes(false)) << "the hidden cursor shows over our window";
    XTestFakeMotionEvent(other_, -1, 50, 50, CurrentTime);  // off the window
    EXPECT_TRUE(cursor_becomes(true)) << "the cursor is hidden outside our window";
    XTestFakeMotionEvent(other_, -1, 150, 150, CurrentTime);
    EXPECT_TRUE(cursor_becomes(false)) << "the cursor shows again back over our window";
    host_->SetCursorVisible(id_, true);
    SyncHost();
    EXPECT_TRUE(cursor_becomes(true)) << "the cursor stays hidden after it was shown";
}

TEST_F(X11HostTest, GrabNeverWaitsAndIsTakenOnceTheInputIsFree) {
    const HostWindowId id = host_->CreateWindow({WindowKind::Popup, 0, 0, 10, 10, ""});
    const auto other_grabs = [&] {
        const bool keyboard = XGrabKeyboard(other_, root_, False, GrabModeAsync, GrabModeAsync,
                                            CurrentTime) == GrabSuccess;
        const bool pointer = XGrabPointer(other_, root_, False, 0, GrabModeAsync, GrabModeAsync,
                                          0, 0, CurrentTime) == GrabSuccess;
        return std::pair{keyboard, pointer};
    };
    const auto other_releases = [&] {
        XUngrabKeyboard(other_, CurrentTime);
        XUngrabPointer(other_, CurrentTime);
        XSync(other_, False);
    };
    long start = Now();
    EXPECT_FALSE(host_->GrabInput(id));  // not shown yet
    EXPECT_LT(Now() - start, 100);
    host_->ShowWindow(id, true);

    // Another program holds the keyboard: refused at once, the pointer is kept meanwhile.
    ASSERT_EQ(XGrabKeyboard(other_, root_, False, GrabModeAsync, GrabModeAsync, CurrentTime),
              GrabSuccess);
    XSync(other_, False);
    start = Now();
    EXPECT_FALSE(host_->GrabInput(id));
    EXPECT_FALSE(host_->GrabInput(id));
    EXPECT_LT(Now() - start, 100);
    SyncHost();
    EXPECT_EQ(XGrabPointer(other_, root_, False, 0, GrabModeAsync, GrabModeAsync, 0, 0,
                           CurrentTime),
              AlreadyGrabbed);
    other_releases();
    EXPECT_TRUE(host_->GrabInput(id));  // asked again: both are ours now
    SyncHost();
    EXPECT_EQ(other_grabs(), std::pair(false, false));
    EXPECT_TRUE(host_->GrabInput(id));  // held: answered at once

    host_->DestroyWindow(id);  // ends the grab
    SyncHost();
    EXPECT_EQ(other_grabs(), std::pair(true, true));
    other_releases();
}

TEST_F(X11HostTest, AnUnmapByAnotherProgramIsToldAndEndsTheGrab) {
    const HostWindowId id = ShowPopup(20, 20, 60, 40, kRed);
    ASSERT_TRUE(host_->GrabInput(id));
    const auto unmapped = [&] { return WaitFor(EventType::Unmapped, id, 300).has_value(); };
    // Hidden and shown again by us: nothing to tell.
    host_->ShowWindow(id, false);
    host_->ShowWindow(id, true);
    EXPECT_FALSE(unmapped());
    ASSERT_TRUE(host_->GrabInput(id));

    XUnmapWindow(other_, static_cast<Window>(id));
    XSync(other_, False);
    EXPECT_TRUE(unmapped());
    EXPECT_FALSE(host_->GrabInput(id));  // the server ended it with the unmap
    host_->ShowWindow(id, true);
    EXPECT_TRUE(host_->GrabInput(id));
    SyncHost();
    EXPECT_EQ(XGrabKeyboard(other_, root_, False, GrabModeAsync, GrabModeAsync, CurrentTime),
              AlreadyGrabbed);
    host_->DestroyWindow(id);
}

TEST_F(X11HostTest, AGrabTheServerEndsUntoldIsNoticedByTheRecheck) {
    // A window manager's frame holds our window. Hiding the frame makes our window
    // unviewable: the server ends our grabs, and our window is told nothing.
    const Window frame = ForeignWindow(30, 30, 80, 60, "frame");
    const HostWindowId id = ShowPopup(30, 30, 60, 40, kRed);
    XReparentWindow(other_, static_cast<Window>(id), frame, 5, 15);
    XSync(other_, False);
    const auto grab_becomes = [&](bool wanted) {
        for (const long end = Now() + 2000;; Pump(10)) {
            if (host_->GrabInput(id) == wanted) return true;
            if (Now() >= end) return false;
        }
    };
    ASSERT_TRUE(grab_becomes(true));
    Pump(50);  // the unmap and map of the reparent are read
    ASSERT_TRUE(host_->GrabInput(id));
    SyncHost();
    ASSERT_EQ(XGrabKeyboard(other_, root_, False, GrabModeAsync, GrabModeAsync, CurrentTime),
              AlreadyGrabbed);

    XUnmapWindow(other_, frame);
    XSync(other_, False);
    // Another program takes the keyboard we lost; shown again, only the pointer is ours.
    ASSERT_EQ(XGrabKeyboard(other_, root_, False, GrabModeAsync, GrabModeAsync, CurrentTime),
              GrabSuccess);
    XMapWindow(other_, frame);
    XSync(other_, False);
    EXPECT_TRUE(grab_becomes(false)) << "a grab the server ended is still reported held";
    XUngrabKeyboard(other_, CurrentTime);
    XSync(other_, False);
    EXPECT_TRUE(grab_becomes(true));
    SyncHost();
    EXPECT_EQ(XGrabKeyboard(other_, root_, False, GrabModeAsync, GrabModeAsync, CurrentTime),
              AlreadyGrabbed);
    host_->DestroyWindow(id);
    XDestroyWindow(other_, frame);
    XSync(other_, False);
}

TEST_F(X11HostTest, AReparentOrMoveByAnotherProgramIsToldButNotOursOrAWindowManagers) {
    const HostWindowId id = ShowPopup(20, 20, 60, 40, kRed);
    ASSERT_TRUE(host_->GrabInput(id));
    // The reparents and moves told for a window within 300 ms.
    const auto told = [&](HostWindowId window) {
        std::vector<EventType> seen;
        HostEvent ev;
        const long deadline = Now() + 300;
        for (long left = 300; left > 0; left = deadline - Now())
            if (host_->NextEvent(&ev, static_cast<int>(left)) && ev.window == window &&
                (ev.type == EventType::Reparented || ev.type == EventType::Moved))
                seen.push_back(ev.type);
        return seen;
    };
    const std::vector<EventType> none, reparented{EventType::Reparented}, moved{EventType::Moved};
    const Window hidden = XCreateSimpleWindow(other_, root_, 0, 0, 40, 40, 0, 0, 0);
    XSync(other_, False);
    // Ours, each overtaken by the next before its notice is read: nothing to tell.
    host_->MoveResizeWindow(id, 30, 25, 70, 50);
    host_->MoveResizeWindow(id, 20, 20, 60, 40);
    ASSERT_TRUE(host_->Reparent(id, static_cast<HostWindowId>(hidden)));
    ASSERT_TRUE(host_->Reparent(id, 0));
    EXPECT_EQ(told(id), none);

    XReparentWindow(other_, static_cast<Window>(id), hidden, 0, 0);
    XSync(other_, False);
    EXPECT_EQ(told(id), reparented);
    EXPECT_FALSE(host_->GrabInput(id));  // hidden inside their window, it lost the grab
    ASSERT_TRUE(host_->Reparent(id, 0));
    EXPECT_EQ(told(id), none);
    EXPECT_TRUE(host_->GrabInput(id));
    XMoveResizeWindow(other_, static_cast<Window>(id), 0, 0, 5, 5);
    XSync(other_, False);
    EXPECT_EQ(told(id), moved);
    host_->MoveResizeWindow(id, 20, 20, 60, 40);
    EXPECT_EQ(told(id), none);
    XMoveWindow(other_, static_cast<Window>(id), 300, 200);
    XSync(other_, False);
    EXPECT_EQ(told(id), moved);
    EXPECT_EQ(Edges(host_->WindowRect(id)), Edges(os::HostRect{300, 200, 360, 240}));

    // A window manager (the client redirecting the root's children) framing and placing our
    // dialog is not fought; our pop-ups it does not manage, so moves of those are told.
    const HostWindowId dialog = host_->CreateWindow({WindowKind::Dialog, 10, 10, 50, 30, "d"});
    XSelectInput(other_, root_, SubstructureRedirectMask);
    XReparentWindow(other_, static_cast<Window>(dialog), hidden, 4, 18);
    XSync(other_, False);
    EXPECT_EQ(told(dialog), none);
    XMoveWindow(other_, static_cast<Window>(id), 1, 1);
    XSync(other_, False);
    EXPECT_EQ(told(id), moved);
    XSelectInput(other_, root_, NoEventMask);
    XSync(other_, False);
    host_->DestroyWindow(dialog);
    host_->DestroyWindow(id);
    XDestroyWindow(other_, hidden);
    XSync(other_, False);
}

// --- the clock and waiting --------------------------------------------------------------

TEST_F(X11HostTest, NextEventHonoursItsTimeout) {
    Pump(50);
    HostEvent ev;
    long start = Now();
    EXPECT_FALSE(host_->NextEvent(&ev, 0));
    EXPECT_LT(Now() - start, 50);
    start = Now();
    EXPECT_FALSE(host_->NextEvent(&ev, 150));
    const long waited = Now() - start;
    EXPECT_GE(waited, 145);
    EXPECT_LT(waited, 600);
    const std::uint64_t before = host_->NowMs();
    Pump(30);
    const std::uint64_t after = host_->NowMs();
    EXPECT_GE(after - before, 28u);
    EXPECT_LT(after - before, 500u);
}

TEST_F(X11HostTest, EventsOfOtherProgramsWindowsAreNotReported) {
    Pump(50);
    const Window foreign = ForeignWindow(0, 0, 40, 40, "someone else");
    XSelectInput(other_, foreign, ExposureMask);
    XClearArea(other_, foreign, 0, 0, 0, 0, True);
    XSync(other_, False);
    HostEvent ev;
    EXPECT_FALSE(host_->NextEvent(&ev, 100));
    XDestroyWindow(other_, foreign);
    XSync(other_, False);
}

// --- the connection ------------------------------------------------------------------------

TEST(X11HostFactory, NoDisplayGivesNullWithAReason) {
    const char* saved = std::getenv("DISPLAY");
    const std::string previous = saved ? saved : "";
    setenv("DISPLAY", ":4242", 1);
    std::string error;
    EXPECT_EQ(hosts::CreateX11Host(&error), nullptr);
    EXPECT_NE(error.find(":4242"), std::string::npos) << error;
    EXPECT_EQ(error.find('\n'), std::string::npos);
    EXPECT_EQ(hosts::CreateX11Host(nullptr), nullptr);  // no place for the reason is fine
    if (saved) {
        setenv("DISPLAY", previous.c_str(), 1);
    } else {
        unsetenv("DISPLAY");
    }
}

TEST(X11HostDeathTest, ALostConnectionEndsTheProcessWithOneLine) {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "DISPLAY is not set";
    GTEST_FLAG_SET(death_test_style, "threadsafe");  // the child makes its own connection
    EXPECT_EXIT(
        {
            std::string error;
            auto host = hosts::CreateX11Host(&error);
            if (!host) std::exit(3);
            // Cut every socket of this process: the X connection is among them.
            for (int fd = 3; fd < 256; ++fd) shutdown(fd, SHUT_RDWR);
            HostEvent ev;
            host->NextEvent(&ev, 200);
            host->TopLevelWindows();
            std::exit(4);
        },
        ::testing::ExitedWithCode(1), "lost the connection to X display");
}

}  // namespace
