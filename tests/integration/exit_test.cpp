// The saver ends on a click, a key or a pointer move of more than 5 pixels, through the
// exit gate; preview ignores input; the cursor's display count over a whole run.
#include <gtest/gtest.h>

#include "os/message_loop.h"
#include "os/password_store.h"
#include "os/window.h"
#include "saver/check_password.h"
#include "saver/init_screen_saver.h"
#include "saver/ss_form.h"
#include "saver/ss_module.h"
#include "settings/settings.h"
#include "support/saver_fixture.h"

namespace {

using tavro_test::SaverFixture;

class Exit : public SaverFixture {
protected:
    void StartSaver() {
        SSForm& form = SSFormInstance();
        form.Load();
        RunMode = ModeSaver;
        InitScreenSaver();
        form.Show(false);
    }
    SSForm& form() { return SSFormInstance(); }
    void Move(float x, float y) { form().Form_MouseMove(0, 0, x, y); }
};

TEST_F(Exit, OneClickEndsTheSaverAndRestoresTheModeAndCursorBalance) {
    StartSaver();
    const int during = CursorCount();
    form().Form_Click();
    EXPECT_FALSE(form().IsLoaded());
    EXPECT_EQ(RunMode, ModeSaver);  // through ModePassword and back
    EXPECT_EQ(CursorCount(), during + 1);  // the unload showed it once
}

TEST_F(Exit, AnyKeyActsLikeAClick) {
    StartSaver();
    int key = 0x70, shift = 7;
    form().Form_KeyDown(key, shift);
    EXPECT_FALSE(form().IsLoaded());
}

TEST_F(Exit, PointerMovesOfFivePixelsOrLessDoNotEndIt) {
    StartSaver();
    Move(100, 100);  // takes the reference point
    Move(105, 100);
    Move(105, 105);
    Move(95, 95);
    EXPECT_TRUE(form().IsLoaded());
    EXPECT_EQ(form().LastX, 100);
    EXPECT_EQ(form().LastY, 100);
    Move(106, 100);
    EXPECT_FALSE(form().IsLoaded());
}

TEST_F(Exit, UpwardMoveOfSixPixelsEndsIt) {
    StartSaver();
    Move(100, 100);
    Move(100, 94);
    EXPECT_FALSE(form().IsLoaded());
}

TEST_F(Exit, FirstMoveOnlyTakesTheReferenceEvenFarAway) {
    StartSaver();
    Move(900, 700);
    EXPECT_TRUE(form().IsLoaded());
    EXPECT_EQ(form().LastX, 900);
}

TEST_F(Exit, GateRefusesWhileACheckIsOpen) {
    StartSaver();
    RunMode = ModePassword;
    const int before = CursorCount();
    EXPECT_EQ(CheckPassword(form().hWnd()), 0);
    EXPECT_EQ(RunMode, ModePassword);
    EXPECT_EQ(CursorCount(), before);
    form().Form_Click();
    EXPECT_TRUE(form().IsLoaded());
    Move(10, 10);
    Move(500, 500);  // follows the pointer, never triggers
    EXPECT_TRUE(form().IsLoaded());
    EXPECT_EQ(form().LastX, 500);
    host().PushClose(static_cast<os::HostWindowId>(form().hWnd()));
    os::PumpMessages();
    EXPECT_TRUE(form().IsLoaded()) << "a close request went past the open check";
    RunMode = ModeSaver;
}

TEST_F(Exit, ACloseRequestPassesTheGateLikeAClick) {
    StartSaver();
    const int during = CursorCount();
    host().PushClose(static_cast<os::HostWindowId>(form().hWnd()));
    os::PumpMessages();
    EXPECT_FALSE(form().IsLoaded());
    EXPECT_EQ(RunMode, ModeSaver);
    EXPECT_EQ(CursorCount(), during + 1);
}

TEST_F(Exit, PreviewIgnoresClicksKeysAndMoves) {
    // Stored values the preview must not act on: a background sound and a password.
    StoreSetting("BkWavEna", " 1");
    ASSERT_TRUE(os::SetPasswordRequired(true));
    RunMode = ModePreview;
    const auto parent = host().AddForeignWindow("Host", {0, 0, 152, 112});
    SSForm& f = form();
    f.Load();
    ASSERT_NE(os::SetParent(f.hWnd(), static_cast<os::HWND>(parent)), 0);
    f.Init_light();
    InitScreenSaver();
    f.Show(false);
    f.Form_Click();
    f.Form_DblClick();
    int key = 'A', shift = 0;
    f.Form_KeyDown(key, shift);
    Move(50, 50);
    Move(120, 100);
    EXPECT_TRUE(f.IsLoaded());
    EXPECT_EQ(f.LastX, 50);  // the first move still set the reference
    EXPECT_EQ(PwdProtected, 0);
    EXPECT_EQ(Settings.BkWavEna, 0);
    EXPECT_TRUE(audio().Plays().empty());
    // Closing the window from outside is how a preview is ended: no gate, no prompt.
    host().PushClose(static_cast<os::HostWindowId>(f.hWnd()));
    os::PumpMessages();
    EXPECT_FALSE(f.IsLoaded());
    EXPECT_EQ(RunMode, ModePreview);
}

TEST_F(Exit, CursorStaysHiddenThroughAWholeSaverRun) {
    const int start = CursorCount();
    int during = 99;
    host().Schedule(400, [&] {
        during = CursorCount();
        EXPECT_FALSE(host().CursorVisible(static_cast<os::HostWindowId>(form().hWnd())));
        host().PushClick(static_cast<os::HostWindowId>(form().hWnd()), 20, 20);
    });
    RunMain("/s");
    EXPECT_EQ(during, start - 2);
    EXPECT_EQ(CursorCount(), start - 1);
    EXPECT_FALSE(form().IsLoaded());
}

TEST_F(Exit, SystemKeysAreSwitchedBackOnAtTheEnd) {
    host().Schedule(300, [&] {
        EXPECT_TRUE(os::SaverDeclaredRunning());
        EXPECT_EQ(host().GrabbedWindow(), static_cast<os::HostWindowId>(form().hWnd()));
        host().PushKey(static_cast<os::HostWindowId>(form().hWnd()), 27, 27);
    });
    RunMain("/s");
    EXPECT_FALSE(os::SaverDeclaredRunning());
    EXPECT_EQ(host().GrabbedWindow(), 0u);
}

}  // namespace
