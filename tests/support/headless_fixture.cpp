#include "support/headless_fixture.h"

#include <cstdlib>
#include <filesystem>
#include <memory>

#include "startup/program_state.h"

namespace tavro_test {

void FreshProgram::SetUp() { ResetProgramState(); }

void FreshProgram::TearDown() { ResetProgramState(); }

void HeadlessFixture::SetUp() {
    FreshProgram::SetUp();
    auto host = std::make_unique<headless::HeadlessHost>(screen_width_, screen_height_);
    host_ = host.get();
    os::InstallHost(std::move(host));

    std::string pattern = (std::filesystem::temp_directory_path() / "tavro-test-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr) << "cannot make a temporary folder";
    temp_dir_ = pattern;
    if (const char* old = std::getenv("TAVRO_HIVE")) saved_hive_ = old;
    setenv("TAVRO_HIVE", hive_path().c_str(), 1);
}

void HeadlessFixture::TearDown() {
    FreshProgram::TearDown();  // unloads what is left while the host is still there
    os::InstallHost(nullptr);
    host_ = nullptr;
    if (saved_hive_)
        setenv("TAVRO_HIVE", saved_hive_->c_str(), 1);
    else
        unsetenv("TAVRO_HIVE");
    std::error_code ignored;
    if (!temp_dir_.empty()) std::filesystem::remove_all(temp_dir_, ignored);
}

}  // namespace tavro_test
