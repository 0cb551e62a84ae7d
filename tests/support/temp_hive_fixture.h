// Fixture for registry tests: TAVRO_HIVE points into a fresh temporary folder per case
// (at `relative` in it), and no registry hook is left behind.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>

#include "os/registry.h"
#include "support/temp_dir.h"

namespace tavro_test {

class TempHiveTest : public ::testing::Test {
protected:
    explicit TempHiveTest(std::string relative = "sub/hive.txt") : relative_(std::move(relative)) {}

    void SetUp() override { ASSERT_TRUE(dir_.ok()); }
    void TearDown() override {
        os::SetRegistryHook({});
        os::SetRegistryLockWait(3000);
    }

    std::string hive_path() const { return dir_ / relative_; }
    const std::string& dir() const { return dir_.path(); }

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
    std::string relative_;
    TempDir dir_{"tavro-hive"};
    ScopedEnv hive_env_{"TAVRO_HIVE", hive_path()};
};

}  // namespace tavro_test
