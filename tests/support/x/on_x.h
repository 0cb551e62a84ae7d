// The end-to-end tests' fixture on the X display, and screenshots kept for a person to see.
#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "support/temp_dir.h"
#include "support/x/x_session.h"

namespace e2e {

// Saves a shot as TAVRO_SHOT_DIR/name.png.
void Keep(const Shot& shot, const std::string& name);

// A test on the X display, skipped without one: the desktop shown, the pointer moved out of
// the way (to the screen's middle, or to its top-left corner where dialogs do not open),
// and a temporary folder for the saver's hive, which this process's registry may share.
// A derived SetUp returns when IsSkipped().
class OnX : public ::testing::Test {
protected:
    enum class Pointer { Middle, Corner };
    enum class Hive { SaverOnly, Shared };
    explicit OnX(Pointer pointer = Pointer::Middle, Hive hive = Hive::SaverOnly)
        : pointer_(pointer), hive_(hive) {}
    void SetUp() override;
    // Points this process's registry at the saver's hive until the case ends.
    void UseSaverHive() { hive_env_.emplace("TAVRO_HIVE", dir_ / "hive.txt"); }

    XSession x_;
    TempDir dir_{"tavro-e2e"};

private:
    Pointer pointer_;
    Hive hive_;
    std::optional<tavro_test::ScopedEnv> hive_env_;
};

}  // namespace e2e
