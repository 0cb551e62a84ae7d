// The App object: previous-instance lock, program folder, title and version; DoEvents.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "forms/forms.h"
#include "forms/instance_lock.h"
#include "support/headless_fixture.h"
#include "support/temp_dir.h"

namespace {

class InstanceLockTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(temp_.ok()); }
    tavro_test::TempDir temp_{"tavro-lock"};
    const std::string dir_ = temp_.path(), path_ = temp_ / "instance.lock";
};

TEST_F(InstanceLockTest, FirstHolderIsAloneAndLaterHoldersSeeIt) {
    forms::InstanceLock first(path_);
    EXPECT_FALSE(first.Acquire());
    EXPECT_TRUE(first.Held());
    forms::InstanceLock second(path_);
    EXPECT_TRUE(second.Acquire());
    forms::InstanceLock third(path_);
    EXPECT_TRUE(third.Acquire());
}

TEST_F(InstanceLockTest, AnInstanceThatEndedIsNoLongerSeen) {
    {
        forms::InstanceLock gone(path_);
        EXPECT_FALSE(gone.Acquire());
    }
    forms::InstanceLock next(path_);
    EXPECT_FALSE(next.Acquire());
}

TEST_F(InstanceLockTest, TheFirstInstanceEndingLeavesTheSecondVisible) {
    auto first = std::make_unique<forms::InstanceLock>(path_);
    first->Acquire();
    forms::InstanceLock second(path_);
    EXPECT_TRUE(second.Acquire());
    first.reset();
    forms::InstanceLock third(path_);
    EXPECT_TRUE(third.Acquire());  // the second is still running
}

TEST_F(InstanceLockTest, AnotherProcessHoldingTheLockIsSeen) {
    int ready[2], release[2];
    ASSERT_EQ(pipe(ready), 0);
    ASSERT_EQ(pipe(release), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        forms::InstanceLock held(path_);
        const char verdict = held.Acquire() ? 'y' : 'n';
        (void)!write(ready[1], &verdict, 1);
        char c;
        (void)!read(release[0], &c, 1);
        _exit(0);
    }
    char verdict = 0;
    ASSERT_EQ(read(ready[0], &verdict, 1), 1);
    EXPECT_EQ(verdict, 'n');
    forms::InstanceLock mine(path_);
    EXPECT_TRUE(mine.Acquire());
    (void)!write(release[1], "x", 1);
    int status = 0;
    waitpid(child, &status, 0);
}

TEST_F(InstanceLockTest, UnopenableLockCountsAsNoOtherInstance) {
    forms::InstanceLock lock(dir_ + "/missing-folder/instance.lock");
    EXPECT_FALSE(lock.Acquire());
    EXPECT_FALSE(lock.Held());
}

TEST_F(InstanceLockTest, SymbolicLinkIsNotFollowed) {
    const std::string target = dir_ + "/elsewhere";
    std::filesystem::create_symlink(target, path_);
    forms::InstanceLock lock(path_);
    lock.Acquire();
    EXPECT_FALSE(lock.Held());
    EXPECT_FALSE(std::filesystem::exists(target));
}

TEST_F(InstanceLockTest, DefaultPathHonoursTheOverrideThenTheRuntimeFolder) {
    tavro_test::ScopedEnv lock_override("TAVRO_INSTANCE_LOCK", path_);
    tavro_test::ScopedEnv runtime("XDG_RUNTIME_DIR");
    EXPECT_EQ(forms::InstanceLock::DefaultPath(), path_);
    lock_override.Set(std::nullopt);
    runtime.Set(dir_);
    const std::string expected = dir_ + "/tavross-" + std::to_string(getuid()) + ".lock";
    EXPECT_EQ(forms::InstanceLock::DefaultPath(), expected);
    runtime.Set(std::nullopt);
    EXPECT_EQ(forms::InstanceLock::DefaultPath(),
              "/tmp/tavross-" + std::to_string(getuid()) + ".lock");
}

// App.PrevInstance decides once per process, so each case runs in a child process.
int PrevInstanceInChild(const std::string& lock_path) {
    const pid_t child = fork();
    if (child == 0) {
        setenv("TAVRO_INSTANCE_LOCK", lock_path.c_str(), 1);
        const bool first = forms::App.PrevInstance();
        const bool again = forms::App.PrevInstance();  // the same answer for the whole run
        _exit(first != again ? 2 : first ? 1 : 0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST_F(InstanceLockTest, AppPrevInstanceSeesARunningInstance) {
    EXPECT_EQ(PrevInstanceInChild(path_), 0);
    {
        forms::InstanceLock running(path_);
        running.Acquire();
        EXPECT_EQ(PrevInstanceInChild(path_), 1);
    }
    EXPECT_EQ(PrevInstanceInChild(path_), 0);
}

TEST(AppObject, PathIsTheExecutablesFolderAndVersionIsFixed) {
    const std::string exe = std::filesystem::read_symlink("/proc/self/exe").string();
    EXPECT_EQ(forms::App.Path(), exe.substr(0, exe.rfind('/')));
    EXPECT_EQ(forms::App.Title(), "Tavro Screen Saver");
    EXPECT_EQ(forms::App.Major(), 1);
    EXPECT_EQ(forms::App.Minor(), 6);
    EXPECT_EQ(forms::App.Revision(), 3);
}

using DoEventsTest = tavro_test::HeadlessFixture;

TEST_F(DoEventsTest, DispatchesPendingInputAndCountsLoadedForms) {
    struct Clicky : forms::Form {
        Clicky() : forms::Form("Clicky") {}
        int clicks = 0;
        void Form_Click() override { ++clicks; }
    };
    Clicky a, b;
    EXPECT_EQ(forms::DoEvents(), 0);
    a.Show();
    (void)b.hWnd();
    host().PushClick(static_cast<os::HostWindowId>(a.hWnd()), 3, 3);
    EXPECT_EQ(a.clicks, 0);
    EXPECT_EQ(forms::DoEvents(), 2);
    EXPECT_EQ(a.clicks, 1);
    b.Unload();
    EXPECT_EQ(forms::DoEvents(), 1);
}

}  // namespace
