// An XImage whose memory is shared with the X server (MIT-SHM) when that works, or a
// plain client-side image otherwise.
#pragma once

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>

#include <memory>

namespace hosts::x11 {

class ImageBuffer {
public:
    // A zeroed width x height ZPixmap image; nullptr when even a plain one cannot be made.
    static std::unique_ptr<ImageBuffer> Create(Display* display, Visual* visual, int depth,
                                               int width, int height, bool try_shared);
    ~ImageBuffer();
    ImageBuffer(const ImageBuffer&) = delete;
    ImageBuffer& operator=(const ImageBuffer&) = delete;

    XImage* image() const { return image_; }
    bool shared() const { return shared_; }
    int width() const { return image_->width; }
    int height() const { return image_->height; }

    // Sends the part (x, y, w, h) of the image to (dst_x, dst_y) of the drawable.
    void Put(Drawable drawable, GC gc, int x, int y, int w, int h, int dst_x, int dst_y);
    // Reads the drawable's area (x, y, w, h), which must fit the buffer, into the buffer's
    // top-left corner. Returns an image describing just that area (valid until the next
    // read), nullptr when refused.
    XImage* Read(Drawable drawable, int x, int y, int w, int h);

private:
    ImageBuffer(Display* display, XImage* image, bool shared);
    void DropView();
    static XImage* CreateShared(Display* display, Visual* visual, int depth, int width,
                                int height, XShmSegmentInfo* info);

    Display* display_;
    Visual* visual_ = nullptr;
    XImage* image_;
    bool shared_;
    XShmSegmentInfo segment_{};
    XImage* view_ = nullptr;  // the last area read: a header over the shared memory, or
                              // an image of its own without it

};

}  // namespace hosts::x11
