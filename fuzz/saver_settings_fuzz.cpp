// Fuzzes the stored settings as the saver uses them: the input gives the texts of the
// eleven settings values (one a line) and a screen size; the saver is set up from them on
// the headless host and runs a few frame and event ticks. Sanitizers catch any access
// outside the planes, the direction table or a surface.
//
// Speed: the screen is small (16 to 72 pixels a side, still smaller than the lightning
// picture), the hive lies in memory (/dev/shm) where there is one, and the saver window with its decoded pictures stays loaded while inputs keep
// the same screen; only a new screen size loads it afresh. Each input runs the whole set-up
// (settings, seeding, formation, sequences, snapshot, banner, timers) from a reset state.
#include <stdlib.h>

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

int g_width = 0, g_height = 0;  // the screen the loaded saver window stands on

// The headless host of this screen with the saver window loaded on it (the window's load
// paints the sprite sheet and the lightning picture: the slow part of a set-up).
SSForm& SaverOn(int width, int height) {
    SSForm& form = SSFormInstance();
    if (width == g_width && height == g_height && form.IsLoaded()) return form;
    ResetProgramState();
    os::InstallHost(std::make_unique<headless::HeadlessHost>(width, height));
    g_width = width;
    g_height = height;
    form.Load();
    return form;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    // The first two bytes choose the screen: 16 to 72 pixels a side in steps of 8.
    const int width = 16 + 8 * (data[0] & 7);
    const int height = 16 + 8 * (data[1] & 7);
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
