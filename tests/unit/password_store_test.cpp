// The screen-saver password in the hive: only a salted hash is kept, and the checks follow it.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "os/password_store.h"
#include "os/registry.h"
#include "support/registry_values.h"
#include "support/temp_hive_fixture.h"

namespace {

namespace fs = std::filesystem;

class PasswordStoreTest : public tavro_test::TempHiveTest {
protected:
    PasswordStoreTest() : TempHiveTest("hive.txt") {}
    // A value of the desktop key as raw bytes, with its type.
    std::optional<std::string> DesktopValue(const char* name, os::DWORD* type) {
        const auto value = tavro_test::ReadValue(os::kDesktopKey, name);
        if (!value) return std::nullopt;
        *type = value->type;
        return value->bytes;
    }
    void WriteDesktopValue(const char* name, os::DWORD type, const std::string& bytes) {
        ASSERT_TRUE(tavro_test::WriteValue(os::kDesktopKey, name, type, bytes));
    }
};

TEST_F(PasswordStoreTest, WithoutAPasswordOnlyTheEmptyTextMatches) {
    EXPECT_FALSE(os::HasSaverPassword());
    EXPECT_TRUE(os::CheckSaverPassword(""));
    EXPECT_FALSE(os::CheckSaverPassword("anything"));
}

TEST_F(PasswordStoreTest, StoresASaltedHashNeverThePlainText) {
    ASSERT_TRUE(os::SetSaverPassword("Blue Skies 42"));
    EXPECT_TRUE(os::HasSaverPassword());
    std::string hive = ReadHiveText();
    EXPECT_EQ(hive.find("Blue Skies 42"), std::string::npos);
    EXPECT_EQ(hive.find("Skies"), std::string::npos);

    os::DWORD type = 0;
    auto first = DesktopValue(os::kPasswordHashValue, &type);
    ASSERT_TRUE(first.has_value());
    EXPECT_EQ(type, os::REG_SZ);
    EXPECT_EQ(first->rfind("$y$", 0), 0u);

    // The same password again gets a fresh salt, so the stored text differs.
    ASSERT_TRUE(os::SetSaverPassword("Blue Skies 42"));
    auto second = DesktopValue(os::kPasswordHashValue, &type);
    ASSERT_TRUE(second.has_value());
    EXPECT_NE(*first, *second);
    EXPECT_TRUE(os::CheckSaverPassword("Blue Skies 42"));
}

TEST_F(PasswordStoreTest, OnlyTheRightPasswordMatches) {
    ASSERT_TRUE(os::SetSaverPassword("falcon"));
    EXPECT_TRUE(os::CheckSaverPassword("falcon"));
    EXPECT_FALSE(os::CheckSaverPassword("Falcon"));
    EXPECT_FALSE(os::CheckSaverPassword("falcon "));
    EXPECT_FALSE(os::CheckSaverPassword("falco"));
    EXPECT_FALSE(os::CheckSaverPassword(""));
    EXPECT_FALSE(os::CheckSaverPassword(std::string("falcon\0x", 8)));
}

TEST_F(PasswordStoreTest, ChangingAndRemovingThePassword) {
    ASSERT_TRUE(os::SetSaverPassword("old one"));
    ASSERT_TRUE(os::SetSaverPassword("new one"));
    EXPECT_FALSE(os::CheckSaverPassword("old one"));
    EXPECT_TRUE(os::CheckSaverPassword("new one"));

    ASSERT_TRUE(os::SetSaverPassword(""));
    EXPECT_FALSE(os::HasSaverPassword());
    EXPECT_FALSE(os::CheckSaverPassword("new one"));
    EXPECT_TRUE(os::CheckSaverPassword(""));
}

TEST_F(PasswordStoreTest, AStoredValueThatIsNoHashMatchesNothing) {
    // Someone wrote the password itself into the hive by hand.
    WriteDesktopValue(os::kPasswordHashValue, os::REG_SZ, "letmein");
    EXPECT_TRUE(os::HasSaverPassword());
    EXPECT_FALSE(os::CheckSaverPassword("letmein"));
    EXPECT_FALSE(os::CheckSaverPassword(""));
    // A hash stored as another type is not taken for one.
    ASSERT_TRUE(os::SetSaverPassword("typed"));
    os::DWORD type = 0;
    auto hash = DesktopValue(os::kPasswordHashValue, &type);
    ASSERT_TRUE(hash.has_value());
    WriteDesktopValue(os::kPasswordHashValue, os::REG_BINARY, *hash);
    EXPECT_FALSE(os::HasSaverPassword());
    EXPECT_FALSE(os::CheckSaverPassword("typed"));
}

TEST_F(PasswordStoreTest, PasswordRequirementFlag) {
    EXPECT_FALSE(os::PasswordRequired());
    ASSERT_TRUE(os::SetPasswordRequired(true));
    os::DWORD type = 0;
    auto value = DesktopValue(os::kUsePasswordValue, &type);
    ASSERT_TRUE(value.has_value());
    EXPECT_EQ(type, os::REG_DWORD);
    EXPECT_EQ(*value, std::string("\1\0\0\0", 4));
    EXPECT_TRUE(os::PasswordRequired());

    ASSERT_TRUE(os::SetPasswordRequired(false));
    value = DesktopValue(os::kUsePasswordValue, &type);
    ASSERT_TRUE(value.has_value());
    EXPECT_EQ(*value, std::string(4, '\0'));
    EXPECT_FALSE(os::PasswordRequired());

    // Other programs may keep the flag as text, without a terminating NUL.
    WriteDesktopValue(os::kUsePasswordValue, os::REG_SZ, "1");
    EXPECT_TRUE(os::PasswordRequired());
    WriteDesktopValue(os::kUsePasswordValue, os::REG_SZ, "0");
    EXPECT_FALSE(os::PasswordRequired());
    WriteDesktopValue(os::kUsePasswordValue, os::REG_BINARY, std::string("\0\1", 2));
    EXPECT_TRUE(os::PasswordRequired());
}

// Damage that may hide the password or its flag never turns the lock off: the flag reads
// as required and the unknown password matches nothing. Damage elsewhere changes nothing.
TEST_F(PasswordStoreTest, DamagedHiveNeverSwitchesThePasswordOff) {
    ASSERT_TRUE(os::SetSaverPassword("open sesame"));
    ASSERT_TRUE(os::SetPasswordRequired(true));
    const std::string good = ReadHiveText();
    const std::size_t desktop = good.find("[Control Panel\\desktop]");
    ASSERT_NE(desktop, std::string::npos);
    const auto write = [&](const std::string& text) { std::ofstream(hive_path()) << text; };

    // One damaged byte in a file as the writer wrote it. The line end before the desktop
    // key lost to a blank, a NUL or a "#" glues the key line onto the line before: the
    // parent's key line, a value line, a comment of the user's, or the header (the parent's
    // key line may be left out).
    std::vector<std::string> one_byte;
    const auto glue_desktop_key = [&](const std::string& text) {
        const std::size_t at = text.find("\n[Control Panel\\desktop]");
        ASSERT_NE(at, std::string::npos) << text;
        for (char junk : {' ', '\0', '#'})
            one_byte.push_back(text.substr(0, at) + junk + text.substr(at + 1));
    };
    glue_desktop_key(good);
    std::string header_first = good;
    header_first.erase(header_first.find("[Control Panel]\n"), 16);
    glue_desktop_key(header_first);
    ASSERT_TRUE(tavro_test::WriteValue("Control Panel", "Note", os::REG_SZ, "x"));
    glue_desktop_key(ReadHiveText());
    const std::size_t note = ReadHiveText().find("\"Note\"");
    write(ReadHiveText().insert(note, "# my own note\n"));
    ASSERT_TRUE(os::SetPasswordRequired(true));  // the save keeps the comment in its key
    ASSERT_NE(ReadHiveText().find("# my own note\n[Control Panel\\desktop]"), std::string::npos)
        << ReadHiveText();
    glue_desktop_key(ReadHiveText());
    for (char junk : {'\0', '\xFF'}) {  // inside the desktop key line
        one_byte.push_back(good);
        one_byte.back()[desktop + 9] = junk;
    }
    const std::size_t flag = good.find("ScreenSaveUsePassword");  // two NULs in its name
    one_byte.push_back(good.substr(0, flag + 3) + std::string(2, '\0') + good.substr(flag + 5));
    for (const std::string& damaged : one_byte) {
        write(damaged);
        EXPECT_TRUE(os::PasswordRequired()) << damaged;
        EXPECT_TRUE(os::HasSaverPassword()) << damaged;
        EXPECT_FALSE(os::CheckSaverPassword("")) << damaged;
        EXPECT_FALSE(os::CheckSaverPassword("x")) << damaged;
    }

    // A BOM and damage elsewhere; lines that end in CR alone. A save keeps every line.
    std::string cr_ends = good;
    std::replace(cr_ends.begin(), cr_ends.end(), '\n', '\r');
    for (const std::string& text : {"\xEF\xBB\xBF" + good + "[Other]\n\"x\"=sz:\"%\n", cr_ends}) {
        write(text);
        EXPECT_TRUE(os::PasswordRequired());
        EXPECT_TRUE(os::CheckSaverPassword("open sesame"));
        EXPECT_FALSE(os::CheckSaverPassword(""));
    }
    ASSERT_TRUE(os::SetPasswordRequired(true));
    EXPECT_TRUE(os::CheckSaverPassword("open sesame"));
    EXPECT_EQ(ReadHiveText(), good);

    for (const std::string& damaged : {
             good.substr(0, desktop + 5),  // cut short before the desktop key
             good.substr(0, desktop) + "[Control Panel\\desktop]\n\"ScreenSavePasswordHash\"=sz:\"$y$j9",
             std::string("[Control Panel\\desktop]\n\"ScreenSaveUsePassword\"=dword:1\n"
                         "\"ScreenSavePasswordHash\"=sz:\"$y$\" x\n"),
         }) {
        write(damaged);
        EXPECT_TRUE(os::PasswordRequired()) << damaged;
        EXPECT_TRUE(os::HasSaverPassword()) << damaged;
        for (const char* typed : {"", "open sesame", "x"})
            EXPECT_FALSE(os::CheckSaverPassword(typed)) << damaged;
    }

    fs::remove(hive_path());
    fs::create_directory(hive_path());  // cannot be read at all
    EXPECT_TRUE(os::PasswordRequired());
    EXPECT_TRUE(os::HasSaverPassword());
    EXPECT_FALSE(os::CheckSaverPassword(""));
    EXPECT_FALSE(os::SetSaverPassword("new"));

    fs::remove(hive_path());
    write("[Software\\Some]\n\"v\"=sz:\"bad\" x\n");  // no password, damage far from it
    EXPECT_FALSE(os::HasSaverPassword());
    EXPECT_TRUE(os::CheckSaverPassword(""));
    // Comments are no damage: the flag written off stays off.
    write("# note\n[Control Panel\\desktop]\n# note\n\"ScreenSaveUsePassword\"=dword:00000000\n");
    EXPECT_FALSE(os::PasswordRequired());
    EXPECT_FALSE(os::HasSaverPassword());
}

TEST(WipeSecretTest, OverwritesTheBytesItHeld) {
    std::string secret(64, 'k');
    const char* bytes = secret.data();
    os::WipeSecret(secret);
    EXPECT_TRUE(secret.empty());
    EXPECT_EQ(std::string(bytes, 64), std::string(64, '\0'));
}

}  // namespace
