// Block-copy costs of one animation frame: whole-frame copies through change tracking
// against a plain memcpy, and the 200x200 mask-and-image pair of one plane.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "os/gdi.h"

namespace {

constexpr int kW = 1920, kH = 1080;

struct Frame {
    os::Surface surface;
    os::HDC dc;
    explicit Frame(int w = kW, int h = kH, std::uint32_t fill = 0) : surface(w, h, fill), dc(os::CreateSurfaceDC(&surface)) {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) surface.row(y)[x] = (static_cast<std::uint32_t>(x * 7 + y * 13) * 2654435761u) & 0xFFFFFF;
        surface.NoteWritten(surface.bounds());
    }
    ~Frame() { os::DeleteSurfaceDC(dc); }
};

// The present of a frame in which one 200x200 plane moved: only what changed is copied.
void BM_WholeCopyLittleChanged(benchmark::State& state) {
    Frame back, window, sprite(200, 200);
    os::BitBlt(window.dc, 0, 0, kW, kH, back.dc, 0, 0, os::SRCCOPY);
    int x = 0;
    for (auto _ : state) {
        x = (x + 3) % (kW - 200);
        os::BitBlt(back.dc, x, 400, 200, 200, sprite.dc, 0, 0, os::SRCINVERT);
        os::BitBlt(window.dc, 0, 0, kW, kH, back.dc, 0, 0, os::SRCCOPY);
        benchmark::DoNotOptimize(window.surface.pixel(x, 400));
    }
}
BENCHMARK(BM_WholeCopyLittleChanged)->Unit(benchmark::kMicrosecond);

// The same present if every pixel had to move.
void BM_PlainFrameMemcpy(benchmark::State& state) {
    std::vector<std::uint32_t> from(static_cast<std::size_t>(kW) * kH, 1), to(from.size());
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), from.size() * sizeof(std::uint32_t));
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(from.size() * 4));
}
BENCHMARK(BM_PlainFrameMemcpy)->Unit(benchmark::kMicrosecond);

// One plane drawn: mask with SRCAND, then image with SRCINVERT.
void BM_PlaneMaskAndImage(benchmark::State& state) {
    Frame back, sheet(1608, 603);
    for (auto _ : state) {
        os::BitBlt(back.dc, 500, 300, 200, 200, sheet.dc, 201, 402, os::SRCAND);
        os::BitBlt(back.dc, 500, 300, 200, 200, sheet.dc, 201, 0, os::SRCINVERT);
        benchmark::DoNotOptimize(back.surface.pixel(500, 300));
    }
}
BENCHMARK(BM_PlaneMaskAndImage)->Unit(benchmark::kMicrosecond);

// A whole frame tick with four planes: clear from the snapshot, draw, present.
void BM_FrameTickFourPlanes(benchmark::State& state) {
    Frame snapshot, back, window, sheet(1608, 603);
    int step = 0;
    for (auto _ : state) {
        ++step;
        os::BitBlt(back.dc, 0, 0, kW, kH, snapshot.dc, 0, 0, os::SRCCOPY);
        for (int i = 0; i < 4; ++i) {
            const int x = (step * 4 + i * 300) % (kW + 200) - 200, y = 100 + i * 200;
            os::BitBlt(back.dc, x, y, 200, 200, sheet.dc, 201 * i, 402, os::SRCAND);
            os::BitBlt(back.dc, x, y, 200, 200, sheet.dc, 201 * i, 0, os::SRCINVERT);
        }
        os::BitBlt(window.dc, 0, 0, kW, kH, back.dc, 0, 0, os::SRCCOPY);
        benchmark::DoNotOptimize(window.surface.pixel(0, 0));
    }
}
BENCHMARK(BM_FrameTickFourPlanes)->Unit(benchmark::kMicrosecond);

}  // namespace


