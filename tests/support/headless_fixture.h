// Test fixtures. FreshProgram: every case starts and ends with the program's whole
// process-wide state put back (ResetProgramState), so cases never depend on their order.
// HeadlessFixture adds a fresh headless host (1024 x 768 unless the derived fixture asks
// otherwise) and the registry hive in a fresh temporary folder of its own.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "hosts/headless/headless_host.h"
#include "support/temp_dir.h"

namespace tavro_test {

class FreshProgram : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
};

class HeadlessFixture : public FreshProgram {
protected:
    explicit HeadlessFixture(int screen_width = 1024, int screen_height = 768)
        : screen_width_(screen_width), screen_height_(screen_height) {}

    void SetUp() override;
    void TearDown() override;

    // The host installed for this case.
    hosts::HeadlessHost& host() { return *host_; }
    // The temporary folder of this case (removed afterwards) and the hive file in it.
    const std::string& temp_dir() const { return temp_dir_.path(); }
    std::string hive_path() const { return temp_dir_ / "hive.txt"; }

private:
    int screen_width_, screen_height_;
    hosts::HeadlessHost* host_ = nullptr;  // owned by the installed-host slot
    TempDir temp_dir_;
    ScopedEnv hive_env_{"TAVRO_HIVE", hive_path()};
};

}  // namespace tavro_test
