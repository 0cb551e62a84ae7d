#include "support/x/x_session.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#ifndef TAVRO_EXE
#define TAVRO_EXE "TavroSS"
#endif

namespace e2e {

void SleepMs(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

bool WaitUntil(const std::function<bool()>& done, int ms) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!done()) {
        if (std::chrono::steady_clock::now() >= until) return false;
        SleepMs(10);
    }
    return true;
}

int Shot::CountDifferent(const Shot& other, int step) const {
    if (other.width != width || other.height != height) return width * height;
    int n = 0;
    for (int y = 0; y < height; y += step)
        for (int x = 0; x < width; x += step)
            if (at(x, y) != other.at(x, y)) ++n;
    return n;
}

bool Shot::SavePng(const std::string& path) const {
    const std::string raw = path + ".rgb";
    {
        std::ofstream out(raw, std::ios::binary);
        for (std::uint32_t p : pixels) {
            const char rgb[3] = {static_cast<char>(p >> 16), static_cast<char>(p >> 8),
                                 static_cast<char>(p)};
            out.write(rgb, 3);
        }
    }
    std::ostringstream cmd;
    cmd << "convert -size " << width << "x" << height << " -depth 8 rgb:" << raw << " " << path
        << " 2>/dev/null";
    const int r = std::system(cmd.str().c_str());
    std::filesystem::remove(raw);
    return r == 0;
}

namespace {
int IgnoreErrors(Display*, XErrorEvent*) { return 0; }

Shot Grab(Display* d, Window w, int width, int height) {
    Shot s;
    XImage* img = XGetImage(d, w, 0, 0, static_cast<unsigned>(width),
                            static_cast<unsigned>(height), AllPlanes, ZPixmap);
    if (!img) return s;
    s.width = width;
    s.height = height;
    s.pixels.resize(static_cast<std::size_t>(width) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            s.pixels[static_cast<std::size_t>(y) * width + x] =
                static_cast<std::uint32_t>(XGetPixel(img, x, y)) & 0xFFFFFFu;
    XDestroyImage(img);
    return s;
}

std::string TitleOf(Display* d, Window w) {
    char* name = nullptr;
    std::string title;
    if (XFetchName(d, w, &name) && name) {
        title = name;
        XFree(name);
    }
    return title;
}
}  // namespace

XSession::XSession() {
    if (!std::getenv("DISPLAY")) return;
    display_ = XOpenDisplay(nullptr);
    if (!display_) return;
    XSetErrorHandler(IgnoreErrors);
    width_ = DisplayWidth(display_, DefaultScreen(display_));
    height_ = DisplayHeight(display_, DefaultScreen(display_));
}

XSession::~XSession() {
    if (!display_) return;
    if (desktop_) XDestroyWindow(display_, desktop_);
    XCloseDisplay(display_);
}

std::uint32_t XSession::DesktopPixel(int x, int y) {
    // Bands of colour with a fine texture: any misplaced copy shows.
    return static_cast<std::uint32_t>(((x / 4) & 0xFF) << 16 | ((y / 3) & 0xFF) << 8 |
                                      (((x ^ y) & 0x3F) + 0x40));
}

void XSession::ShowDesktop() {
    Display* d = display_;
    const int screen = DefaultScreen(d);
    Window root = RootWindow(d, screen);
    Pixmap pm = XCreatePixmap(d, root, static_cast<unsigned>(width_),
                              static_cast<unsigned>(height_),
                              static_cast<unsigned>(DefaultDepth(d, screen)));
    XImage* img = XCreateImage(d, DefaultVisual(d, screen), DefaultDepth(d, screen), ZPixmap, 0,
                               nullptr, static_cast<unsigned>(width_),
                               static_cast<unsigned>(height_), 32, 0);
    img->data = static_cast<char*>(std::malloc(static_cast<std::size_t>(img->bytes_per_line) * height_));
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x) XPutPixel(img, x, y, DesktopPixel(x, y));
    GC gc = XCreateGC(d, pm, 0, nullptr);
    XPutImage(d, pm, gc, img, 0, 0, 0, 0, static_cast<unsigned>(width_),
              static_cast<unsigned>(height_));
    XFreeGC(d, gc);
    XDestroyImage(img);
    XSetWindowAttributes attrs;
    attrs.override_redirect = True;
    attrs.background_pixmap = pm;
    desktop_ = XCreateWindow(d, root, 0, 0, static_cast<unsigned>(width_),
                             static_cast<unsigned>(height_), 0, CopyFromParent, InputOutput,
                             CopyFromParent, CWOverrideRedirect | CWBackPixmap, &attrs);
    XStoreName(d, desktop_, "Test desktop");
    XMapWindow(d, desktop_);
    XLowerWindow(d, desktop_);
    XFreePixmap(d, pm);
    XSync(d, False);
    // Shown once the screen's corners and middle hold the pattern.
    const int spots[][2] = {{1, 1}, {width_ - 2, 1}, {width_ / 2, height_ / 2},
                            {1, height_ - 2}, {width_ - 2, height_ - 2}};
    WaitUntil(
        [&] {
            for (const auto& p : spots) {
                XImage* px = XGetImage(d, RootWindow(d, screen), p[0], p[1], 1, 1, AllPlanes,
                                       ZPixmap);
                if (!px) return false;
                const auto v = static_cast<std::uint32_t>(XGetPixel(px, 0, 0)) & 0xFFFFFFu;
                XDestroyImage(px);
                if (v != DesktopPixel(p[0], p[1])) return false;
            }
            return true;
        },
        3000);
}

unsigned long XSession::CreateWindow(int x, int y, int w, int h, std::uint32_t colour,
                                     const std::string& title) {
    Window win = XCreateSimpleWindow(display_, DefaultRootWindow(display_), x, y,
                                     static_cast<unsigned>(w), static_cast<unsigned>(h), 0, 0,
                                     colour);
    XStoreName(display_, win, title.c_str());
    XMapWindow(display_, win);
    XSync(display_, False);
    return win;
}

void XSession::DestroyWindow(unsigned long id) {
    XDestroyWindow(display_, id);
    XSync(display_, False);
}

Shot XSession::Screenshot() {
    XSync(display_, False);
    return Grab(display_, DefaultRootWindow(display_), width_, height_);
}

Shot XSession::WindowShot(unsigned long id) {
    XWindowAttributes a;
    if (!XGetWindowAttributes(display_, id, &a)) return Shot{};
    return Grab(display_, id, a.width, a.height);
}

std::optional<Shot> XSession::WaitForScreen(const std::function<bool(const Shot&)>& ok, int ms) {
    std::optional<Shot> found;
    WaitUntil(
        [&] {
            Shot s = Screenshot();
            if (!ok(s)) return false;
            found = std::move(s);
            return true;
        },
        ms);
    return found;
}

std::optional<Shot> XSession::WaitForWindowShot(unsigned long id,
                                                const std::function<bool(const Shot&)>& ok,
                                                int ms) {
    std::optional<Shot> found;
    WaitUntil(
        [&] {
            XSync(display_, False);
            Shot s = WindowShot(id);
            if (s.pixels.empty() || !ok(s)) return false;
            found = std::move(s);
            return true;
        },
        ms);
    return found;
}

namespace {
// Where the banner's text lies: from a little left of width / 2 - 40, in the top rows.
struct BannerBox {
    int left, right, bottom;
};
BannerBox BannerOf(int width) { return {width / 2 - 48, width / 2 + 88, 32}; }
}  // namespace

bool XSession::ShowsBanner(const Shot& shot) const {
    const BannerBox b = BannerOf(shot.width);
    int text = 0;
    for (int y = 0; y < b.bottom && y < shot.height; ++y)
        for (int x = std::max(0, b.left); x < b.right && x < shot.width; ++x)
            if (shot.at(x, y) != DesktopPixel(x, y)) ++text;
    return text > 30;
}

std::optional<Shot> XSession::PlainFrame(const Shot& shot) const {
    if (!ShowsBanner(shot)) return std::nullopt;
    const BannerBox b = BannerOf(shot.width);
    Shot plain = shot;
    for (int y = 0; y < plain.height; ++y)
        for (int x = 0; x < plain.width; ++x)
            if (y >= b.bottom || x < b.left || x >= b.right)
                plain.pixels[static_cast<std::size_t>(y) * plain.width + x] = DesktopPixel(x, y);
    return plain;
}

std::vector<std::string> XSession::TopLevelTitles() {
    std::vector<std::string> titles;
    Window root_ret, parent_ret, *children = nullptr;
    unsigned n = 0;
    if (!XQueryTree(display_, DefaultRootWindow(display_), &root_ret, &parent_ret, &children, &n))
        return titles;
    for (unsigned i = n; i-- > 0;) titles.push_back(TitleOf(display_, children[i]));
    if (children) XFree(children);
    return titles;
}

unsigned long XSession::WaitForWindow(const std::string& title, int ms) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < until) {
        Window root_ret, parent_ret, *children = nullptr;
        unsigned n = 0;
        if (XQueryTree(display_, DefaultRootWindow(display_), &root_ret, &parent_ret, &children,
                       &n)) {
            for (unsigned i = 0; i < n; ++i) {
                XWindowAttributes a;
                if (TitleOf(display_, children[i]) == title &&
                    XGetWindowAttributes(display_, children[i], &a) &&
                    a.map_state == IsViewable) {
                    const Window found = children[i];
                    XFree(children);
                    return found;
                }
            }
            if (children) XFree(children);
        }
        SleepMs(20);
    }
    return 0;
}

bool XSession::WaitForNoWindow(const std::string& title, int ms) {
    return WaitUntil(
        [&] {
            bool shown = false;
            Window root_ret, parent_ret, *children = nullptr;
            unsigned n = 0;
            if (!XQueryTree(display_, DefaultRootWindow(display_), &root_ret, &parent_ret,
                            &children, &n))
                return false;
            for (unsigned i = 0; i < n && !shown; ++i) {
                XWindowAttributes a;
                shown = TitleOf(display_, children[i]) == title &&
                        XGetWindowAttributes(display_, children[i], &a) &&
                        a.map_state == IsViewable;
            }
            if (children) XFree(children);
            return !shown;
        },
        ms);
}

std::optional<XSession::Placement> XSession::WindowPlacement(unsigned long id) {
    XWindowAttributes a;
    if (!XGetWindowAttributes(display_, id, &a)) return std::nullopt;
    int x = 0, y = 0;
    Window child = 0;
    if (!XTranslateCoordinates(display_, id, DefaultRootWindow(display_), 0, 0, &x, &y, &child))
        return std::nullopt;
    return Placement{x, y, a.width, a.height};
}

void XSession::Key(const char* keysym_name) {
    const KeySym sym = XStringToKeysym(keysym_name);
    const KeyCode code = XKeysymToKeycode(display_, sym);
    XTestFakeKeyEvent(display_, code, True, CurrentTime);
    XTestFakeKeyEvent(display_, code, False, CurrentTime);
    XSync(display_, False);
}

void XSession::Type(const std::string& text) {
    // Keys reach the program in order; each Key waits for the server to take it.
    for (char c : text) {
        const char name[2] = {c, 0};
        Key(name);
    }
}

void XSession::MovePointer(int x, int y) {
    XTestFakeMotionEvent(display_, DefaultScreen(display_), x, y, CurrentTime);
    XSync(display_, False);
}

void XSession::Click(int x, int y) {
    MovePointer(x, y);
    XTestFakeButtonEvent(display_, 1, True, CurrentTime);
    XTestFakeButtonEvent(display_, 1, False, CurrentTime);
    XSync(display_, False);
}

void XSession::Sync() { XSync(display_, False); }

void XSession::Separate(unsigned long window) {
    XEvent ev{};
    ev.xclient.type = ClientMessage;
    ev.xclient.window = window;
    ev.xclient.message_type = XInternAtom(display_, "TAVRO_TEST_SEPARATOR", False);
    ev.xclient.format = 32;
    XSendEvent(display_, window, False, NoEventMask, &ev);
    XSync(display_, False);
}

SaverProcess::~SaverProcess() {
    if (pid_ > 0 && !code_) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
}

void SaverProcess::Start(const std::vector<std::string>& args,
                         const std::map<std::string, std::string>& extra_env) {
    stderr_path_ = dir_ + "/stderr.txt";
    pid_ = fork();
    if (pid_ == 0) {
        setenv("TAVRO_HIVE", (dir_ + "/hive.txt").c_str(), 1);
        setenv("TAVRO_INSTANCE_LOCK", (dir_ + "/instance.lock").c_str(), 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        for (const auto& [k, v] : extra_env) setenv(k.c_str(), v.c_str(), 1);
        const int fd = open(stderr_path_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (fd >= 0) dup2(fd, 2);
        std::vector<char*> argv;
        argv.push_back(const_cast<char*>(exe_.c_str()));
        for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(exe_.c_str(), argv.data());
        _exit(127);
    }
}

std::optional<int> SaverProcess::Wait(int ms) {
    if (code_) return code_;
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    do {
        int status = 0;
        const pid_t r = waitpid(pid_, &status, WNOHANG);
        if (r == pid_) {
            code_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            return code_;
        }
        SleepMs(10);
    } while (std::chrono::steady_clock::now() < until);
    return std::nullopt;
}

bool SaverProcess::Running() { return !Wait(0).has_value(); }

const std::string& SaverProcess::Stderr() {
    std::ifstream in(stderr_path_);
    std::stringstream ss;
    ss << in.rdbuf();
    stderr_ = ss.str();
    return stderr_;
}

void WriteHive(const std::string& dir, const std::map<std::string, std::string>& values) {
    std::ofstream out(dir + "/hive.txt", std::ios::binary);
    out << '[' << kSettingsKey << "]\n";
    for (const auto& [name, text] : values) out << '"' << name << "\"=sz:\"" << text << "\"\n";
}

}  // namespace e2e
