#include "hosts/x11/x11_image.h"

#include <sys/ipc.h>
#include <sys/mman.h>
#include <sys/shm.h>

#include <cstdlib>

#include "hosts/x11/x11_errors.h"

namespace hosts::x11 {

namespace {
#ifdef MADV_POPULATE_WRITE
constexpr int kPopulateWrite = MADV_POPULATE_WRITE;
#else
constexpr int kPopulateWrite = 23;  // Linux 5.14 and later
#endif
}  // namespace

ImageBuffer::ImageBuffer(Display* display, XImage* image, bool shared)
    : display_(display), image_(image), shared_(shared) {}

XImage* ImageBuffer::CreateShared(Display* display, Visual* visual, int depth, int width,
                                  int height, XShmSegmentInfo* info) {
    XImage* image = XShmCreateImage(display, visual, static_cast<unsigned>(depth), ZPixmap,
                                    nullptr, info, static_cast<unsigned>(width),
                                    static_cast<unsigned>(height));
    if (!image) return nullptr;
    const std::size_t bytes = static_cast<std::size_t>(image->bytes_per_line) *
                              static_cast<std::size_t>(image->height);
    info->shmid = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
    if (info->shmid < 0) {
        XDestroyImage(image);
        return nullptr;
    }
    void* address = shmat(info->shmid, nullptr, 0);
    if (address == reinterpret_cast<void*>(-1)) {
        shmctl(info->shmid, IPC_RMID, nullptr);
        XDestroyImage(image);
        return nullptr;
    }
    info->shmaddr = image->data = static_cast<char*>(address);
    info->readOnly = False;
    // Every page is about to be written (a window is drawn whole before it is shown): one
    // call maps them all, much cheaper than a trap into the kernel for each page. Kernels
    // without it refuse, and the pages are mapped as they are touched.
    madvise(address, bytes, kPopulateWrite);
    // A server on another machine refuses the segment; that is only known after a sync.
    ErrorTrap trap(display);
    const bool attached = XShmAttach(display, info) && !trap.Failed();
    // Once the server holds it, the segment goes away with the last detach, even if this
    // process dies.
    shmctl(info->shmid, IPC_RMID, nullptr);
    if (!attached) {
        shmdt(info->shmaddr);
        image->data = nullptr;
        XDestroyImage(image);
        return nullptr;
    }
    return image;
}

std::unique_ptr<ImageBuffer> ImageBuffer::Create(Display* display, Visual* visual, int depth,
                                                 int width, int height, bool try_shared) {
    if (width < 1) width = 1;
    if (height < 1) height = 1;
    if (try_shared) {
        // The image keeps a pointer to its segment record: the record lives in the buffer.
        std::unique_ptr<ImageBuffer> buffer(new ImageBuffer(display, nullptr, true));
        buffer->visual_ = visual;
        buffer->image_ = CreateShared(display, visual, depth, width, height, &buffer->segment_);
        if (buffer->image_) return buffer;
        buffer->shared_ = false;
    }
    XImage* image = XCreateImage(display, visual, static_cast<unsigned>(depth), ZPixmap, 0,
                                 nullptr, static_cast<unsigned>(width),
                                 static_cast<unsigned>(height), 32, 0);
    if (!image) return nullptr;
    image->data = static_cast<char*>(std::calloc(static_cast<std::size_t>(image->height),
                                                 static_cast<std::size_t>(image->bytes_per_line)));
    if (!image->data) {
        XDestroyImage(image);
        return nullptr;
    }
    return std::unique_ptr<ImageBuffer>(new ImageBuffer(display, image, false));
}

ImageBuffer::~ImageBuffer() {
    DropView();
    if (!image_) return;
    if (shared_) {
        XShmDetach(display_, &segment_);
        XSync(display_, False);
        shmdt(segment_.shmaddr);
        image_->data = nullptr;
    }
    XDestroyImage(image_);  // frees the plain image's memory
}

void ImageBuffer::Put(Drawable drawable, GC gc, int x, int y, int w, int h, int dst_x,
                      int dst_y) {
    if (w <= 0 || h <= 0) return;
    if (shared_) {
        XShmPutImage(display_, drawable, gc, image_, x, y, dst_x, dst_y,
                     static_cast<unsigned>(w), static_cast<unsigned>(h), False);
    } else {
        XPutImage(display_, drawable, gc, image_, x, y, dst_x, dst_y, static_cast<unsigned>(w),
                  static_cast<unsigned>(h));
    }
}

void ImageBuffer::DropView() {
    if (!view_) return;
    if (shared_) view_->data = nullptr;  // the segment is not the header's to free
    XDestroyImage(view_);
    view_ = nullptr;
}

XImage* ImageBuffer::Read(Drawable drawable, int x, int y, int w, int h) {
    if (w <= 0 || h <= 0 || w > width() || h > height()) return nullptr;
    DropView();
    if (!shared_) {
        // A fresh image: filling an existing one (XGetSubImage) goes pixel by pixel.
        view_ = XGetImage(display_, drawable, x, y, static_cast<unsigned>(w),
                          static_cast<unsigned>(h), AllPlanes, ZPixmap);
        return view_;
    }
    // The server fills an image of exactly the area's size: describe the first part of the
    // segment as one (w * h pixels fit since w, h do not exceed the buffer's).
    view_ = XShmCreateImage(display_, visual_,
                            static_cast<unsigned>(image_->depth), ZPixmap, segment_.shmaddr,
                            &segment_, static_cast<unsigned>(w), static_cast<unsigned>(h));
    if (!view_) return nullptr;
    if (!XShmGetImage(display_, drawable, view_, x, y, AllPlanes)) return nullptr;
    return view_;
}

}  // namespace hosts::x11
