// Fuzzes the stored settings as the saver uses them: the input gives the texts of the
// eleven settings values (one a line) and a screen size; the saver is set up from them on
// the headless host and runs a few frame and event ticks. Sanitizers catch any access
// outside the planes, the direction table or a surface.
#include <stdlib.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "hosts/headless/headless_host.h"
#include "os/message_loop.h"
#include "os/hive_format.h"
#include "os/registry.h"
#include "os/window.h"
#include "saver/init_screen_saver.h"
#include "saver/ss_form.h"
#include "saver/ss_module.h"
#include "settings/settings.h"

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
    static std::string hive =
        (std::filesystem::temp_directory_path() /
         ("tavro-saver-fuzz-" + std::to_string(getpid()) + ".txt"))
            .string();
    setenv("TAVRO_HIVE", hive.c_str(), 1);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    // The first two bytes choose the screen: 16 to 527 pixels a side.
    const int width = 16 + data[0] * 2;
    const int height = 16 + data[1] * 2;
    std::string_view rest(reinterpret_cast<const char*>(data + 2), size - 2);

    std::vector<std::pair<const char*, std::string_view>> values;
    for (const char* name : kNames) {
        const auto end = rest.find('\n');
        values.emplace_back(name, rest.substr(0, end));
        if (end == std::string_view::npos) break;
        rest.remove_prefix(end + 1);
    }
    WriteHive(values);

    os::ResetMessageLoop();
    os::ResetWindowSystem();
    os::InstallHost(std::make_unique<headless::HeadlessHost>(width, height));
    RunMode = ModeUnset;
    SeqActive = 0;
    SSForm& form = SSFormInstance();
    form.NextEvent = 0;
    form.Load();
    RunMode = ModeSaver;
    InitScreenSaver();
    form.Show(false);
    for (int i = 0; i < 6; ++i) {
        form.Movement_Timer();
        if (i % 2 == 0) form.Eventer_Timer();
    }
    form.Unload();
    os::ResetMessageLoop();
    os::ResetWindowSystem();
    os::InstallHost(nullptr);
    return 0;
}
