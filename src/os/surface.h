// A 32-bit pixel surface (0x00RRGGBB): a window's client area, a picture box's persistent
// image, a loaded picture, or a view of the screen. Device contexts draw on surfaces.
//
// Change tracking: every writer reports the rectangle it wrote (NoteWritten). A surface
// that was made a whole copy of another (a full-surface SRCCOPY) remembers that source and
// where each of them has been written since, so the next whole copy only needs to move the
// pixels that can differ. The result is exactly what a full copy gives; the tracking only
// skips work whose result would change no pixel.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace os {

struct Rect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool empty() const { return right <= left || bottom <= top; }
};

Rect Intersect(const Rect& a, const Rect& b);
Rect Union(const Rect& a, const Rect& b);  // bounding box; an empty side is ignored
// Rectangles that cover every pixel of rects with as few pieces as is cheap: empty ones
// dropped, and two joined into their bounding box when they overlap or lie so close that
// the box adds only a little area (a moving sprite's old and new places become one).
std::vector<Rect> CoverRects(std::vector<Rect> rects);

// Uninitialised memory that std::free releases; nullptr when memory is exhausted. Blocks
// of 2 MiB and more are aligned for the kernel's huge pages, so that a screen-sized one
// costs a few page faults instead of thousands.
void* AllocatePixelMemory(std::size_t bytes);

class Surface {
public:
    Surface() = default;
    Surface(int width, int height, std::uint32_t fill = 0);  // owns its pixels
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;
    ~Surface();

    // Views memory owned elsewhere (a host window's pixels). Contents are kept.
    void BindExternal(std::uint32_t* pixels, int width, int height, int stride);
    // Owns width x height pixels from malloc as they are (a decoder's output, converted in
    // place); nothing is copied.
    void AdoptPixels(std::uint32_t* pixels, int width, int height);
    // Owned surfaces: keeps the overlapping pixels, fills the new area with fill.
    void Resize(int width, int height, std::uint32_t fill = 0);

    int width() const { return width_; }
    int height() const { return height_; }
    int stride() const { return stride_; }  // in pixels
    Rect bounds() const { return Rect{0, 0, width_, height_}; }
    std::uint32_t* row(int y) { return pixels_ + static_cast<std::ptrdiff_t>(y) * stride_; }
    const std::uint32_t* row(int y) const {
        return pixels_ + static_cast<std::ptrdiff_t>(y) * stride_;
    }
    std::uint32_t pixel(int x, int y) const { return row(y)[x]; }

    // --- change tracking ------------------------------------------------------------
    // Every write to the pixels must be reported; r is clipped to the surface.
    void NoteWritten(const Rect& r);
    // Rectangles written since `since` (a value of WriteSeq()); false when the log no
    // longer reaches that far back (then assume everything changed).
    bool WrittenSince(std::uint64_t since, std::vector<Rect>* out) const;
    std::uint64_t WriteSeq() const { return seq_; }

    // Whole-surface copy from src (same size), moving only pixels that can differ.
    // Returns the rectangles actually copied (the parts of this surface that changed).
    std::vector<Rect> CopyWholeFrom(const Surface& src);

    // Rectangles written since the last TakeDamage call (what a window must present).
    std::vector<Rect> TakeDamage();

    std::uint64_t id() const { return id_; }

private:
    void Reset();

    // Owned pixels, from AllocatePixelMemory (or a decoder using it).
    struct FreePixels {
        void operator()(std::uint32_t* p) const;
    };
    std::uint32_t* pixels_ = nullptr;
    std::unique_ptr<std::uint32_t[], FreePixels> owned_;
    int width_ = 0, height_ = 0, stride_ = 0;
    std::uint64_t id_ = 0;

    // Write log: (sequence number, rectangle), bounded; older entries are dropped.
    struct Entry {
        std::uint64_t seq;
        Rect rect;
    };
    std::vector<Entry> log_;
    std::uint64_t seq_ = 1;
    std::uint64_t log_floor_ = 1;  // WrittenSince(x) is exact for x >= log_floor_

    // Mirror: this surface equals mirror_src_ (identified by id) as of its sequence
    // mirror_src_seq_, apart from what this surface has written since mirror_own_seq_.
    std::uint64_t mirror_src_id_ = 0;
    std::uint64_t mirror_src_seq_ = 0;
    std::uint64_t mirror_own_seq_ = 0;

    std::vector<Rect> damage_;
    bool damage_all_ = false;
};

}  // namespace os
