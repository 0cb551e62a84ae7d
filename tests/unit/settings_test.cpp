// The settings record against a hive in a temporary folder: defaults, what each registry
// state loads as, the stored texts, and the read and write orders.
#include "settings/settings.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <functional>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "os/hive_file.h"

#include "os/registry.h"
#include "settings/registry.h"
#include "support/registry_values.h"
#include "support/temp_hive_fixture.h"

namespace {

using namespace os;
using Bytes = std::vector<BYTE>;

const char* const kNumberNames[] = {"PlaneNum", "TimeInt", "PlaneDist", "EventInt",
                                    "BkWavEna", "ThWavEna", "EnaTh",    "Step"};

class SettingsTest : public tavro_test::TempHiveTest {
protected:
    void SetUp() override {
        TempHiveTest::SetUp();
        Settings = SettingsRecord{};  // as at process start
        EventProbsText.clear();
        IniFileName.clear();
        PwdProtected = 0;
    }

    static void Store(const char* key_path, const char* name, DWORD type, const Bytes& data) {
        ASSERT_TRUE(
            tavro_test::WriteValue(key_path, name, type, std::string(data.begin(), data.end())));
    }
    static void StoreText(const char* name, const std::string& text) {
        Store(kSettingsKey, name, REG_SZ, Bytes(text.begin(), text.end()));
    }
    static void StoreDword(const char* key_path, const char* name, std::uint32_t v) {
        Store(key_path, name, REG_DWORD,
              Bytes{BYTE(v), BYTE(v >> 8), BYTE(v >> 16), BYTE(v >> 24)});
    }
    // The raw stored value: type and bytes.
    static std::pair<DWORD, std::string> Stored(const char* name) {
        const auto value = tavro_test::ReadValue(kSettingsKey, name);
        EXPECT_TRUE(value) << name;
        return value ? std::pair(value->type, value->bytes) : std::pair<DWORD, std::string>();
    }

    static void ExpectDefaults() {
        EXPECT_EQ(Settings.PlaneNum, 3);
        EXPECT_EQ(Settings.TimeInt, 1);
        EXPECT_EQ(Settings.PlaneDist, 25);
        EXPECT_EQ(Settings.EventInt, 10000);
        EXPECT_EQ(Settings.BkWavEna, 0);
        EXPECT_EQ(Settings.ThWavEna, 1);
        EXPECT_EQ(Settings.EnaTh, 1);
        EXPECT_EQ(Settings.EventProbs[0], 0);
        EXPECT_EQ(Settings.EventProbs[1], 2);
        EXPECT_EQ(Settings.EventProbs[2], 4);
        EXPECT_EQ(Settings.EventProbs[3], 5);
        EXPECT_EQ(Settings.Step, 2);
        EXPECT_EQ(Settings.BKWav, "Planes.Wav");
        EXPECT_EQ(Settings.ThunderWav, "Thunder.Wav");
        EXPECT_EQ(EventProbsText, "245");
        EXPECT_EQ(IniFileName, "TavroSS.ini");
        EXPECT_EQ(PwdProtected, 0);
    }

    // Makes the data read (the second query) of one value fail.
    static void FailDataReadOf(const std::string& name) {
        SetRegistryHook([name](const RegistryCall& call) -> LONG {
            return call.op == RegistryOp::Query && !call.size_query && call.name == name
                       ? ERROR_ACCESS_DENIED
                       : ERROR_SUCCESS;
        });
    }
};

TEST_F(SettingsTest, EmptyRegistryLoadsTheDefaults) {
    Settings.PlaneNum = 9;  // memory before the load plays no part
    Settings.BKWav = "other";
    PwdProtected = 1;
    LoadSettings();
    ExpectDefaults();
}

TEST_F(SettingsTest, SetDefaultsResetsEveryField) {
    Settings.PlaneNum = 8;
    Settings.TimeInt = 9;
    Settings.PlaneDist = 1;
    Settings.EventInt = 1;
    Settings.BkWavEna = 1;
    Settings.ThWavEna = 0;
    Settings.EnaTh = 0;
    for (float& p : Settings.EventProbs) p = 7;
    Settings.Step = 15;
    Settings.BKWav = Settings.ThunderWav = "x";
    EventProbsText = "999";
    IniFileName = "y";
    PwdProtected = 1;
    SetDefaults();
    ExpectDefaults();
    EXPECT_FALSE(std::filesystem::exists(hive_path()));  // no registry access
}

TEST_F(SettingsTest, SaveWritesTheExactTextsAndLoadReadsThemBack) {
    SetDefaults();
    SaveSettings();
    const std::vector<std::pair<const char*, std::string>> expected = {
        {"PlaneNum", " 3"}, {"TimeInt", " 1"},  {"PlaneDist", " 25"}, {"EventInt", " 10000"},
        {"BkWavEna", " 0"}, {"ThWavEna", " 1"}, {"EnaTh", " 1"},      {"EventProbs", "245"},
        {"Step", " 2"},     {"BKWav", "Planes.Wav"}, {"ThunderWav", "Thunder.Wav"}};
    for (const auto& [name, text] : expected) {
        const auto [type, data] = Stored(name);
        EXPECT_EQ(type, REG_SZ) << name;
        EXPECT_EQ(data, text) << name;  // byte-exact: no terminating NUL
    }
    Settings = SettingsRecord{};
    LoadSettings();
    ExpectDefaults();
}

TEST_F(SettingsTest, SavedValuesSurviveAsWritten) {
    SetDefaults();
    Settings.PlaneNum = -1;
    Settings.Step = 0.5f;
    Settings.EventInt = -32768;
    Settings.EventProbs[1] = 1;
    Settings.EventProbs[2] = 3;
    Settings.EventProbs[3] = 9;
    Settings.BKWav = "C:\\Sounds\\Loop.wav";
    SaveSettings();
    EXPECT_EQ(Stored("PlaneNum").second, "-1");
    EXPECT_EQ(Stored("Step").second, " .5");
    EXPECT_EQ(Stored("EventInt").second, "-32768");
    EXPECT_EQ(Stored("EventProbs").second, "139");
    EXPECT_EQ(EventProbsText, "139");  // kept in memory as written

    Settings = SettingsRecord{};
    LoadSettings();
    EXPECT_EQ(Settings.PlaneNum, -1);
    EXPECT_EQ(Settings.Step, 0.5f);
    EXPECT_EQ(Settings.EventInt, -32768);
    EXPECT_EQ(Settings.EventProbs[1], 1);
    EXPECT_EQ(Settings.EventProbs[3], 9);
    EXPECT_EQ(Settings.BKWav, "C:\\Sounds\\Loop.wav");
}

// Every registry state, for a number field and for each text field.
TEST_F(SettingsTest, WhatEachRegistryStateLoadsAs) {
    struct Row {
        const char* state;
        std::function<void(const char*)> store;
        float number;
        std::string text;
    };
    const auto sz = [](std::string s) {
        return [s](const char* name) { StoreText(name, s); };
    };
    const std::vector<Row> rows = {
        {"REG_SZ 25", sz(" 25"), 25, " 25"},
        {"REG_SZ abc", sz("abc"), 0, "abc"},
        {"REG_SZ empty", sz(""), 0, ""},
        {"REG_SZ with NUL", sz(std::string(" 7\0" "9", 4)), 7, " 7"},
        {"REG_DWORD 5", [](const char* n) { StoreDword(kSettingsKey, n, 5); }, 5, "5"},
        {"REG_DWORD -3", [](const char* n) { StoreDword(kSettingsKey, n, 0xFFFFFFFD); }, -3,
         "-3"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.state);
        for (const char* name : kNumberNames) row.store(name);
        for (const char* name : {"BKWav", "ThunderWav", "EventProbs"}) row.store(name);
        LoadSettings();
        EXPECT_EQ(Settings.PlaneNum, row.number);
        EXPECT_EQ(Settings.TimeInt, row.number);
        EXPECT_EQ(Settings.PlaneDist, row.number);
        EXPECT_EQ(Settings.EventInt, row.number);
        EXPECT_EQ(Settings.BkWavEna, row.number);
        EXPECT_EQ(Settings.ThWavEna, row.number);
        EXPECT_EQ(Settings.EnaTh, row.number);
        EXPECT_EQ(Settings.Step, row.number);
        EXPECT_EQ(Settings.BKWav, row.text);
        EXPECT_EQ(Settings.ThunderWav, row.text);
        EXPECT_EQ(EventProbsText, row.text);
    }
}

TEST_F(SettingsTest, MissingValueOrKeyKeepsTheDefault) {
    StoreText("TimeInt", " 7");  // the key exists, the other values do not
    LoadSettings();
    EXPECT_EQ(Settings.TimeInt, 7);
    EXPECT_EQ(Settings.PlaneNum, 3);
    EXPECT_EQ(Settings.BKWav, "Planes.Wav");
    EXPECT_EQ(EventProbsText, "245");
}

TEST_F(SettingsTest, FailedDataReadGivesZeroOrEmpty) {
    StoreText("PlaneNum", " 5");
    StoreText("BKWav", "loop.wav");
    FailDataReadOf("PlaneNum");
    LoadSettings();
    EXPECT_EQ(Settings.PlaneNum, 0);
    EXPECT_EQ(Settings.BKWav, "loop.wav");
    FailDataReadOf("BKWav");
    LoadSettings();
    EXPECT_EQ(Settings.PlaneNum, 5);
    EXPECT_EQ(Settings.BKWav, "");
}

TEST_F(SettingsTest, NonTextValuesReadAsAThirtyTwoBitNumber) {
    // Longer than the number: refused rather than written past it.
    Store(kSettingsKey, "Step", REG_BINARY, Bytes{9, 0, 0, 0, 1, 2, 3, 4});
    Store(kSettingsKey, "ThunderWav", REG_BINARY, Bytes{9, 0, 0, 0, 0});
    // Shorter: the bytes not covered keep the type code.
    Store(kSettingsKey, "TimeInt", REG_BINARY, Bytes{});              // type 3 alone
    Store(kSettingsKey, "PlaneNum", 0x00000102, Bytes{0x05});         // 05 01 00 00
    Store(kSettingsKey, "PlaneDist", REG_BINARY, Bytes{0x10, 0x00});  // 10 00 00 00
    Store(kSettingsKey, "BKWav", REG_BINARY, Bytes{0x01, 0x00, 0x00, 0x80});
    LoadSettings();
    EXPECT_EQ(Settings.Step, 0);
    EXPECT_EQ(Settings.ThunderWav, "");
    EXPECT_EQ(Settings.TimeInt, 3);
    EXPECT_EQ(Settings.PlaneNum, 0x105);
    EXPECT_EQ(Settings.PlaneDist, 16);
    EXPECT_EQ(Settings.BKWav, "-2147483647");
}

TEST_F(SettingsTest, LoadedValuesAreNotRangeChecked) {
    StoreText("PlaneNum", " 50");
    StoreText("TimeInt", "-5");
    StoreText("PlaneDist", " 1E+09");
    StoreText("Step", " .5");
    StoreText("BkWavEna", " 7");
    LoadSettings();
    EXPECT_EQ(Settings.PlaneNum, 50);
    EXPECT_EQ(Settings.TimeInt, -5);
    EXPECT_EQ(Settings.PlaneDist, 1e9f);
    EXPECT_EQ(Settings.Step, 0.5f);
    EXPECT_EQ(Settings.BkWavEna, 7);
    StoreText("PlaneNum", "-7");
    StoreText("Step", "1e6");
    LoadSettings();
    EXPECT_EQ(Settings.PlaneNum, -7);
    EXPECT_EQ(Settings.Step, 1e6f);
}

TEST_F(SettingsTest, UnrepresentableNumbersKeepTheirDefault) {
    StoreText("Step", "1e39");         // beyond a single
    StoreText("PlaneDist", "-1e999");  // beyond a double
    StoreText("TimeInt", "1e-999");    // too small: a plain 0
    LoadSettings();
    EXPECT_EQ(Settings.Step, 2);
    EXPECT_EQ(Settings.PlaneDist, 25);
    EXPECT_EQ(Settings.TimeInt, 0);
    EXPECT_TRUE(std::isfinite(Settings.Step) && std::isfinite(Settings.PlaneDist));
}

TEST_F(SettingsTest, EventIntRoundsToSixteenBitsOrKeepsItsDefault) {
    const std::vector<std::pair<std::string, int>> cases = {
        {"1500.5", 1500}, {"1501.5", 1502}, {" 32767", 32767}, {"-32768", -32768},
        {"abc", 0},       {"99999", 10000}, {"32767.5", 10000}, {"-40000", 10000},
        {"1e999", 10000}};
    for (const auto& [text, expected] : cases) {
        StoreText("EventInt", text);
        LoadSettings();
        EXPECT_EQ(Settings.EventInt, expected) << text;
    }
}

TEST_F(SettingsTest, EventProbsTakeOneCharacterEach) {
    const std::vector<std::pair<std::string, std::array<float, 3>>> cases = {
        {"27", {2, 7, 0}}, {"2457", {2, 4, 5}}, {"", {0, 0, 0}}, {"2x5", {2, 0, 5}},
        {"-45", {0, 4, 5}}, {" 12", {0, 1, 2}}, {"9", {9, 0, 0}}};
    for (const auto& [text, expected] : cases) {
        StoreText("EventProbs", text);
        LoadSettings();
        EXPECT_EQ(EventProbsText, text);
        EXPECT_EQ(Settings.EventProbs[0], 0) << text;
        for (int i = 0; i < 3; ++i) EXPECT_EQ(Settings.EventProbs[i + 1], expected[i]) << text;
    }
}

TEST_F(SettingsTest, PasswordRequirementFromTheDesktopKey) {
    LoadSettings();
    EXPECT_EQ(PwdProtected, 0);
    StoreDword(kDesktopKey, kUsePasswordValue, 1);
    LoadSettings();
    EXPECT_EQ(PwdProtected, 1);
    Store(kDesktopKey, kUsePasswordValue, REG_BINARY, Bytes{1, 0, 0, 0});
    LoadSettings();
    EXPECT_EQ(PwdProtected, 1);
    Store(kDesktopKey, kUsePasswordValue, REG_SZ, Bytes{'1'});
    LoadSettings();
    EXPECT_EQ(PwdProtected, 1);
    Store(kDesktopKey, kUsePasswordValue, REG_SZ, Bytes{'0'});
    LoadSettings();
    EXPECT_EQ(PwdProtected, 0);
    Store(kDesktopKey, kUsePasswordValue, REG_BINARY, Bytes{});  // its type code, 3
    LoadSettings();
    EXPECT_EQ(PwdProtected, 3);
    Store(kDesktopKey, kUsePasswordValue, REG_SZ, Bytes{'1', 'e', '9', '9'});
    LoadSettings();
    EXPECT_EQ(PwdProtected, 1);  // too large for a single: still required

    // A hive that cannot tell counts as required: a damaged line in the desktop key, a
    // file cut short, a file that cannot be read. A damaged line elsewhere does not.
    const std::string settings = "[Software\\Kolmi Ardev\\Tavro Screen Saver]\n";
    for (const auto& [text, required] : std::vector<std::pair<std::string, float>>{
             {"[Control Panel\\desktop]\n\"ScreenSaveUsePassword\"=dword:1\n", 1},
             {settings + "\"Step\"=sz:\" 2\"\n[Control Panel\\desktop]\n\"Scr", 1},
             {settings + "\"Step\"=sz:\" 2\" x\n[Control Panel\\desktop]\n", 0},
             {settings + "\"Step\"=sz:\" 2\" x\n", 0}}) {
        WriteHiveText(text);
        LoadSettings();
        EXPECT_EQ(PwdProtected, required) << text;
        EXPECT_EQ(Settings.Step, 2) << text;
    }
    std::filesystem::remove(hive_path());
    std::filesystem::create_directory(hive_path());
    LoadSettings();
    EXPECT_EQ(PwdProtected, 1);
}

TEST_F(SettingsTest, TextWrittenWithTerminatingNulReadsWithoutIt) {
    Store(kSettingsKey, "BKWav", REG_SZ, Bytes{'a', '.', 'w', 'a', 'v', 0});
    StoreText("PlaneNum", std::string(" 6\0", 3));
    LoadSettings();
    EXPECT_EQ(Settings.BKWav, "a.wav");
    EXPECT_EQ(Settings.PlaneNum, 6);
}

TEST_F(SettingsTest, ReadOrderOpensAndClosesPerValue) {
    SetDefaults();
    SaveSettings();
    std::vector<std::string> calls;
    SetRegistryHook([&](const RegistryCall& call) -> LONG {
        if (call.op == RegistryOp::Open) calls.push_back("open " + call.name);
        if (call.op == RegistryOp::Query && call.size_query) calls.push_back(call.name);
        if (call.op == RegistryOp::Close) calls.push_back("close");
        return ERROR_SUCCESS;
    });
    LoadSettings();
    const std::string k = kSettingsKey;
    const std::vector<std::string> expected = {
        "open " + k, "PlaneNum",   "close", "open " + k, "TimeInt",    "close",
        "open " + k, "PlaneDist",  "close", "open " + k, "EventInt",   "close",
        "open " + k, "BkWavEna",   "close", "open " + k, "ThWavEna",   "close",
        "open " + k, "EnaTh",      "close", "open " + k, "Step",       "close",
        "open " + k, "EventProbs", "close", "open " + k, "BKWav",      "close",
        "open " + k, "ThunderWav", "close", "open Control Panel\\desktop"};
    // The desktop key does not exist: its open fails, the query of key 0 fails, and
    // closing 0 does nothing.
    EXPECT_EQ(calls, expected);
}

// A load reads the store once, when it starts: another process's save that lands midway
// is not seen in part, a store that turns unreadable midway is not read again (nor told
// of), and the next load sees the new save whole. Inside a reading, the process's own
// writes are seen.
TEST_F(SettingsTest, LoadReadsOneVersionOfTheStoreOnce) {
    SetDefaults();
    Settings.PlaneNum = 9;
    Settings.BKWav = "new.wav";
    ASSERT_TRUE(SaveSettings());
    StoreDword(kDesktopKey, kUsePasswordValue, 1);
    const std::string saved_later = ReadHiveText();
    SetDefaults();
    ASSERT_TRUE(SaveSettings());
    StoreDword(kDesktopKey, kUsePasswordValue, 0);
    const std::string before = ReadHiveText();

    // The other process's save, then a store that cannot be read, lands at the query of
    // PlaneDist (the third value read).
    std::function<void()> midway;
    SetRegistryHook([&](const RegistryCall& call) -> LONG {
        if (call.op == RegistryOp::Query && call.name == "PlaneDist" && midway)
            std::exchange(midway, nullptr)();
        return ERROR_SUCCESS;
    });
    midway = [&] { WriteHiveText(saved_later); };
    LoadSettings();
    ExpectDefaults();
    midway = [&] {
        std::filesystem::remove(hive_path());
        std::filesystem::create_directory(hive_path());
    };
    WriteHiveText(before);
    testing::internal::CaptureStderr();
    LoadSettings();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    ExpectDefaults();
    std::filesystem::remove(hive_path());
    WriteHiveText(saved_later);
    LoadSettings();
    EXPECT_EQ(Settings.PlaneNum, 9);
    EXPECT_EQ(Settings.BKWav, "new.wav");
    EXPECT_EQ(PwdProtected, 1);

    {
        const RegistrySnapshot reading;
        StoreText("Step", " 4");
        EXPECT_EQ(Stored("Step").second, " 4");
        LoadSettings();
        EXPECT_EQ(Settings.Step, 4);
    }
}

TEST_F(SettingsTest, WriteOrderAndAFailedWriteKeepsTheWholeOldSave) {
    SetDefaults();
    ASSERT_TRUE(SaveSettings());
    Settings.PlaneNum = 5;
    Settings.PlaneDist = 40;
    Settings.Step = 7;
    std::vector<std::string> calls;
    SetRegistryHook([&](const RegistryCall& call) -> LONG {
        if (call.op == RegistryOp::Create) calls.push_back("create");
        if (call.op == RegistryOp::Set) calls.push_back(call.name);
        if (call.op == RegistryOp::Close) calls.push_back("close");
        return ERROR_SUCCESS;
    });
    const std::string before = ReadHiveText();
    std::vector<std::string> expected;
    for (const char* name : {"PlaneNum", "TimeInt", "PlaneDist", "EventInt", "BkWavEna",
                             "ThWavEna", "EnaTh", "EventProbs", "Step", "BKWav", "ThunderWav"})
        expected.insert(expected.end(), {"create", name, "close"});
    {
        // The writes are gathered: the file changes once, at the end.
        RegistryBatch outer;
        ASSERT_TRUE(SaveSettings());
        EXPECT_EQ(ReadHiveText(), before);
    }
    EXPECT_EQ(calls, expected);

    SetRegistryHook([](const RegistryCall& call) -> LONG {
        return call.op == RegistryOp::Set && call.name == "PlaneDist" ? ERROR_ACCESS_DENIED
                                                                      : ERROR_SUCCESS;
    });
    EXPECT_FALSE(SaveSettings());
    SetRegistryHook({});
    EXPECT_EQ(ReadHiveText(), before);  // neither the writes before it nor those after
    ASSERT_TRUE(SaveSettings());
    EXPECT_EQ(Stored("PlaneNum").second, " 5");
    EXPECT_EQ(Stored("PlaneDist").second, " 40");
}

// A saver killed at any moment of a save leaves the old settings or the new ones, and
// the next save clears what the dead one left.
TEST_F(SettingsTest, SaveIsAllOrNothingWhenTheSaverIsKilled) {
    const auto set_all = [](float v) {
        SetDefaults();
        Settings.PlaneNum = Settings.TimeInt = Settings.PlaneDist = v;
        Settings.BkWavEna = Settings.ThWavEna = Settings.EnaTh = Settings.Step = v;
        Settings.EventInt = static_cast<std::int16_t>(v);
        Settings.EventProbs[1] = Settings.EventProbs[2] = Settings.EventProbs[3] = v;
        Settings.BKWav = Settings.ThunderWav = std::to_string(static_cast<int>(v));
    };
    // On a memory file system when there is one, so that 200 kills take a few seconds.
    std::string folder = std::filesystem::path(hive_path()).parent_path().string();
    std::optional<tavro_test::TempDir> memory;
    std::optional<tavro_test::ScopedEnv> memory_hive;
    if (std::filesystem::is_directory("/dev/shm")) {
        memory.emplace("tavro-kill", "/dev/shm");
        ASSERT_TRUE(memory->ok());
        folder = memory->path();
        memory_hive.emplace("TAVRO_HIVE", *memory / "hive.txt");
    }
    set_all(1);
    ASSERT_TRUE(SaveSettings());
    std::mt19937 random(7);
    int mixed = 0, kills = 0, saw_new = 0;
    // Every save of the child writes a value above any before it. Even kills come while its
    // first save may be under way, odd ones once that save has ended (so a later one is).
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    for (; kills < 200 && std::chrono::steady_clock::now() < deadline; ++kills) {
        int progress[2];
        ASSERT_EQ(pipe(progress), 0);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            close(progress[0]);
            if (write(progress[1], "s", 1) != 1) _exit(1);
            for (int round = 2;; round = round < 30000 ? round + 1 : 2) {
                set_all(static_cast<float>(round));
                SaveSettings();
                if (round == 2 && write(progress[1], "d", 1) != 1) _exit(1);
            }
        }
        close(progress[1]);
        char byte = 0;
        ASSERT_EQ(read(progress[0], &byte, 1), 1);
        const bool after_first_save = kills % 2 == 1;
        if (after_first_save) {
            ASSERT_EQ(read(progress[0], &byte, 1), 1);
        }
        close(progress[0]);
        std::this_thread::sleep_for(std::chrono::microseconds(
            std::uniform_int_distribution<long>(0, 3000)(random)));
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);

        const hive::LoadedHive loaded = hive::ReadHiveFile(folder + "/hive.txt");
        ASSERT_TRUE(loaded.damage.empty());
        std::set<std::string> texts;
        for (const auto& [folded, value] : loaded.hive.FindKey(kSettingsKey)->values)
            if (value.name != "BKWav" && value.name != "ThunderWav" && value.name != "EventProbs")
                texts.insert(std::string(value.data.begin(), value.data.end()));
        mixed += texts.size() != 1;
        const bool saved = texts.count(" 1") == 0;
        saw_new += saved;
        if (after_first_save) {
            EXPECT_TRUE(saved) << "kill " << kills;
        }
    }
    EXPECT_GE(kills, 50);
    EXPECT_EQ(mixed, 0) << "of " << kills << " kills";
    EXPECT_GT(saw_new, 0);
    set_all(3);
    ASSERT_TRUE(SaveSettings());
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        EXPECT_TRUE(name == "hive.txt" || name == "hive.txt.lock") << name;
    }
}

// The registry layer itself.

TEST(RegistryLayer, StripNullsCutsAtTheFirstNul) {
    EXPECT_EQ(StripNulls(std::string("ab\0cd\0", 6)), "ab");
    EXPECT_EQ(StripNulls(std::string("\0x", 2)), "");
    EXPECT_EQ(StripNulls("plain"), "plain");
    EXPECT_EQ(StripNulls(""), "");
}

TEST(RegistryLayer, TextFormOfEachKind) {
    EXPECT_EQ(RegValue::Empty().Text(), "");
    EXPECT_EQ(RegValue::FromText(" 25").Text(), " 25");
    EXPECT_EQ(RegValue::FromNumber(5).Text(), "5");
    EXPECT_EQ(RegValue::FromNumber(-2147483647 - 1).Text(), "-2147483648");
    EXPECT_EQ(RegValue::FromNumber(5).kind(), RegValue::Kind::Number);
}

TEST_F(SettingsTest, GetRegValueWithMissingKeyGivesTheDefaultText) {
    const RegValue r = GetRegValue(HKEY_CURRENT_USER, "No\\Such", "x", " 3");
    EXPECT_EQ(r.kind(), RegValue::Kind::Text);
    EXPECT_EQ(r.Text(), " 3");
    EXPECT_EQ(QueryRegValue(0, "x", "dflt").Text(), "dflt");
}

}  // namespace
