// The program's folder, ordinary-file tests and the platform's path rules.
#include <gtest/gtest.h>
#include <errno.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>

#include "os/files.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

class FilesTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(temp_.ok()); }
    std::string Make(const std::string& relative) {
        fs::path path = fs::path(root_) / relative;
        fs::create_directories(path.parent_path());
        std::ofstream(path) << relative;
        return path.string();
    }
    // Which file a resolved name leads to, by its contents.
    static std::string Contents(const std::optional<std::string>& path) {
        if (!path) return "<none>";
        std::ifstream in(*path);
        return std::string((std::istreambuf_iterator<char>(in)), {});
    }
    tavro_test::TempDir temp_{"tavro-files"};
    const std::string root_ = temp_.path();
};

TEST_F(FilesTest, BackslashesSeparateFoldersAndCaseIsForgiven) {
    Make("Sounds/Thunder.WAV");
    EXPECT_EQ(Contents(os::ResolveFileName("sounds\\thunder.wav", {root_})), "Sounds/Thunder.WAV");
    EXPECT_EQ(Contents(os::ResolveFileName("SOUNDS/THUNDER.WAV", {root_})), "Sounds/Thunder.WAV");
    EXPECT_EQ(Contents(os::ResolveFileName("Sounds\\\\Thunder.WAV", {root_})),
              "Sounds/Thunder.WAV");  // empty components are ignored
    EXPECT_FALSE(os::ResolveFileName("sounds\\thunder.wa", {root_}).has_value());
    EXPECT_FALSE(os::ResolveFileName("sound\\thunder.wav", {root_}).has_value());
}

TEST_F(FilesTest, ExactNameWinsOverOneThatDiffersInCase) {
    Make("a.wav");
    Make("A.wav");
    EXPECT_EQ(Contents(os::ResolveFileName("a.wav", {root_})), "a.wav");
    EXPECT_EQ(Contents(os::ResolveFileName("A.wav", {root_})), "A.wav");
    // Without an exact match the alphabetically first candidate is taken.
    EXPECT_EQ(Contents(os::ResolveFileName("a.WAV", {root_})), "A.wav");
}

TEST_F(FilesTest, FoldersAreSearchedInOrder) {
    Make("first/both.wav");
    Make("second/both.wav");
    Make("second/only.wav");
    std::vector<std::string> folders = {root_ + "/missing", root_ + "/first", root_ + "/second"};
    EXPECT_EQ(Contents(os::ResolveFileName("both.wav", folders)), "first/both.wav");
    EXPECT_EQ(Contents(os::ResolveFileName("ONLY.wav", folders)), "second/only.wav");
    EXPECT_FALSE(os::ResolveFileName("none.wav", folders).has_value());
    EXPECT_FALSE(os::ResolveFileName("both.wav", {}).has_value());
}

TEST_F(FilesTest, OnlyOrdinaryFilesAreFound) {
    fs::create_directories(root_ + "/first/music.wav");
    Make("second/music.wav");
    EXPECT_EQ(Contents(os::ResolveFileName("music.wav", {root_ + "/first", root_ + "/second"})),
              "second/music.wav");
    EXPECT_FALSE(os::ResolveFileName("first", {root_}).has_value());
    EXPECT_FALSE(os::ResolveFileName("second\\music.wav\\", {root_}).has_value());
    EXPECT_FALSE(os::ResolveFileName("", {root_}).has_value());
}

TEST_F(FilesTest, AbsoluteNamesIgnoreTheFoldersButStillForgiveCase) {
    Make("deep/Sky.wav");
    std::string upper = root_ + "/DEEP/sky.WAV";
    EXPECT_EQ(Contents(os::ResolveFileName(upper, {"/nonexistent"})), "deep/Sky.wav");
    std::string backslashed = root_ + "\\deep\\Sky.wav";
    EXPECT_EQ(Contents(os::ResolveFileName(backslashed, {})), "deep/Sky.wav");
    Make("elsewhere/Sky.wav");
    EXPECT_FALSE(os::ResolveFileName(root_ + "/Sky.wav", {root_ + "/elsewhere"}).has_value());
}

TEST_F(FilesTest, ParentFolderComponentsAreFollowed) {
    Make("sub/inner/x.ini");
    Make("sub/top.ini");
    EXPECT_EQ(Contents(os::ResolveFileName("SUB\\inner\\..\\Top.ini", {root_})), "sub/top.ini");
    EXPECT_EQ(Contents(os::ResolveFileName(".\\sub\\.\\top.ini", {root_})), "sub/top.ini");
}

TEST_F(FilesTest, IsOrdinaryFileAcceptsFilesAndLinksToThemOnly) {
    std::string file = Make("plain.txt");
    EXPECT_TRUE(os::IsOrdinaryFile(file));
    EXPECT_FALSE(os::IsOrdinaryFile(root_));
    EXPECT_FALSE(os::IsOrdinaryFile(root_ + "/missing.txt"));
    EXPECT_FALSE(os::IsOrdinaryFile(""));
    fs::create_symlink(file, root_ + "/link.txt");
    EXPECT_TRUE(os::IsOrdinaryFile(root_ + "/link.txt"));
    fs::create_symlink(root_ + "/gone.txt", root_ + "/dangling.txt");
    EXPECT_FALSE(os::IsOrdinaryFile(root_ + "/dangling.txt"));
    EXPECT_FALSE(os::IsOrdinaryFile("/dev/null"));
}

TEST(ProgramFolderTest, HoldsTheRunningExecutable) {
    std::string folder = os::ProgramFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.front(), '/');
    EXPECT_NE(folder.back(), '/');
    std::string own_name = fs::path(program_invocation_name).filename().string();
    EXPECT_TRUE(os::IsOrdinaryFile(folder + "/" + own_name));
    EXPECT_EQ(os::ProgramPath("sub\\" + own_name), folder + "/sub/" + own_name);
}

TEST(ProgramFolderTest, CurrentFolderFollowsTheProcess) {
    std::string before = fs::current_path();
    fs::current_path("/");
    std::string at_root = os::CurrentFolder();
    fs::current_path(before);
    EXPECT_EQ(at_root, "/");
    EXPECT_EQ(os::CurrentFolder(), before);
}

}  // namespace
