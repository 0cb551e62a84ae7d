// One frame tick of the full-screen saver at 1920 x 1080 with nine planes on the headless
// host, against the cost of two plain full-frame memory copies (what the tick's two
// full-screen copies would cost if done naively), measured in the same run.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <vector>

#include "hosts/headless/headless_host.h"
#include "os/message_loop.h"
#include "os/window.h"
#include "saver/init_screen_saver.h"
#include "saver/ss_form.h"
#include "saver/ss_module.h"
#include "settings/settings.h"

namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;

// Nanoseconds per pair of full-frame copies (the median of a few rounds).
double TwoCopiesNs() {
    std::vector<std::uint32_t> a(static_cast<std::size_t>(kWidth) * kHeight, 0x123456);
    std::vector<std::uint32_t> b(a.size()), c(a.size());
    std::vector<double> rounds;
    for (int r = 0; r < 15; ++r) {
        const auto t0 = std::chrono::steady_clock::now();
        std::memcpy(b.data(), a.data(), a.size() * 4);
        benchmark::DoNotOptimize(b.data());
        std::memcpy(c.data(), b.data(), b.size() * 4);
        benchmark::DoNotOptimize(c.data());
        benchmark::ClobberMemory();
        rounds.push_back(std::chrono::duration<double, std::nano>(
                             std::chrono::steady_clock::now() - t0).count());
        a[static_cast<std::size_t>(r)] ^= 1;  // keep the copies from being folded
    }
    std::sort(rounds.begin(), rounds.end());
    return rounds[rounds.size() / 2];
}

void SetUpSaver() {
    const std::string hive =
        (std::filesystem::temp_directory_path() / "tavro-bench-hive.txt").string();
    std::filesystem::remove(hive);
    setenv("TAVRO_HIVE", hive.c_str(), 1);
    os::ResetMessageLoop();
    os::ResetWindowSystem();
    os::InstallHost(std::make_unique<hosts::HeadlessHost>(kWidth, kHeight));
    SSForm& form = SSFormInstance();
    form.Load();
    RunMode = ModeSaver;
    InitScreenSaver();
    form.Show(false);
    Settings.PlaneNum = 8;  // nine planes
}

void BM_FrameTick(benchmark::State& state) {
    SetUpSaver();
    SSForm& form = SSFormInstance();
    for (auto _ : state) form.Movement_Timer();
    const auto t0 = std::chrono::steady_clock::now();
    constexpr int kTimed = 200;
    for (int i = 0; i < kTimed; ++i) form.Movement_Timer();
    const double tick_ns =
        std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - t0).count() /
        kTimed;
    const double copies_ns = TwoCopiesNs();
    state.counters["tick_us"] = tick_ns / 1000.0;
    state.counters["two_copies_us"] = copies_ns / 1000.0;
    state.counters["tick_vs_two_copies"] = tick_ns / copies_ns;
    form.Unload();
}
BENCHMARK(BM_FrameTick)->Unit(benchmark::kMicrosecond);

void BM_TwoFullFrameCopies(benchmark::State& state) {
    std::vector<std::uint32_t> a(static_cast<std::size_t>(kWidth) * kHeight, 0x123456);
    std::vector<std::uint32_t> b(a.size()), c(a.size());
    for (auto _ : state) {
        std::memcpy(b.data(), a.data(), a.size() * 4);
        benchmark::DoNotOptimize(b.data());
        std::memcpy(c.data(), b.data(), b.size() * 4);
        benchmark::DoNotOptimize(c.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_TwoFullFrameCopies)->Unit(benchmark::kMicrosecond);

}  // namespace

