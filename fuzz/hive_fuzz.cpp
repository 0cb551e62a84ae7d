// Fuzzes the hive text: the pure reader (what it reads, written back with the lines it
// skipped and the comments it kept, must read to the same hive and the same kept lines,
// and write the same text again) and the settings load from a hive file of that text
// (every field must come out usable, a save followed by a load must give the same settings
// again, and a save never lowers the password requirement).
#include <stdlib.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <string_view>
#include <tuple>

#include "os/hive_format.h"
#include "settings/settings.h"

namespace {

std::string g_dir;

void Check(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "hive_fuzz: invariant broken: %s\n", what);
        std::abort();
    }
}

// The kept lines (skipped ones and comments) as a writer places them: each placed one
// under its key, the unplaced ones after every key.
std::multiset<std::tuple<bool, std::string, bool, std::string>> KeptLines(
    const os::hive::Damage& damage) {
    std::multiset<std::tuple<bool, std::string, bool, std::string>> kept;
    for (const os::hive::SkippedLine& line : damage.lines)
        kept.emplace(line.placed, line.placed ? line.key : "", line.comment, line.text);
    return kept;
}

void CheckParserRoundTrip(std::string_view text) {
    const os::hive::ReadResult read = os::hive::ReadHive(text);
    const std::string written = os::hive::SerializeHive(read.hive, &read.damage);
    const os::hive::ReadResult again = os::hive::ReadHive(written);
    Check(again.hive == read.hive, "written hive reads as the same hive");
    Check(KeptLines(again.damage) == KeptLines(read.damage) &&
              again.damage.keys == read.damage.keys &&
              again.damage.unplaced == read.damage.unplaced &&
              again.damage.cut_short == read.damage.cut_short,
          "skipped lines and comments are carried forward");
    Check(os::hive::SerializeHive(again.hive, &again.damage) == written, "writing is stable");
    Check(os::hive::ParseHive(text).has_value() == read.damage.empty(),
          "the strict parse fails exactly when a line is skipped");
}

void CheckSettingsUsable() {
    for (float v : {Settings.PlaneNum, Settings.TimeInt, Settings.PlaneDist, Settings.BkWavEna,
                    Settings.ThWavEna, Settings.EnaTh, Settings.Step, PwdProtected})
        Check(std::isfinite(v), "number fields are finite");
    Check(Settings.EventProbs[0] == 0, "EventProbs(0) is 0");
    for (int i = 1; i <= 3; ++i)
        Check(Settings.EventProbs[i] >= 0 && Settings.EventProbs[i] <= 9 &&
                  Settings.EventProbs[i] == std::floor(Settings.EventProbs[i]),
              "EventProbs are single digits");
    Check(IniFileName == "TavroSS.ini", "IniFileName is the default");
    Check(Settings.BKWav.find('\0') == std::string::npos &&
              Settings.ThunderWav.find('\0') == std::string::npos,
          "texts end at their first NUL");
}

bool SameSettings(const SettingsRecord& a, const SettingsRecord& b) {
    return a.PlaneNum == b.PlaneNum && a.TimeInt == b.TimeInt && a.PlaneDist == b.PlaneDist &&
           a.EventInt == b.EventInt && a.BkWavEna == b.BkWavEna && a.ThWavEna == b.ThWavEna &&
           a.EnaTh == b.EnaTh && a.EventProbs[0] == b.EventProbs[0] &&
           a.EventProbs[1] == b.EventProbs[1] && a.EventProbs[2] == b.EventProbs[2] &&
           a.EventProbs[3] == b.EventProbs[3] && a.Step == b.Step && a.BKWav == b.BKWav &&
           a.ThunderWav == b.ThunderWav;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    const std::filesystem::path base =
        std::filesystem::exists("/dev/shm") ? "/dev/shm" : std::filesystem::temp_directory_path();
    std::string pattern = (base / "tavro-hive-fuzz-XXXXXX").string();
    if (!mkdtemp(pattern.data())) std::abort();
    g_dir = pattern;
    setenv("TAVRO_HIVE", (g_dir + "/hive.txt").c_str(), 1);
    std::atexit([] {
        std::error_code ec;
        std::filesystem::remove_all(g_dir, ec);
    });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    CheckParserRoundTrip(text);

    std::ofstream(g_dir + "/hive.txt", std::ios::binary | std::ios::trunc)
        .write(text.data(), static_cast<std::streamsize>(text.size()));
    LoadSettings();
    CheckSettingsUsable();

    const SettingsRecord loaded = Settings;
    const float password = PwdProtected;
    if (!SaveSettings()) return 0;  // too large to write with the new values
    LoadSettings();
    CheckSettingsUsable();
    Check(SameSettings(loaded, Settings), "save then load gives the same settings");
    Check(PwdProtected == password, "the password requirement is read, never written");

    // The fuzzer clears the folder (lock file included) between inputs.
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(g_dir, ec))
        std::filesystem::remove_all(entry.path(), ec);
    return 0;
}
