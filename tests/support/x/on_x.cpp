#include "support/x/on_x.h"

#include <filesystem>

namespace e2e {

void Keep(const Shot& shot, const std::string& name) {
    std::filesystem::create_directories(TAVRO_SHOT_DIR);
    shot.SavePng(std::string(TAVRO_SHOT_DIR) + "/" + name + ".png");
}

void OnX::SetUp() {
    if (!x_.ok()) GTEST_SKIP() << "no X display";
    ASSERT_TRUE(dir_.ok());
    x_.ShowDesktop();
    if (pointer_ == Pointer::Corner)
        x_.MovePointer(5, 5);
    else
        x_.MovePointer(x_.width() / 2, x_.height() / 2);
    if (hive_ == Hive::Shared) UseSaverHive();
}

}  // namespace e2e
