#include "support/headless_fixture.h"

#include <memory>

#include "startup/program_state.h"

namespace tavro_test {

void FreshProgram::SetUp() { ResetProgramState(); }

void FreshProgram::TearDown() { ResetProgramState(); }

void HeadlessFixture::SetUp() {
    FreshProgram::SetUp();
    auto host = std::make_unique<hosts::HeadlessHost>(screen_width_, screen_height_);
    host_ = host.get();
    os::InstallHost(std::move(host));
    ASSERT_TRUE(temp_dir_.ok());
}

void HeadlessFixture::TearDown() {
    FreshProgram::TearDown();  // unloads what is left while the host is still there
    os::InstallHost(nullptr);
    host_ = nullptr;
    // The hive variable and the folder go back with the fixture's members.
}

}  // namespace tavro_test
