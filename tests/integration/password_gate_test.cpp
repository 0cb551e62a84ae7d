// With password protection on, the saver ends only when the prompt accepts the password;
// the animation goes on while the prompt is open.
#include <gtest/gtest.h>

#include <cctype>

#include "forms/metrics.h"
#include "os/password_store.h"
#include "os/window.h"
#include "saver/ss_form.h"
#include "saver/ss_module.h"
#include "settings/settings.h"
#include "support/saver_fixture.h"

namespace {

class PasswordGate : public tavro_test::SaverFixture {
protected:
    void SetUp() override {
        SaverFixture::SetUp();
        ASSERT_TRUE(os::SetSaverPassword("kestrel"));
        ASSERT_TRUE(os::SetPasswordRequired(true));
    }
    os::HostWindowId Saver() { return static_cast<os::HostWindowId>(SSFormInstance().hWnd()); }
    os::HostWindowId Prompt() {
        for (os::HostWindowId id : host().TopLevelWindows())
            if (id != Saver() && os::IsWindowVisible(static_cast<os::HWND>(id))) return id;
        return 0;
    }
    // At `ms`: types `text` into the open prompt and presses Enter.
    void AnswerAt(std::uint64_t ms, const std::string& text) {
        host().Schedule(ms, [=, this] {
            const os::HostWindowId prompt = Prompt();
            ASSERT_NE(prompt, 0u) << "no prompt open at " << ms;
            EXPECT_EQ(RunMode, ModePassword);
            for (char c : text)
                host().PushKey(prompt,
                               static_cast<unsigned>(std::toupper(static_cast<unsigned char>(c))),
                               static_cast<std::uint32_t>(c));
            host().PushKey(prompt, forms::vbKeyReturn, '\r');
        });
    }
};

TEST_F(PasswordGate, WrongPasswordKeepsTheSaverAndTheRightOneEndsIt) {
    int frames_before_prompt = 0, frames_after_wrong = 0;
    bool ended_early = false;
    host().Schedule(300, [&] {
        frames_before_prompt = host().PresentCount(Saver());
        host().PushClick(Saver(), 40, 40);
    });
    AnswerAt(400, "falcon");
    host().Schedule(2000, [&] {
        ended_early = !SSFormInstance().IsLoaded();
        frames_after_wrong = host().PresentCount(Saver());
        EXPECT_EQ(RunMode, ModeSaver);  // back from the check, still running
        EXPECT_EQ(Prompt(), 0u);
        host().PushKey(Saver(), 'Q', 'q');
    });
    AnswerAt(2100, "kestrel");
    RunMain("/s");
    EXPECT_FALSE(ended_early);
    EXPECT_FALSE(SSFormInstance().IsLoaded());
    EXPECT_GE(host().NowMs(), 2100u);
    // Frames kept coming while the prompt was open and after the refusal.
    EXPECT_GT(frames_after_wrong, frames_before_prompt + 50);
}

TEST_F(PasswordGate, AfterARefusalTheTriggeringMoveIsTheNewReference) {
    host().Schedule(300, [&] {
        host().PushMotion(Saver(), 100, 100);  // takes the reference
        host().PushMotion(Saver(), 110, 100);  // more than 5 pixels: asks
    });
    AnswerAt(400, "falcon");
    bool asked_again = false;
    host().Schedule(2000, [&] {
        EXPECT_TRUE(SSFormInstance().IsLoaded());
        EXPECT_EQ(SSFormInstance().LastX, 110);
        EXPECT_EQ(SSFormInstance().LastY, 100);
        host().PushMotion(Saver(), 115, 95);  // within 5 pixels of (110, 100)
    });
    host().Schedule(2100, [&] {
        asked_again = Prompt() != 0;
        host().PushMotion(Saver(), 116, 100);  // 6 pixels: asks again
    });
    AnswerAt(2200, "kestrel");
    RunMain("/s");
    EXPECT_FALSE(asked_again);
    EXPECT_FALSE(SSFormInstance().IsLoaded());
    EXPECT_GE(host().NowMs(), 2200u);
}

TEST_F(PasswordGate, ACloseRequestOpensThePromptLikeAKey) {
    bool stayed_after_cancel = false;
    host().Schedule(300, [&] { host().PushClose(Saver()); });
    host().Schedule(400, [&] {
        ASSERT_NE(Prompt(), 0u) << "a close request did not ask for the password";
        EXPECT_EQ(RunMode, ModePassword);
        host().PushClose(Saver());  // the prompt is modal: a second request is dropped
        host().PushKey(Prompt(), forms::vbKeyEscape, 27);
    });
    host().Schedule(600, [&] {
        stayed_after_cancel = SSFormInstance().IsLoaded() && Prompt() == 0;
        host().PushClose(Saver());
    });
    AnswerAt(700, "kestrel");
    RunMain("/s");
    EXPECT_TRUE(stayed_after_cancel);
    EXPECT_FALSE(SSFormInstance().IsLoaded());
    EXPECT_GE(host().NowMs(), 700u);
}

TEST_F(PasswordGate, MovesInsideThePromptMoveTheReferenceSoCancelDoesNotAskAgain) {
    bool asked_again = false;
    host().Schedule(300, [&] {
        host().PushMotion(Saver(), 100, 100);  // the reference
        host().PushKey(Saver(), ' ', ' ');     // asks
    });
    host().Schedule(400, [&] {
        // The prompt's grab sends every move to it: the pointer goes to its Cancel button.
        // (After a check that a move started, that move's point is the reference again.)
        const os::HostWindowId prompt = Prompt();
        ASSERT_NE(prompt, 0u);
        os::RECT at{};
        ASSERT_TRUE(os::GetWindowRect(static_cast<os::HWND>(prompt), &at));
        host().PushMotion(prompt, 40, 20);
        host().PushMotion(prompt, 280, 100);
        host().PushClick(prompt, 280, 100);  // Cancel
        host().Schedule(500, [&, at] {
            EXPECT_EQ(Prompt(), 0u);
            EXPECT_EQ(SSFormInstance().LastX, static_cast<float>(at.left + 280));
            EXPECT_EQ(SSFormInstance().LastY, static_cast<float>(at.top + 100));
            host().PushMotion(Saver(), at.left + 281, at.top + 100);  // a 1-pixel nudge
        });
    });
    host().Schedule(600, [&] {
        asked_again = Prompt() != 0;
        host().PushKey(Saver(), 'Q', 'q');
    });
    AnswerAt(700, "kestrel");
    RunMain("/s");
    EXPECT_FALSE(asked_again);
    EXPECT_FALSE(SSFormInstance().IsLoaded());
}

TEST_F(PasswordGate, PreviewNeverAsksForThePassword) {
    const auto parent = host().AddForeignWindow("Host", {0, 0, 152, 112});
    host().Schedule(300, [&] {
        EXPECT_EQ(PwdProtected, 0);
        host().DestroyForeignWindow(parent);
    });
    RunMain("/p " + std::to_string(parent));
    EXPECT_FALSE(SSFormInstance().IsLoaded());
}

TEST_F(PasswordGate, WithoutProtectionTheStoredPasswordIsNotAsked) {
    ASSERT_TRUE(os::SetPasswordRequired(false));
    host().Schedule(300, [&] { host().PushClick(Saver(), 40, 40); });
    RunMain("/s");
    EXPECT_FALSE(SSFormInstance().IsLoaded());
    EXPECT_LT(host().NowMs(), 400u);
}

}  // namespace
