// Opening the display and the screen as a whole: its size, reading what it shows and
// drawing over every window.
#include "hosts/x11/x11_state.h"
// (first: the host interface must come before Xlib's macros)

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XShm.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "hosts/x11/x11_errors.h"

namespace hosts {

namespace {

int BitsPerPixelOfDepth(Display* display, int depth) {
    int count = 0;
    XPixmapFormatValues* formats = XListPixmapFormats(display, &count);
    int bits = 0;
    for (int i = 0; i < count; ++i) {
        if (formats[i].depth == depth) bits = formats[i].bits_per_pixel;
    }
    if (formats) XFree(formats);
    return bits;
}

bool MachineIsLittleEndian() {
    const std::uint32_t probe = 1;
    unsigned char first = 0;
    std::memcpy(&first, &probe, 1);
    return first == 1;
}

Cursor MakeBlankCursor(Display* display, Window root) {
    static const char kNoBits[1] = {0};
    Pixmap empty = XCreateBitmapFromData(display, root, kNoBits, 1, 1);
    XColor black{};
    Cursor cursor = XCreatePixmapCursor(display, empty, empty, &black, &black, 0, 0);
    XFreePixmap(display, empty);
    return cursor;
}

// The part of (x, y, w, h) that lies on a screen of the given size.
struct Clip {
    int x0, y0, x1, y1;
    bool empty() const { return x1 <= x0 || y1 <= y0; }
};
Clip ClipToScreen(int x, int y, int w, int h, int screen_w, int screen_h) {
    return {std::max(x, 0), std::max(y, 0), std::min(x + w, screen_w), std::min(y + h, screen_h)};
}

}  // namespace

std::unique_ptr<os::Host> CreateX11Host(std::string* error) {
    const auto fail = [&](const std::string& reason) -> std::unique_ptr<os::Host> {
        if (error) *error = reason;
        return nullptr;
    };
    const char* name = std::getenv("DISPLAY");
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        return fail(std::string("cannot open X display \"") + (name ? name : "") + "\"");
    }
    x11::InstallErrorHandlers();
    auto state = std::make_unique<x11::State>();
    state->display = display;  // closed by the state from here on
    state->screen = DefaultScreen(display);
    state->root = RootWindow(display, state->screen);
    state->visual = DefaultVisual(display, state->screen);
    state->depth = DefaultDepth(display, state->screen);
    if (state->visual->c_class != TrueColor) {
        return fail("the X display's default visual is not TrueColor");
    }
    const int bits = BitsPerPixelOfDepth(display, state->depth);
    const bool native_order = (ImageByteOrder(display) == LSBFirst) == MachineIsLittleEndian();
    state->format = x11::PixelFormat(static_cast<std::uint32_t>(state->visual->red_mask),
                                     static_cast<std::uint32_t>(state->visual->green_mask),
                                     static_cast<std::uint32_t>(state->visual->blue_mask), bits,
                                     native_order);
    if (!state->format.IsUsable()) {
        return fail("the X display's default visual has unusable colour masks");
    }
    state->shm = XShmQueryExtension(display);
    state->window_gc = XCreateGC(display, state->root, 0, nullptr);
    XGCValues values{};
    values.subwindow_mode = IncludeInferiors;
    state->root_gc = XCreateGC(display, state->root, GCSubwindowMode, &values);
    state->blank_cursor = MakeBlankCursor(display, state->root);
    state->atoms.Load(display);
    // A held key then sends repeated presses only, as the program expects; where the server
    // cannot, the event reader drops the paired releases itself.
    Bool detectable = False;
    XkbSetDetectableAutoRepeat(display, True, &detectable);
    return std::make_unique<X11Host>(std::move(state));
}

X11Host::X11Host(std::unique_ptr<x11::State> state) : s_(std::move(state)) {}

X11Host::~X11Host() = default;

int X11Host::ScreenWidth() { return DisplayWidth(s_->display, s_->screen); }

int X11Host::ScreenHeight() { return DisplayHeight(s_->display, s_->screen); }

bool X11Host::ReadScreen(std::uint32_t* dst, int dst_stride, int x, int y, int w, int h) {
    const Clip clip = ClipToScreen(x, y, w, h, ScreenWidth(), ScreenHeight());
    if (!dst || clip.empty()) return false;
    const int cw = clip.x1 - clip.x0, ch = clip.y1 - clip.y0;
    // Read in bands of about 256 KiB through an image made for this call and let go after
    // it: the screen is read once or twice in a run (the saver's snapshot). Each page of the
    // image costs a page fault the first time it is touched, so a screen-sized image would
    // cost some two thousand of them (and its memory), where the band costs sixty-odd and a
    // few more requests.
    constexpr int kBandPixels = 1 << 16;
    const int band = std::max(1, std::min(ch, kBandPixels / cw));
    const std::unique_ptr<x11::ImageBuffer> image =
        x11::ImageBuffer::Create(s_->display, s_->visual, s_->depth, cw, band, s_->shm);
    if (!image) return false;
    std::uint32_t* out = dst + static_cast<std::ptrdiff_t>(clip.y0 - y) * dst_stride + (clip.x0 - x);
    for (int top = 0; top < ch; top += band) {
        const int rows = std::min(band, ch - top);
        XImage* ximage = image->Read(s_->root, clip.x0, clip.y0 + top, cw, rows);
        if (!ximage) return false;
        for (int row = 0; row < rows; ++row, out += dst_stride) {
            if (s_->format.IsDirect()) {
                // A row as it is, less the byte above 0x00RRGGBB that the server may fill.
                const auto* in = reinterpret_cast<const std::uint32_t*>(
                    ximage->data + static_cast<std::ptrdiff_t>(row) * ximage->bytes_per_line);
                for (int col = 0; col < cw; ++col) out[col] = in[col] & 0x00FFFFFFu;
            } else {
                for (int col = 0; col < cw; ++col) {
                    out[col] = s_->format.Decode(
                        static_cast<std::uint32_t>(XGetPixel(ximage, col, row)));
                }
            }
        }
    }
    return true;
}

void X11Host::WriteScreen(const std::uint32_t* src, int src_stride, int x, int y, int w,
                          int h) {
    const Clip clip = ClipToScreen(x, y, w, h, ScreenWidth(), ScreenHeight());
    if (!src || clip.empty()) return;
    const int cw = clip.x1 - clip.x0, ch = clip.y1 - clip.y0;
    auto& image = s_->write_image;
    if (!image || image->width() < cw || image->height() < ch) {
        const int iw = std::max(cw, image ? image->width() : 0);
        const int ih = std::max(ch, image ? image->height() : 0);
        image.reset();
        image = x11::ImageBuffer::Create(s_->display, s_->visual, s_->depth, iw, ih, s_->shm);
        if (!image) return;
    }
    XImage* ximage = image->image();
    for (int row = 0; row < ch; ++row) {
        const std::uint32_t* in = src + static_cast<std::ptrdiff_t>(clip.y0 - y + row) * src_stride +
                                  (clip.x0 - x);
        if (s_->format.IsDirect()) {
            std::memcpy(ximage->data + static_cast<std::ptrdiff_t>(row) * ximage->bytes_per_line, in,
                        static_cast<std::size_t>(cw) * 4);
        } else {
            for (int col = 0; col < cw; ++col) XPutPixel(ximage, col, row, s_->format.Encode(in[col]));
        }
    }
    image->Put(s_->root, s_->root_gc, 0, 0, cw, ch, clip.x0, clip.y0);
    if (image->shared()) {
        XSync(s_->display, False);  // the next call reuses the memory the server reads
    } else {
        XFlush(s_->display);
    }
}

std::uint64_t X11Host::NowMs() { return x11::MonotonicMs(); }

}  // namespace hosts
