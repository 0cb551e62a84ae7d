// The real executable on an X display: the saver covers the screen with the frozen
// desktop, the banner and moving planes, ends on a key, refuses a second instance, draws
// inside a preview host window until it is destroyed; unknown switches end at once.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "x_session.h"

namespace {

using e2e::SaverProcess;
using e2e::Shot;
using e2e::SleepMs;
using e2e::TempDir;
using e2e::XSession;

void Keep(const Shot& shot, const std::string& name) {
    std::filesystem::create_directories(TAVRO_SHOT_DIR);
    shot.SavePng(std::string(TAVRO_SHOT_DIR) + "/" + name + ".png");
}

class SaverOnX : public ::testing::Test {
protected:
    void SetUp() override {
        if (!x_.ok()) GTEST_SKIP() << "no X display";
        x_.ShowDesktop();
        x_.MovePointer(x_.width() / 2, x_.height() / 2);
    }
    XSession x_;
    TempDir dir_;
};

TEST_F(SaverOnX, ShowsTheFrozenDesktopWithBannerAndMovingPlanesThenEndsOnAKey) {
    const Shot before = x_.Screenshot();
    SaverProcess saver(dir_.path());
    saver.Start({"/s"});
    ASSERT_NE(x_.WaitForWindow("Screen saver", 3000), 0u) << saver.Stderr();
    SleepMs(600);
    const Shot a = x_.Screenshot();
    SleepMs(300);
    const Shot b = x_.Screenshot();
    Keep(a, "saver-frame-1");
    Keep(b, "saver-frame-2");

    // Most of the screen is the desktop as it was; the planes move between the shots.
    const int changed = a.CountDifferent(before, 4);
    const int grid = (a.width / 4) * (a.height / 4);
    EXPECT_GT(changed, 50) << "no planes or banner drawn";
    EXPECT_LT(changed, grid / 2) << "the frozen desktop is not shown";
    EXPECT_GT(a.CountDifferent(b, 2), 100) << "the planes do not move";
    // The banner: dark text pixels at the top middle.
    int banner = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = a.width / 2 - 40; x < a.width / 2 + 40; ++x)
            if (a.at(x, y) != XSession::DesktopPixel(x, y)) ++banner;
    EXPECT_GT(banner, 30);

    x_.Key("space");
    const auto code = saver.Wait(3000);
    ASSERT_TRUE(code.has_value()) << "the saver did not end on a key";
    EXPECT_EQ(*code, 0);
    SleepMs(200);
    const Shot after = x_.Screenshot();
    Keep(after, "after-exit");
    EXPECT_LT(after.CountDifferent(before, 4), 20) << "the desktop is not back";
}

TEST_F(SaverOnX, SmallPointerMovesKeepItALargerOneEndsIt) {
    x_.MovePointer(500, 400);
    SaverProcess saver(dir_.path());
    saver.Start({"/s"});
    ASSERT_NE(x_.WaitForWindow("Screen saver", 3000), 0u) << saver.Stderr();
    SleepMs(300);
    x_.MovePointer(503, 402);  // takes the reference point
    SleepMs(100);
    x_.MovePointer(508, 407);  // 5 pixels from it on each axis: not more than 5
    SleepMs(300);
    EXPECT_TRUE(saver.Running()) << "a move of 5 pixels ended the saver";
    x_.MovePointer(503, 408);  // 6 pixels down from the reference
    const auto code = saver.Wait(3000);
    ASSERT_TRUE(code.has_value()) << "a move of 6 pixels did not end the saver";
    EXPECT_EQ(*code, 0);
}

TEST_F(SaverOnX, ASecondSaverEndsAtOnceWhileOneRuns) {
    SaverProcess first(dir_.path());
    first.Start({"/s"});
    ASSERT_NE(x_.WaitForWindow("Screen saver", 3000), 0u) << first.Stderr();
    SaverProcess second(dir_.path());
    second.Start({"/s"});
    const auto code = second.Wait(3000);
    ASSERT_TRUE(code.has_value()) << "the second instance kept running";
    EXPECT_EQ(*code, 0);
    EXPECT_TRUE(first.Running());
    x_.Key("Escape");
    EXPECT_TRUE(first.Wait(3000).has_value());
}

TEST_F(SaverOnX, PreviewDrawsInsideTheHostWindowUntilItIsDestroyed) {
    // Away from the top-left corner: the preview shows the top-left part of the whole
    // screen's snapshot, which then holds only the desktop (and planes flying over it).
    const unsigned long host = x_.CreateWindow(600, 400, 240, 180, 0x000000, "Preview host");
    SleepMs(100);
    SaverProcess preview(dir_.path());
    preview.Start({"/p", std::to_string(host)});
    SleepMs(1200);
    ASSERT_TRUE(preview.Running()) << preview.Stderr();
    const Shot inside = x_.WindowShot(host);
    Keep(inside, "preview");
    int desktop = 0;
    for (int y = 0; y < inside.height; ++y)
        for (int x = 0; x < inside.width; ++x)
            if (inside.at(x, y) == XSession::DesktopPixel(x, y)) ++desktop;
    EXPECT_GT(desktop, static_cast<int>(inside.pixels.size() / 2))
        << "the host does not show the snapshot's top-left part";
    // Input does not end a preview.
    x_.Click(700, 480);
    SleepMs(200);
    EXPECT_TRUE(preview.Running());
    x_.DestroyWindow(host);
    const auto code = preview.Wait(3000);
    ASSERT_TRUE(code.has_value()) << "the preview outlived its host window";
    EXPECT_EQ(*code, 0);
}

TEST_F(SaverOnX, PreviewWithAHandleThatNamesNoWindowEndsAtOnce) {
    SaverProcess preview(dir_.path());
    preview.Start({"/p", "12345"});
    const auto code = preview.Wait(3000);
    ASSERT_TRUE(code.has_value());
    EXPECT_EQ(*code, 0);
}

TEST_F(SaverOnX, UnknownSwitchEndsAtOnceWithoutAWindow) {
    const auto titles_before = x_.TopLevelTitles();
    SaverProcess p(dir_.path());
    p.Start({"/x"});
    const auto code = p.Wait(2000);
    ASSERT_TRUE(code.has_value());
    EXPECT_EQ(*code, 0);
    EXPECT_EQ(x_.TopLevelTitles(), titles_before);
}

TEST(SaverWithoutDisplay, SaysSoOnOneLineAndFails) {
    TempDir dir;
    for (const char* sw : {"/s", "/p", "/c", "/a"}) {
        SaverProcess p(dir.path());
        p.Start({sw}, {{"DISPLAY", ":97531"}});
        const auto code = p.Wait(3000);
        ASSERT_TRUE(code.has_value()) << sw;
        EXPECT_NE(*code, 0) << sw;
        const std::string& err = p.Stderr();
        EXPECT_NE(err.find("display"), std::string::npos) << err;
        EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    }
}

}  // namespace
