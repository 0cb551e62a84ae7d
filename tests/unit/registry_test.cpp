// The registry services over the hive file, and the hive text format on its own.
#include "os/registry.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "os/hive_file.h"
#include "os/hive_format.h"
#include "support/temp_hive_fixture.h"

namespace {

using namespace os;
namespace fs = std::filesystem;
using Bytes = std::vector<BYTE>;

Bytes B(std::string_view s) { return Bytes(s.begin(), s.end()); }

class RegistryTest : public tavro_test::TempHiveTest {
protected:
    HKEY Create(const char* path) {
        HKEY key = 0;
        EXPECT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, path, &key), ERROR_SUCCESS);
        EXPECT_NE(key, 0);
        return key;
    }
    void Set(const char* path, const char* name, DWORD type, const Bytes& data) {
        HKEY key = Create(path);
        EXPECT_EQ(RegSetValueExA(key, name, 0, type, data.data(),
                                 static_cast<DWORD>(data.size())),
                  ERROR_SUCCESS);
        EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    }
    // Opens path afresh and reads name with a size query first.
    std::optional<std::pair<DWORD, Bytes>> Get(const char* path, const char* name) {
        HKEY key = 0;
        if (RegOpenKeyA(HKEY_CURRENT_USER, path, &key) != ERROR_SUCCESS) return std::nullopt;
        DWORD type = 0, size = 0;
        std::optional<std::pair<DWORD, Bytes>> out;
        if (RegQueryValueExA(key, name, nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
            Bytes data(size + 1, 0xEE);  // one spare byte that must stay untouched
            DWORD got = size + 1;
            EXPECT_EQ(RegQueryValueExA(key, name, nullptr, &type, data.data(), &got),
                      ERROR_SUCCESS);
            EXPECT_EQ(got, size);
            EXPECT_EQ(data.back(), 0xEE);
            data.pop_back();
            out.emplace(type, data);
        }
        RegCloseKey(key);
        return out;
    }
};

TEST_F(RegistryTest, ValuesOfEveryTypeRoundTripByteExact) {
    std::string long_text(1 << 20, 'x');
    for (std::size_t i = 0; i < long_text.size(); i += 997) long_text[i] = static_cast<char>(i);
    const std::vector<std::tuple<const char*, DWORD, Bytes>> values = {
        {"Plain", REG_SZ, B(" 3")},
        {"WithNul", REG_SZ, B(std::string("ab\0cd\0", 6))},
        {"Empty", REG_SZ, {}},
        {"Quotes", REG_SZ, B("\"%41\"\n\r\t\\[]=#")},
        {"HighBytes", REG_SZ, Bytes{0x80, 0xFF, 0xC3, 0xA9, 0x7F}},
        {"Long", REG_SZ, B(long_text)},
        {"Count", REG_DWORD, Bytes{0x10, 0x27, 0, 0}},
        {"ShortDword", REG_DWORD, Bytes{1, 2}},
        {"Blob", REG_BINARY, Bytes{1, 0, 0, 0, 0xFF}},
        {"EmptyBlob", REG_BINARY, {}},
        {"OddType", 0xDEADBEEF, Bytes{9, 8, 7}},
        {"", REG_SZ, B("unnamed")},
    };
    for (const auto& [name, type, data] : values) Set("Software\\Test", name, type, data);
    for (const auto& [name, type, data] : values) {
        const auto got = Get("Software\\Test", name);
        ASSERT_TRUE(got) << name;
        EXPECT_EQ(got->first, type) << name;
        EXPECT_EQ(got->second, data) << name;
    }
    // The file alone carries everything: parse it as another process would.
    const auto parsed = hive::ParseHive(ReadHiveText());
    ASSERT_TRUE(parsed);
    const hive::Key* key = parsed->FindKey("Software\\Test");
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(key->values.size(), values.size());
    EXPECT_EQ(hive::FindValue(*key, "WithNul")->data, B(std::string("ab\0cd\0", 6)));
}

TEST_F(RegistryTest, NamesMatchWithoutRegardToCase) {
    Set("Software\\Kolmi Ardev\\Tavro", "PlaneNum", REG_SZ, B(" 3"));
    Set("SOFTWARE\\kolmi ardev\\TAVRO", "PLANENUM", REG_SZ, B(" 4"));
    const auto got = Get("software\\KOLMI ARDEV\\tavro", "planenum");
    ASSERT_TRUE(got);
    EXPECT_EQ(got->second, B(" 4"));
    const auto parsed = hive::ParseHive(ReadHiveText());
    ASSERT_TRUE(parsed);
    const hive::Key* key = parsed->FindKey("software\\kolmi ardev\\tavro");
    ASSERT_NE(key, nullptr);
    ASSERT_EQ(key->values.size(), 1u);  // the second write replaced the first
    EXPECT_EQ(key->path, "Software\\Kolmi Ardev\\Tavro");  // spelled as first created
    EXPECT_EQ(key->values.begin()->second.name, "PlaneNum");
}

TEST_F(RegistryTest, CreateMakesEveryKeyOfThePathAndOpenFindsThem) {
    HKEY key = Create("A\\B\\C");
    RegCloseKey(key);
    for (const char* path : {"A", "a\\b", "A\\B\\C", "A\\\\B\\", ""}) {
        HKEY k = 0;
        EXPECT_EQ(RegOpenKeyA(HKEY_CURRENT_USER, path, &k), ERROR_SUCCESS) << path;
        EXPECT_NE(k, 0) << path;
        EXPECT_EQ(RegCloseKey(k), ERROR_SUCCESS);
    }
    HKEY a = 0, c = 0;
    ASSERT_EQ(RegOpenKeyA(HKEY_CURRENT_USER, "A", &a), ERROR_SUCCESS);
    EXPECT_EQ(RegOpenKeyA(a, "B\\C", &c), ERROR_SUCCESS);  // relative to an open key
    EXPECT_NE(c, 0);
    RegCloseKey(c);
    RegCloseKey(a);
}

TEST_F(RegistryTest, MissingKeysValuesAndBadHandles) {
    HKEY key = 12345;
    EXPECT_EQ(RegOpenKeyA(HKEY_CURRENT_USER, "Nowhere", &key), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(key, 0);
    EXPECT_FALSE(fs::exists(hive_path()));  // reading never creates the hive

    DWORD type = 0, size = 0;
    EXPECT_EQ(RegQueryValueExA(0, "x", nullptr, &type, nullptr, &size), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegCloseKey(0), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegCloseKey(0x4321), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegCloseKey(HKEY_CURRENT_USER), ERROR_SUCCESS);

    key = Create("K");
    EXPECT_EQ(RegQueryValueExA(key, "missing", nullptr, &type, nullptr, &size),
              ERROR_FILE_NOT_FOUND);
    DWORD reserved = 0;
    EXPECT_EQ(RegQueryValueExA(key, "missing", &reserved, &type, nullptr, &size),
              ERROR_INVALID_PARAMETER);
    const BYTE one = 1;
    EXPECT_EQ(RegSetValueExA(key, "v", 7, REG_BINARY, &one, 1), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(key), ERROR_INVALID_HANDLE);  // closed already
    EXPECT_EQ(RegQueryValueExA(key, "v", nullptr, &type, nullptr, &size),
              ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegSetValueExA(key, "v", 0, REG_BINARY, &one, 1), ERROR_INVALID_HANDLE);
}

TEST_F(RegistryTest, TooSmallBufferGivesMoreDataAndStaysUntouched) {
    Set("K", "v", REG_SZ, B("hello"));
    HKEY key = 0;
    ASSERT_EQ(RegOpenKeyA(HKEY_CURRENT_USER, "K", &key), ERROR_SUCCESS);
    Bytes buf(3, '#');
    DWORD type = 0, size = 3;
    EXPECT_EQ(RegQueryValueExA(key, "v", nullptr, &type, buf.data(), &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, 5u);
    EXPECT_EQ(buf, B("###"));
    EXPECT_EQ(RegQueryValueExA(key, "v", nullptr, &type, buf.data(), nullptr),
              ERROR_INVALID_PARAMETER);
    RegCloseKey(key);
}

TEST_F(RegistryTest, OversizedValueIsRefusedAndTheHiveKept) {
    Set("K", "v", REG_SZ, B("kept"));
    const std::string before = ReadHiveText();
    HKEY key = Create("K");
    Bytes big(kRegMaxValueBytes + 1, 'x');
    EXPECT_EQ(RegSetValueExA(key, "v", 0, REG_SZ, big.data(), static_cast<DWORD>(big.size())),
              ERROR_INVALID_PARAMETER);
    RegCloseKey(key);
    EXPECT_EQ(ReadHiveText(), before);
}

TEST_F(RegistryTest, OpenReadsTheFileAfresh) {
    Set("K", "v", REG_SZ, B("old"));
    HKEY early = 0;
    ASSERT_EQ(RegOpenKeyA(HKEY_CURRENT_USER, "K", &early), ERROR_SUCCESS);
    // Another process saves meanwhile.
    WriteHiveText("[K]\n\"v\"=sz:\"new\"\n");
    const auto got = Get("K", "v");
    ASSERT_TRUE(got);
    EXPECT_EQ(got->second, B("new"));
    RegCloseKey(early);
}

TEST_F(RegistryTest, WriteKeepsOtherProcessesValues) {
    HKEY key = Create("K");  // opened before the other process writes
    WriteHiveText("[K]\n\"theirs\"=sz:\"1\"\n[Other]\n");
    const BYTE v = 7;
    ASSERT_EQ(RegSetValueExA(key, "mine", 0, REG_BINARY, &v, 1), ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_TRUE(Get("K", "theirs"));
    EXPECT_TRUE(Get("K", "mine"));
    HKEY other = 0;
    EXPECT_EQ(RegOpenKeyA(HKEY_CURRENT_USER, "Other", &other), ERROR_SUCCESS);
    RegCloseKey(other);
}

TEST_F(RegistryTest, WriteIsAtomicPrivateAndLeavesNoTemporaryFile) {
    Set("K", "v", REG_SZ, B("x"));  // creates the missing folder too
    struct stat st {};
    ASSERT_EQ(stat(hive_path().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    const ino_t first_inode = st.st_ino;
    Set("K", "v", REG_SZ, B("y"));
    ASSERT_EQ(stat(hive_path().c_str(), &st), 0);
    EXPECT_NE(st.st_ino, first_inode);  // replaced by rename, not rewritten in place
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    for (const auto& entry : fs::directory_iterator(fs::path(hive_path()).parent_path())) {
        const std::string name = entry.path().filename().string();
        EXPECT_TRUE(name == "hive.txt" || name == "hive.txt.lock") << name;
    }
}

TEST_F(RegistryTest, DamagedLinesAreSkippedAndKeptNeverTheWholeHive) {
    // A byte-order mark, a stray "%", a bad line in K, and a last line cut short.
    const std::string damaged =
        "\xEF\xBB\xBF[K]\n\"good\"=sz:\"100%.wav\"\n\"bad\"=dword:1\n"
        "[Clean]\n\"v\"=sz:\"1\"\n\"cut\"=sz:\"abc";
    WriteHiveText(damaged);
    const auto good = Get("K", "good");
    ASSERT_TRUE(good);
    EXPECT_EQ(good->second, B("100%.wav"));
    EXPECT_TRUE(Get("Clean", "v"));
    EXPECT_EQ(ReadHiveText(), damaged);  // reading never changes the file

    // A value that is missing may be one that was skipped: the answer is unknown.
    HKEY key = 0;
    DWORD size = 0;
    ASSERT_EQ(RegOpenKeyA(HKEY_CURRENT_USER, "K", &key), ERROR_SUCCESS);
    EXPECT_EQ(RegQueryValueExA(key, "bad", nullptr, nullptr, nullptr, &size), ERROR_BADDB);
    RegCloseKey(key);
    EXPECT_EQ(RegOpenKeyA(HKEY_CURRENT_USER, "Nowhere", &key), ERROR_BADDB);  // cut short

    // A writer keeps every value it read and the skipped lines as they were.
    Set("K", "new", REG_SZ, B("x"));
    const std::string written = ReadHiveText();
    for (const char* kept : {"\"bad\"=dword:1\n", "\"cut\"=sz:\"abc"})
        EXPECT_NE(written.find(kept), std::string::npos) << kept;
    EXPECT_EQ(written.back(), 'c');  // still cut short
    for (const auto& [path, name] : {std::pair{"K", "good"}, {"K", "new"}, {"Clean", "v"}})
        EXPECT_TRUE(Get(path, name)) << name;
    const auto read = hive::ReadHive(written);
    EXPECT_EQ(read.damage.lines.size(), 2u);
    EXPECT_TRUE(read.damage.cut_short);
    for (const auto& entry : fs::directory_iterator(fs::path(hive_path()).parent_path())) {
        const std::string name = entry.path().filename().string();
        EXPECT_TRUE(name == "hive.txt" || name == "hive.txt.lock") << name;
    }
}

// A hand edit's comments stay where they stood through saves; they are no damage. The
// writer's own header line is written once, however often the file is saved.
TEST_F(RegistryTest, CommentsAreKeptUnderTheirKeyAndAreNoDamage) {
    const std::string header = "# Tavro Screen Saver user registry (HKEY_CURRENT_USER)\n";
    WriteHiveText(header + "# my own note\n[K]\n# about K\n\"v\"=sz:\"1\"\n[Other]\n#\n");
    testing::internal::CaptureStderr();
    HKEY key = 0;
    DWORD size = 0;
    ASSERT_EQ(RegOpenKeyA(HKEY_CURRENT_USER, "K", &key), ERROR_SUCCESS);
    EXPECT_EQ(RegQueryValueExA(key, "missing", nullptr, nullptr, nullptr, &size),
              ERROR_FILE_NOT_FOUND);
    RegCloseKey(key);
    Set("K", "w", REG_SZ, B("2"));
    Set("K", "w", REG_SZ, B("3"));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    const std::string saved = header + "# my own note\n[K]\n\"v\"=sz:\"1\"\n\"w\"=sz:\"3\"\n" +
                              "# about K\n[Other]\n#\n";
    EXPECT_EQ(ReadHiveText(), saved);

    // After a key line that cannot be read, comments go with the lines that are kept
    // unplaced; only the damaged lines are counted.
    const std::string unplaced = "[Bad\n# under the bad key\n\"x\"=sz:\"2\"\n";
    WriteHiveText(saved + unplaced);
    testing::internal::CaptureStderr();
    Set("Other", "y", REG_SZ, B("4"));
    const std::string told = testing::internal::GetCapturedStderr();
    EXPECT_NE(told.find("skipped 2 line(s)"), std::string::npos) << told;
    const std::string written = ReadHiveText();
    EXPECT_EQ(written.substr(written.size() - unplaced.size()), unplaced);
    EXPECT_NE(written.find("[Other]\n\"y\"=sz:\"4\"\n#\n"), std::string::npos) << written;
}

TEST_F(RegistryTest, HiveThatCannotBeReadIsUnknownNeverReplacedAndToldOnce) {
    const auto expect_untouched = [&](const char* what) {
        HKEY key = 0;
        DWORD size = 0;
        EXPECT_EQ(RegOpenKeyA(HKEY_CURRENT_USER, "K", &key), ERROR_BADDB) << what;  // no hang
        EXPECT_EQ(RegQueryValueExA(HKEY_CURRENT_USER, "v", nullptr, nullptr, nullptr, &size),
                  ERROR_BADDB) << what;
        EXPECT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, "K", &key), ERROR_ACCESS_DENIED) << what;
        EXPECT_EQ(key, 0) << what;
        RegistryBatch batch;
        EXPECT_EQ(batch.Commit(), ERROR_ACCESS_DENIED) << what;
    };
    fs::create_directories(fs::path(hive_path()).parent_path());
    ASSERT_EQ(mkfifo(hive_path().c_str(), 0600), 0);
    testing::internal::CaptureStderr();
    expect_untouched("fifo");
    const std::string told = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(fs::is_fifo(hive_path()));
    EXPECT_EQ(std::count(told.begin(), told.end(), '\n'), 1) << told;
    EXPECT_NE(told.find(hive_path()), std::string::npos) << told;

    fs::remove(hive_path());
    const std::string oversized = "# " + std::string(hive::kMaxHiveBytes, 'x') + "\n";
    WriteHiveText(oversized);
    expect_untouched("oversized");
    EXPECT_EQ(fs::file_size(hive_path()), oversized.size());

    fs::remove(hive_path());
    fs::create_directory(hive_path());
    expect_untouched("directory");
    EXPECT_TRUE(fs::is_directory(hive_path()));
    // A write that fails after its temporary file was made (no rename over a folder)
    // removes that file at once.
    EXPECT_FALSE(hive::WriteHiveFile(hive_path(), hive::Hive{}));
    for (const auto& entry : fs::directory_iterator(fs::path(hive_path()).parent_path()))
        EXPECT_EQ(entry.path().filename().string().find(".tmp-"), std::string::npos)
            << entry.path();

    // A file that cannot be opened, even by root: a link to itself.
    fs::remove(hive_path());
    fs::create_symlink(fs::path(hive_path()).filename(), hive_path());
    expect_untouched("link loop");
    EXPECT_TRUE(fs::is_symlink(hive_path()));

    if (geteuid() != 0) {  // root reads every file
        fs::remove(hive_path());
        WriteHiveText("[K]\n\"v\"=sz:\"secret\"\n");
        chmod(hive_path().c_str(), 0);
        expect_untouched("no permission");
        chmod(hive_path().c_str(), 0600);
        EXPECT_EQ(ReadHiveText(), "[K]\n\"v\"=sz:\"secret\"\n");
    }
}

TEST_F(RegistryTest, BatchWritesEverythingInOneReplacementOrNothing) {
    Set("K", "old", REG_SZ, B("1"));
    const std::string before = ReadHiveText();
    const BYTE one = 1;
    {
        RegistryBatch dropped;  // never committed
        HKEY key = Create("K\\Sub");
        EXPECT_EQ(RegSetValueExA(key, "a", 0, REG_BINARY, &one, 1), ERROR_SUCCESS);
        RegCloseKey(key);
        EXPECT_EQ(ReadHiveText(), before);
    }
    EXPECT_EQ(ReadHiveText(), before);
    {
        RegistryBatch failed;
        Set("K", "a", REG_SZ, B("x"));
        HKEY key = Create("K");
        EXPECT_EQ(RegSetValueExA(key, "b", 7, REG_BINARY, &one, 1), ERROR_INVALID_PARAMETER);
        RegCloseKey(key);
        EXPECT_EQ(failed.Commit(), ERROR_INVALID_PARAMETER);
    }
    EXPECT_EQ(ReadHiveText(), before);

    struct stat st {};
    ASSERT_EQ(stat(hive_path().c_str(), &st), 0);
    const ino_t inode = st.st_ino;
    RegistryBatch batch;
    for (const char* name : {"a", "b", "c"}) Set("K\\Sub", name, REG_SZ, B(name));
    EXPECT_EQ(ReadHiveText(), before);
    {
        RegistryBatch joined;  // inside another batch: part of it
        Set("K", "d", REG_SZ, B("d"));
        EXPECT_EQ(joined.Commit(), ERROR_SUCCESS);
    }
    EXPECT_EQ(ReadHiveText(), before);
    ASSERT_EQ(batch.Commit(), ERROR_SUCCESS);
    ASSERT_EQ(stat(hive_path().c_str(), &st), 0);
    EXPECT_NE(st.st_ino, inode);
    for (const char* name : {"a", "b", "c"}) EXPECT_TRUE(Get("K\\Sub", name)) << name;
    EXPECT_TRUE(Get("K", "d"));
    EXPECT_TRUE(Get("K", "old"));
}

TEST_F(RegistryTest, WriterWaitsForAnotherProcessesLockOnlySoLong) {
    Set("K", "v", REG_SZ, B("old"));
    const std::string before = ReadHiveText();
    // Another open file description conflicts like another process would.
    const int other = open((hive_path() + ".lock").c_str(), O_RDWR | O_CLOEXEC);
    ASSERT_GE(other, 0);
    ASSERT_EQ(flock(other, LOCK_EX), 0);
    SetRegistryLockWait(150);
    const auto start = std::chrono::steady_clock::now();
    HKEY key = 0;
    EXPECT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, "New", &key), ERROR_TIMEOUT);
    {
        RegistryBatch batch;
        EXPECT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, "K", &key), ERROR_TIMEOUT);
        EXPECT_EQ(batch.Commit(), ERROR_TIMEOUT);
    }
    const auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_GE(waited, std::chrono::milliseconds(300));
    EXPECT_LT(waited, std::chrono::seconds(2));
    EXPECT_EQ(ReadHiveText(), before);
    close(other);  // the other process lets go
    Set("K", "v", REG_SZ, B("new"));
    EXPECT_EQ(Get("K", "v")->second, B("new"));
}

TEST_F(RegistryTest, LinkedHiveIsWrittenThroughAndDeadWritersTemporariesGo) {
    fs::create_directories(dir() + "/real");
    fs::create_directories(fs::path(hive_path()).parent_path());
    fs::create_symlink("../real/target.txt", hive_path());
    Set("K", "v", REG_SZ, B("1"));  // a dangling link: the file it names is made
    ASSERT_TRUE(fs::is_symlink(hive_path()));
    ASSERT_TRUE(fs::is_regular_file(dir() + "/real/target.txt"));

    // Left by writers killed between making and renaming their temporary file.
    for (const char* left : {"target.txt.tmp-a1B2c3", "target.txt.tmp-ZZZZZZ"})
        std::ofstream(dir() + "/real/" + left) << "partial";
    std::ofstream(dir() + "/real/target.txt.tmp-notours") << "kept";
    Set("K", "v", REG_SZ, B("2"));
    EXPECT_TRUE(fs::is_symlink(hive_path()));
    EXPECT_EQ(Get("K", "v")->second, B("2"));
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir() + "/real"))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"target.txt", "target.txt.lock",
                                               "target.txt.tmp-notours"}));

    // Two links to one hive share one lock, beside the file they name.
    fs::create_symlink("real/target.txt", dir() + "/second-link.txt");
    {
        hive::HiveLock first(hive_path(), 0);
        ASSERT_TRUE(first.held());
        EXPECT_FALSE(hive::HiveLock(dir() + "/second-link.txt", 50).held());
    }
    EXPECT_TRUE(hive::HiveLock(dir() + "/second-link.txt", 50).held());
}

TEST_F(RegistryTest, HookSeesCallsAndInjectsFailures) {
    std::vector<std::string> seen;
    SetRegistryHook([&](const RegistryCall& call) -> LONG {
        seen.push_back(std::to_string(static_cast<int>(call.op)) + ":" + call.key_path + ":" +
                       call.name + (call.size_query ? "?" : ""));
        return call.op == RegistryOp::Set && call.name == "blocked" ? ERROR_ACCESS_DENIED
                                                                    : ERROR_SUCCESS;
    });
    HKEY key = Create("K");
    const BYTE v = 1;
    EXPECT_EQ(RegSetValueExA(key, "blocked", 0, REG_BINARY, &v, 1), ERROR_ACCESS_DENIED);
    DWORD size = 0;
    EXPECT_EQ(RegQueryValueExA(key, "blocked", nullptr, nullptr, nullptr, &size),
              ERROR_FILE_NOT_FOUND);
    RegCloseKey(key);
    EXPECT_EQ(seen, (std::vector<std::string>{"1::K", "3:K:blocked", "2:K:blocked?", "4:K:"}));
}

TEST(HivePath, EnvironmentDecides) {
    tavro_test::ScopedEnv hive("TAVRO_HIVE", "/tmp/x/h.txt");
    tavro_test::ScopedEnv xdg("XDG_CONFIG_HOME");
    EXPECT_EQ(HivePath(), "/tmp/x/h.txt");
    hive.Set(std::nullopt);
    xdg.Set("/cfg");
    EXPECT_EQ(HivePath(), "/cfg/tavro-screensaver/user-hive.txt");
    xdg.Set("relative");  // ignored, as the XDG rules ask
    const char* home = getenv("HOME");
    if (home && *home) {
        EXPECT_EQ(HivePath(), std::string(home) + "/.config/tavro-screensaver/user-hive.txt");
    }
}

// The text format on its own.

TEST(HiveFormat, ReadsHandWrittenText) {
    const auto hive = hive::ParseHive(
        "\xEF\xBB\xBF# comment\r\n"
        "\"rootval\" = dword:0000000A\r\n"
        "\n"
        "  [Software\\My Key]  \n"
        "\"Name\"=sz:\"a%22b%25c%00\"\n"
        "\"stray%4\"=sz:\"%zz%\"\n"
        "\"bin\" = hex(3):01,ff,0A\n"
        "\"none\"=hex(0):\n"
        "[Software\\my key\\Sub]\n");
    ASSERT_TRUE(hive);
    const hive::Key* root = hive->FindKey("");
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(hive::FindValue(*root, "ROOTVAL")->data, (Bytes{10, 0, 0, 0}));
    const hive::Key* key = hive->FindKey("SOFTWARE\\MY KEY");
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(hive::FindValue(*key, "name")->data, B(std::string("a\"b%c\0", 6)));
    EXPECT_EQ(hive::FindValue(*key, "STRAY%4")->data, B("%zz%"));  // a "%" stands for itself
    EXPECT_EQ(hive::FindValue(*key, "bin")->type, 3u);
    EXPECT_EQ(hive::FindValue(*key, "bin")->data, (Bytes{1, 0xFF, 0x0A}));
    EXPECT_TRUE(hive::FindValue(*key, "none")->data.empty());
    EXPECT_NE(hive->FindKey("software\\my key\\sub"), nullptr);
    EXPECT_NE(hive->FindKey("software"), nullptr);  // parents exist implicitly

    // Writing and reading again changes nothing.
    const std::string text = hive::SerializeHive(*hive);
    const auto again = hive::ParseHive(text);
    ASSERT_TRUE(again);
    EXPECT_EQ(*again, *hive);
    EXPECT_EQ(hive::SerializeHive(*again), text);
}

TEST(HiveFormat, LinesEndInLfCrLfOrCrAlone) {
    // Each kind of line end ends one line (the line numbers count them); written as LF.
    for (const char* text : {
             "[K]\n\"v\"=sz:\"1\"\n\"bad\"\n",
             "[K]\r\n\"v\"=sz:\"1\"\r\n\"bad\"\r\n",
             "[K]\r\"v\"=sz:\"1\"\r\"bad\"\r",
             "[K]\r\n\"v\"=sz:\"1\"\r\"bad\"\n",
             "# note\r[K]\r\n\r\"bad\"\n\"v\"=sz:\"1\"",  // a comment first swallows nothing
         }) {
        std::string error;
        EXPECT_FALSE(hive::ParseHive(text, &error));
        EXPECT_EQ(error.substr(0, 7), text[0] == '#' ? "line 4:" : "line 3:") << text;
        const auto read = hive::ReadHive(text);
        const hive::Key* k = read.hive.FindKey("K");
        ASSERT_NE(k, nullptr) << text;
        EXPECT_TRUE(hive::FindValue(*k, "v")) << text;
        EXPECT_EQ(read.damage.skipped(), 1u) << text;
        const std::string written = hive::SerializeHive(read.hive, &read.damage);
        EXPECT_EQ(written.find('\r'), std::string::npos) << text;
        EXPECT_EQ(hive::ReadHive(written).hive, read.hive) << text;
    }
}

TEST(HiveFormat, RefusesMalformedText) {
    for (const char* bad : {
             "garbage",
             "[K\n",
             "[K]\n\"v\"=sz:\"x\n",
             "[K]\n\"v\"=sz:\"x\" trailing\n",
             "[K]\n\"v\"=sz:x\n",
             "[K]\n\"v\"=text:\"x\"\n",
             "[K]\n\"v\"=dword:123\n",
             "[K]\n\"v\"=dword:1234567g\n",
             "[K]\n\"v\"=hex(3):1\n",
             "[K]\n\"v\"=hex(3):01,\n",
             "[K]\n\"v\"=hex(3):01;02\n",
             "[K]\n\"v\"=hex(-1):01\n",
             "[K]\n\"v\"=hex(99999999999):01\n",
             "[K]\n\"v\"=hex():01\n",
             "[K]\n\"v\" sz:\"x\"\n",
             // What the writer never writes: raw control bytes or bytes from 0x7F up, and
             // a key line glued onto the line before it (or that lost its "[").
             "[K\xFF]",
             "[K]\n\"v\x01\x01\"=dword:00000001\n",
             "[K]\n# note\x7F\n",
             "[A] [B\\C]",
             "[A]#[B\\C]",
             "# note [B\\C]",
             "[K]\n\"v\"=sz:\"x\" [B\\C]\n",
             "[K]\n\"v\"=sz:\"x\"#[B\\C]\n",
             "B\\C]",
         }) {
        std::string error;
        EXPECT_FALSE(hive::ParseHive(bad, &error)) << bad;
        EXPECT_FALSE(error.empty()) << bad;
        // The lenient reader skips the bad line and keeps the others.
        const auto read = hive::ReadHive(std::string(bad) + "\n\"after\"=sz:\"1\"\n");
        const bool bad_key = read.damage.unplaced;  // its values are skipped with it
        EXPECT_EQ(read.damage.lines.size(), bad_key ? 2u : 1u) << bad;
        const hive::Key* k = read.hive.FindKey(std::string(bad).rfind("[K]", 0) == 0 ? "K" : "");
        ASSERT_NE(k, nullptr) << bad;
        EXPECT_EQ(hive::FindValue(*k, "after") != nullptr, !bad_key) << bad;
    }
}

TEST(HiveFormat, EnforcesSizeLimits) {
    std::string long_name(hive::kMaxKeyNameBytes + 1, 'k');
    EXPECT_FALSE(hive::ParseHive("[" + long_name + "]\n"));
    EXPECT_TRUE(hive::ParseHive("[" + long_name.substr(1) + "]\n"));

    std::string big_value = "[K]\n\"v\"=hex(3):";
    for (std::size_t i = 0; i <= hive::kMaxValueBytes; ++i) big_value += i ? ",00" : "00";
    EXPECT_FALSE(hive::ParseHive(big_value));
    std::string big_text = "[K]\n\"v\"=sz:\"" + std::string(hive::kMaxValueBytes + 1, 'a') + "\"\n";
    EXPECT_FALSE(hive::ParseHive(big_text));
    EXPECT_FALSE(hive::ParseHive(std::string(hive::kMaxHiveBytes + 1, '\n')));
}

TEST(HiveFormat, SerializedTextIsPlainAscii) {
    hive::Hive h;
    std::string all_bytes;
    for (int b = 0; b < 256; ++b) all_bytes += static_cast<char>(b);
    hive::SetValue(h.CreateKey("K%\x01\xE9]x[y"), all_bytes, REG_SZ, B(all_bytes));
    const std::string text = hive::SerializeHive(h);
    for (char c : text) {
        const auto b = static_cast<unsigned char>(c);
        EXPECT_TRUE(c == '\n' || (b >= 0x20 && b < 0x7F)) << int(b);
    }
    const auto back = hive::ParseHive(text);
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, h);
}

}  // namespace
