// Fixture for registry tests: TAVRO_HIVE points into a fresh temporary folder per case,
// and no registry hook is left behind.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>

#include "os/registry.h"

namespace tavro_test {

class TempHiveTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "tavro-hive-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
        if (const char* old = getenv("TAVRO_HIVE")) saved_ = old;
        setenv("TAVRO_HIVE", hive_path().c_str(), 1);
    }
    void TearDown() override {
        os::SetRegistryHook({});
        os::SetRegistryLockWait(3000);
        if (saved_) setenv("TAVRO_HIVE", saved_->c_str(), 1);
        else unsetenv("TAVRO_HIVE");
        std::error_code ec;
        std::filesystem::permissions(dir_, std::filesystem::perms::owner_all, ec);
        std::filesystem::remove_all(dir_, ec);
    }

    std::string hive_path() const { return dir_ + "/sub/hive.txt"; }
    const std::string& dir() const { return dir_; }

    std::string ReadHiveText() const {
        std::ifstream in(hive_path(), std::ios::binary);
        std::stringstream ss;
        ss << in.rdbuf();
        return ss.str();
    }
    void WriteHiveText(const std::string& text) const {
        std::filesystem::create_directories(std::filesystem::path(hive_path()).parent_path());
        std::ofstream(hive_path(), std::ios::binary) << text;
    }

private:
    std::string dir_;
    std::optional<std::string> saved_;
};

}  // namespace tavro_test
