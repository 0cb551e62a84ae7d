#include "os/surface.h"

#include <sys/mman.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <new>

namespace os {

namespace {
std::atomic<std::uint64_t> g_next_surface_id{1};
constexpr std::size_t kMaxLog = 256;     // write-log entries kept per surface
constexpr std::size_t kMaxDamage = 64;   // damage rectangles before they collapse
constexpr std::size_t kMaxCopyRects = 48;
// Two rectangles are joined when their bounding box covers at most this many pixels that
// neither covers: copying or sending them costs less than one more piece.
constexpr long long kMergeSlack = 4096;

long long Area(const Rect& r) { return r.empty() ? 0 : 1LL * r.width() * r.height(); }

bool WorthJoining(const Rect& a, const Rect& b) {
    const long long covered = Area(a) + Area(b) - Area(Intersect(a, b));
    return Area(Union(a, b)) - covered <= kMergeSlack;
}
}  // namespace

Rect Intersect(const Rect& a, const Rect& b) {
    Rect r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
           std::min(a.bottom, b.bottom)};
    if (r.empty()) return Rect{};
    return r;
}

Rect Union(const Rect& a, const Rect& b) {
    if (a.empty()) return b;
    if (b.empty()) return a;
    return Rect{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                std::max(a.bottom, b.bottom)};
}

std::vector<Rect> CoverRects(std::vector<Rect> rects) {
    std::erase_if(rects, [](const Rect& r) { return r.empty(); });
    // Join pairs until none is worth joining; each join removes one rectangle.
    for (bool joined = true; joined;) {
        joined = false;
        for (std::size_t i = 0; i < rects.size(); ++i) {
            for (std::size_t j = i + 1; j < rects.size();) {
                if (WorthJoining(rects[i], rects[j])) {
                    rects[i] = Union(rects[i], rects[j]);
                    rects[j] = rects.back();
                    rects.pop_back();
                    joined = true;
                } else {
                    ++j;
                }
            }
        }
    }
    return rects;
}

Surface::Surface(int width, int height, std::uint32_t fill) : id_(g_next_surface_id++) {
    Resize(width, height, fill);
}

Surface::~Surface() = default;

void Surface::Reset() {
    ++seq_;
    log_.clear();
    log_floor_ = seq_;
    mirror_src_id_ = 0;
    damage_.clear();
    damage_all_ = true;
    if (id_ == 0) id_ = g_next_surface_id++;
}

void Surface::FreePixels::operator()(std::uint32_t* p) const { std::free(p); }

namespace {
constexpr std::size_t kHugePage = std::size_t{2} << 20;

// Uninitialised room for `count` pixels; nullptr only when memory is exhausted.
std::uint32_t* AllocatePixels(std::size_t count) {
    return static_cast<std::uint32_t*>(
        AllocatePixelMemory(std::max<std::size_t>(count, 1) * sizeof(std::uint32_t)));
}
}  // namespace

void* AllocatePixelMemory(std::size_t bytes) {
    bytes = std::max<std::size_t>(bytes, 1);
    if (bytes < kHugePage) return std::malloc(bytes);
    const std::size_t rounded = (bytes + kHugePage - 1) / kHugePage * kHugePage;
    void* p = std::aligned_alloc(kHugePage, rounded);
    if (p) madvise(p, rounded, MADV_HUGEPAGE);  // a hint; ignored where unsupported
    return p;
}

void Surface::BindExternal(std::uint32_t* pixels, int width, int height, int stride) {
    owned_.reset();
    pixels_ = pixels;
    width_ = std::max(0, width);
    height_ = std::max(0, height);
    stride_ = std::max(stride, width_);
    Reset();
}

void Surface::AdoptPixels(std::uint32_t* pixels, int width, int height) {
    owned_.reset(pixels);
    pixels_ = pixels;
    width_ = std::max(0, width);
    height_ = std::max(0, height);
    stride_ = width_;
    Reset();
}

void Surface::Resize(int width, int height, std::uint32_t fill) {
    width = std::max(0, width);
    height = std::max(0, height);
    const std::size_t count = static_cast<std::size_t>(width) * height;
    std::unique_ptr<std::uint32_t[], FreePixels> next(AllocatePixels(count));
    if (!next) throw std::bad_alloc();
    std::fill_n(next.get(), count, fill);
    const int keep_w = std::min(width, width_), keep_h = std::min(height, height_);
    for (int y = 0; y < keep_h && pixels_; ++y)
        std::memcpy(next.get() + static_cast<std::size_t>(y) * width, row(y),
                    sizeof(std::uint32_t) * keep_w);
    owned_ = std::move(next);
    pixels_ = owned_.get();
    width_ = width;
    height_ = height;
    stride_ = width;
    Reset();
}

void Surface::NoteWritten(const Rect& r0) {
    const Rect r = Intersect(r0, bounds());
    if (r.empty()) return;
    ++seq_;
    log_.push_back(Entry{seq_, r});
    if (log_.size() > kMaxLog) {
        const std::size_t drop = log_.size() / 2;
        log_floor_ = log_[drop - 1].seq;
        log_.erase(log_.begin(), log_.begin() + static_cast<std::ptrdiff_t>(drop));
    }
    if (!damage_all_) {
        damage_.push_back(r);
        if (damage_.size() > kMaxDamage) {
            damage_.clear();
            damage_all_ = true;
        }
    }
}

bool Surface::WrittenSince(std::uint64_t since, std::vector<Rect>* out) const {
    if (since < log_floor_) return false;
    for (const Entry& e : log_)
        if (e.seq > since) out->push_back(e.rect);
    return true;
}

std::vector<Rect> Surface::CopyWholeFrom(const Surface& src) {
    std::vector<Rect> todo;
    bool all = true;
    if (mirror_src_id_ != 0 && mirror_src_id_ == src.id_ && src.width_ == width_ &&
        src.height_ == height_) {
        if (src.WrittenSince(mirror_src_seq_, &todo) && WrittenSince(mirror_own_seq_, &todo))
            all = false;
    }
    if (!all && todo.size() <= kMaxLog) todo = CoverRects(std::move(todo));
    if (all || todo.size() > kMaxCopyRects) {
        todo.assign(1, bounds());
    }
    const Rect limit = Intersect(bounds(), src.bounds());
    std::vector<Rect> copied;
    copied.reserve(todo.size());
    for (const Rect& t : todo) {
        const Rect r = Intersect(t, limit);
        if (r.empty()) continue;
        const std::size_t bytes = sizeof(std::uint32_t) * static_cast<std::size_t>(r.width());
        for (int y = r.top; y < r.bottom; ++y) std::memmove(row(y) + r.left, src.row(y) + r.left, bytes);
        copied.push_back(r);
    }
    for (const Rect& r : copied) NoteWritten(r);
    mirror_src_id_ = src.id_;
    mirror_src_seq_ = src.seq_;
    mirror_own_seq_ = seq_;
    return copied;
}

std::vector<Rect> Surface::TakeDamage() {
    std::vector<Rect> out;
    if (damage_all_) {
        if (!bounds().empty()) out.push_back(bounds());
    } else {
        out.swap(damage_);
    }
    damage_.clear();
    damage_all_ = false;
    return out;
}

}  // namespace os
