// Fuzzes the stored settings as the saver uses them: the input gives the texts of the
// eleven settings values (one a line) and a screen size; the saver is set up from them on
// the headless host and runs a few frame and event ticks. Sanitizers catch any access
// outside the planes, the direction table or a surface.
//
// Speed: the screen is small (16 to 72 pixels a side, still smaller than the lightning
// picture), the hive lies in memory (/dev/shm) where there is one and is read once per
// load, and the saver window with its painted pictures is loaded once: a new screen size
// only changes what the host reports, and the set-up sizes the window and snapshot to it.
// Each input runs the whole set-up (settings, seeding, formation, sequences, snapshot,
// banner, timers) with the timers, sequence and event value reset.
#include <stdlib.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "hosts/headless/headless_host.h"
#include "os/hive_format.h"
#include "os/message_loop.h"
#include "os/registry.h"
#include "os/window.h"
#include "saver/init_screen_saver.h"
#include "saver/ss_form.h"
#include "saver/ss_module.h"
#include "settings/settings.h"
#include "startup/program_state.h"

namespace {

const char* const kNames[] = {"PlaneNum", "TimeInt", "PlaneDist", "EventInt",
                              "BkWavEna", "ThWavEna", "EnaTh",    "EventProbs",
                              "Step",     "BKWav",    "ThunderWav"};

// Writes the hive file in one go (the registry's own writes sync to disk each time, which
// would make every fuzz run slow).
void WriteHive(const std::vector<std::pair<const char*, std::string_view>>& values) {
    os::hive::Hive hive;
    os::hive::Key& key = hive.CreateKey(kSettingsKey);
    for (const auto& [name, text] : values)
        os::hive::SetValue(key, name, os::REG_SZ, std::vector<os::BYTE>(text.begin(), text.end()));
    std::ofstream(getenv("TAVRO_HIVE"), std::ios::binary | std::ios::trunc)
        << os::hive::SerializeHive(hive);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    const std::filesystem::path folder = std::filesystem::is_directory("/dev/shm")
                                             ? std::filesystem::path("/dev/shm")
                                             : std::filesystem::temp_directory_path();
    static std::string hive =
        (folder / ("tavro-saver-fuzz-" + std::to_string(getpid()) + ".txt")).string();
    setenv("TAVRO_HIVE", hive.c_str(), 1);
    std::atexit([] { std::remove(hive.c_str()); });
    return 0;
}

namespace {

constexpr int kLargestSide = 72;

// The headless host with a screen whose size each input chooses (the display changing
// resolution between runs): it answers ScreenWidth/ScreenHeight and clips screen reads and
// writes to the chosen size, inside a desktop of the largest size. The saver window stays
// loaded on it, so its sprite sheet and lightning picture are painted once, not per input;
// the set-up sizes the window and the snapshot to the chosen screen as it would anyway.
class SizedScreenHost : public hosts::HeadlessHost {
public:
    SizedScreenHost() : HeadlessHost(kLargestSide, kLargestSide) {}
    void Choose(int width, int height) { shown_w_ = width, shown_h_ = height; }

    int ScreenWidth() override { return shown_w_; }
    int ScreenHeight() override { return shown_h_; }
    bool ReadScreen(std::uint32_t* dst, int dst_stride, int x, int y, int w, int h) override {
        os::HostRect part;
        if (!dst || !Clip(x, y, w, h, part)) return false;
        return HeadlessHost::ReadScreen(Offset(dst, dst_stride, part, x, y), dst_stride,
                                        part.left, part.top, part.width(), part.height());
    }
    void WriteScreen(const std::uint32_t* src, int src_stride, int x, int y, int w,
                     int h) override {
        os::HostRect part;
        if (!src || !Clip(x, y, w, h, part)) return;
        HeadlessHost::WriteScreen(Offset(src, src_stride, part, x, y), src_stride, part.left,
                                  part.top, part.width(), part.height());
    }

private:
    bool Clip(int x, int y, int w, int h, os::HostRect& part) const {
        part = os::HostRect{std::max(x, 0), std::max(y, 0), std::min(x + w, shown_w_),
                            std::min(y + h, shown_h_)};
        return part.right > part.left && part.bottom > part.top;
    }
    template <typename Pixel>
    static Pixel* Offset(Pixel* base, int stride, const os::HostRect& part, int x, int y) {
        return base + static_cast<std::ptrdiff_t>(part.top - y) * stride + (part.left - x);
    }

    int shown_w_ = kLargestSide, shown_h_ = kLargestSide;
};

SizedScreenHost* g_host = nullptr;

// The saver window, loaded once on the host (its load paints the sprite sheet and the
// lightning picture: the slow part of a set-up), on a screen of the given size.
SSForm& SaverOn(int width, int height) {
    SSForm& form = SSFormInstance();
    if (!g_host || !form.IsLoaded()) {
        ResetProgramState();
        auto host = std::make_unique<SizedScreenHost>();
        g_host = host.get();
        os::InstallHost(std::move(host));
        form.Load();
    }
    g_host->Choose(width, height);
    return form;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    // The first two bytes choose the screen: 16 to 72 pixels a side in steps of 8.
    const int width = 16 + 8 * (data[0] & 7);
    const int height = 16 + 8 * (data[1] & 7);
    static_assert(16 + 8 * 7 == kLargestSide);
    std::string_view rest(reinterpret_cast<const char*>(data + 2), size - 2);

    std::vector<std::pair<const char*, std::string_view>> values;
    for (const char* name : kNames) {
        const auto end = rest.find('\n');
        values.emplace_back(name, rest.substr(0, end));
        if (end == std::string_view::npos) break;
        rest.remove_prefix(end + 1);
    }
    WriteHive(values);

    SSForm& form = SaverOn(width, height);
    // What the last input left: no timers, no sequence, the event value and pointer back.
    os::ResetMessageLoop();
    form.NextEvent = 0;
    form.LastX = form.LastY = 0;
    SeqActive = 0;
    RunMode = ModeSaver;
    InitScreenSaver();
    form.Show(false);
    for (int i = 0; i < 6; ++i) {
        form.Movement_Timer();
        if (i % 2 == 0) form.Eventer_Timer();
    }
    return 0;
}
