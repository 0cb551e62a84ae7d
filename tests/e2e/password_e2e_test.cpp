// With password protection on, the real saver asks for the password: a wrong one keeps it
// running, the right one ends it.
#include <gtest/gtest.h>

#include <cstdlib>

#include "os/password_store.h"
#include "x_session.h"

namespace {

using e2e::SaverProcess;
using e2e::SleepMs;
using e2e::TempDir;
using e2e::XSession;

class PasswordOnX : public ::testing::Test {
protected:
    void SetUp() override {
        if (!x_.ok()) GTEST_SKIP() << "no X display";
        x_.ShowDesktop();
        x_.MovePointer(x_.width() / 2, x_.height() / 2);
        // The saver started below uses this hive.
        setenv("TAVRO_HIVE", (dir_.path() + "/hive.txt").c_str(), 1);
        ASSERT_TRUE(os::SetSaverPassword("kestrel"));
        ASSERT_TRUE(os::SetPasswordRequired(true));
        unsetenv("TAVRO_HIVE");
    }
    XSession x_;
    TempDir dir_;
};

TEST_F(PasswordOnX, WrongPasswordKeepsTheSaverRightOneEndsIt) {
    SaverProcess saver(dir_.path());
    saver.Start({"/s"});
    ASSERT_NE(x_.WaitForWindow("Screen saver", 3000), 0u) << saver.Stderr();
    SleepMs(300);

    x_.Key("space");
    ASSERT_NE(x_.WaitForWindow("Screen Saver", 3000), 0u) << "no password prompt";
    x_.Type("falcon");
    x_.Key("Return");
    SleepMs(2000);  // a wrong password answers after a pause
    ASSERT_TRUE(saver.Running()) << "a wrong password ended the saver";

    x_.Key("space");
    ASSERT_NE(x_.WaitForWindow("Screen Saver", 3000), 0u) << "no second prompt";
    x_.Type("kestrel");
    x_.Key("Return");
    const auto code = saver.Wait(3000);
    ASSERT_TRUE(code.has_value()) << "the right password did not end the saver";
    EXPECT_EQ(*code, 0);
}

}  // namespace
