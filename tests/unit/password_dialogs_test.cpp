// The password prompt and the change-password dialog, driven by keys on the headless host.
#include <gtest/gtest.h>

#include <cctype>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "forms/metrics.h"
#include "platform/password_dialogs.h"
#include "os/password_store.h"
#include "os/registry.h"
#include "os/window.h"
#include "support/headless_fixture.h"

namespace {

class PasswordDialogTest : public tavro_test::HeadlessFixture {
protected:
    // Our newest top-level window with this title (the dialog while it is open), or 0.
    os::HostWindowId Dialog(const std::string& title) {
        for (os::HostWindowId id : host().TopLevelWindows())
            if (host().WindowTitle(id) == title && os::IsWindowVisible(static_cast<os::HWND>(id)))
                return id;
        return 0;
    }
    void Type(os::HostWindowId window, const std::string& text) {
        for (char c : text)
            host().PushKey(window, static_cast<unsigned>(std::toupper(static_cast<unsigned char>(c))),
                           static_cast<std::uint32_t>(c));
    }
    void Key(os::HostWindowId window, int vk, std::uint32_t ch) {
        host().PushKey(window, static_cast<unsigned>(vk), ch);
    }
    // Types each text into the next field, with Tab between them.
    void TypeFields(os::HostWindowId window, const std::vector<std::string>& texts) {
        bool first = true;
        for (const std::string& text : texts) {
            if (!first) Key(window, forms::vbKeyTab, '\t');
            first = false;
            Type(window, text);
        }
    }
    // At time ms: fills the fields of the dialog titled title in turn and presses Enter.
    void FieldsAt(std::uint64_t ms, const char* title, std::vector<std::string> texts) {
        host().Schedule(ms, [=, this] {
            os::HostWindowId id = Dialog(title);
            ASSERT_NE(id, 0u) << "no dialog titled " << title << " at " << ms << " ms";
            TypeFields(id, texts);
            Key(id, forms::vbKeyReturn, '\r');
        });
    }
    // At time ms: Esc in the dialog titled title, which must still be open.
    void EscapeAt(std::uint64_t ms, const char* title) {
        host().Schedule(ms, [=, this] {
            os::HostWindowId id = Dialog(title);
            ASSERT_NE(id, 0u) << "the dialog titled " << title << " closed before " << ms << " ms";
            Key(id, forms::vbKeyEscape, 27);
        });
    }
    // At time ms: types text into the dialog titled title and presses Enter (or Esc).
    void TypeAt(std::uint64_t ms, const std::string& title, const std::string& text,
                int final_key = forms::vbKeyReturn) {
        host().Schedule(ms, [=, this] {
            os::HostWindowId id = Dialog(title);
            ASSERT_NE(id, 0u) << "no dialog titled " << title << " at " << ms << " ms";
            Type(id, text);
            Key(id, final_key, final_key == forms::vbKeyReturn ? '\r' : 27);
        });
    }

    static constexpr const char* kPrompt = "Screen Saver";
    static constexpr const char* kChange = "Change Password";
};

TEST_F(PasswordDialogTest, PromptIsSkippedWhenNoPasswordIsSet) {
    EXPECT_EQ(platform::VerifyScreenSavePwd(0), 1);
    EXPECT_EQ(Dialog(kPrompt), 0u);
}

TEST_F(PasswordDialogTest, RightPasswordIsAcceptedAtOnceAboveEverything) {
    ASSERT_TRUE(os::SetSaverPassword("kestrel"));
    bool topmost = false;
    host().Schedule(10, [&] {
        os::HostWindowId id = Dialog(kPrompt);
        ASSERT_NE(id, 0u);
        topmost = (os::GetWindowLongA(static_cast<os::HWND>(id), os::GWL_EXSTYLE) &
                   os::WS_EX_TOPMOST) != 0;
    });
    TypeAt(20, kPrompt, "kestrel");
    std::uint64_t start = host().NowMs();
    EXPECT_EQ(platform::VerifyScreenSavePwd(0), 1);
    EXPECT_LT(host().NowMs() - start, 500u);
    EXPECT_TRUE(topmost);
    EXPECT_EQ(Dialog(kPrompt), 0u);  // closed
}

TEST_F(PasswordDialogTest, WrongPasswordIsRefusedAfterAPause) {
    ASSERT_TRUE(os::SetSaverPassword("kestrel"));
    TypeAt(20, kPrompt, "Kestrel");
    std::uint64_t start = host().NowMs();
    EXPECT_EQ(platform::VerifyScreenSavePwd(0), 0);
    EXPECT_GE(host().NowMs() - start, 20u + platform::kWrongPasswordPauseMs);
    EXPECT_EQ(Dialog(kPrompt), 0u);
}

TEST_F(PasswordDialogTest, CancelRefusesWithoutAPause) {
    ASSERT_TRUE(os::SetSaverPassword("kestrel"));
    TypeAt(20, kPrompt, "kestrel", forms::vbKeyEscape);
    std::uint64_t start = host().NowMs();
    EXPECT_EQ(platform::VerifyScreenSavePwd(0), 0);
    EXPECT_LT(host().NowMs() - start, 500u);
}

TEST_F(PasswordDialogTest, FirstPasswordNeedsNoOldOne) {
    FieldsAt(20, kChange, {"swallow", "swallow"});
    EXPECT_EQ(platform::PwdChangePasswordA("SCRSAVE", 0, 0, 0), platform::PWD_CHANGED);
    EXPECT_TRUE(os::HasSaverPassword());
    EXPECT_TRUE(os::CheckSaverPassword("swallow"));
}

TEST_F(PasswordDialogTest, MismatchKeepsTheDialogOpenUntilBothAgree) {
    FieldsAt(20, kChange, {"one", "two"});
    // The refusal empties both fields and puts the caret in the first new one.
    host().Schedule(40, [this] {
        os::HostWindowId id = Dialog(kChange);
        ASSERT_NE(id, 0u) << "the dialog closed on a mismatch";
        TypeFields(id, {"three", "three"});
        Key(id, forms::vbKeyReturn, '\r');
    });
    EXPECT_EQ(platform::PwdChangePasswordA("scrsave", 0, 0, 0), platform::PWD_CHANGED);
    EXPECT_TRUE(os::CheckSaverPassword("three"));
    EXPECT_FALSE(os::CheckSaverPassword("one"));
    EXPECT_FALSE(os::CheckSaverPassword("two"));
}

TEST_F(PasswordDialogTest, WrongOldPasswordChangesNothing) {
    ASSERT_TRUE(os::SetSaverPassword("old"));
    FieldsAt(20, kChange, {"olD", "new", "new"});
    EscapeAt(40, kChange);
    EXPECT_EQ(platform::PwdChangePasswordA("SCRSAVE", 0, 0, 0), platform::PWD_CANCELLED);
    EXPECT_TRUE(os::CheckSaverPassword("old"));
    EXPECT_FALSE(os::CheckSaverPassword("new"));
}

TEST_F(PasswordDialogTest, RightOldPasswordAndEmptyNewOnesRemoveThePassword) {
    ASSERT_TRUE(os::SetSaverPassword("old"));
    TypeAt(20, kChange, "old");
    EXPECT_EQ(platform::PwdChangePasswordA("SCRSAVE", 0, 0, 0), platform::PWD_CHANGED);
    EXPECT_FALSE(os::HasSaverPassword());
}

TEST_F(PasswordDialogTest, OnlyTheScreenSaverProviderIsKnown) {
    EXPECT_EQ(platform::PwdChangePasswordA("MAIL", 0, 0, 0), platform::PWD_UNKNOWN_PROVIDER);
    EXPECT_EQ(platform::PwdChangePasswordA(nullptr, 0, 0, 0), platform::PWD_UNKNOWN_PROVIDER);
    EXPECT_EQ(Dialog(kChange), 0u);
}

TEST_F(PasswordDialogTest, PasswordProtectedBoxStartsFromTheSettingAndIsWrittenOnOK) {
    ASSERT_TRUE(os::SetPasswordRequired(true));
    // Alt+P clears the ticked box; OK stores the password and the cleared requirement.
    host().Schedule(20, [this] {
        os::HostWindowId id = Dialog(kChange);
        ASSERT_NE(id, 0u);
        TypeFields(id, {"heron", "heron"});
        host().PushKey(id, 'P', 0, forms::vbAltMask);
        Key(id, forms::vbKeyReturn, '\r');
    });
    EXPECT_EQ(platform::PwdChangePasswordA("SCRSAVE", 0, 0, 0), platform::PWD_CHANGED);
    EXPECT_FALSE(os::PasswordRequired());
    EXPECT_TRUE(os::CheckSaverPassword("heron"));

    // Cleared now: Tab from the last field reaches the box, Space ticks it.
    host().Schedule(host().NowMs() + 20, [this] {
        os::HostWindowId id = Dialog(kChange);
        ASSERT_NE(id, 0u);
        TypeFields(id, {"heron", "egret", "egret"});
        Key(id, forms::vbKeyTab, '\t');
        Key(id, forms::vbKeySpace, ' ');
        Key(id, forms::vbKeyReturn, '\r');
    });
    EXPECT_EQ(platform::PwdChangePasswordA("SCRSAVE", 0, 0, 0), platform::PWD_CHANGED);
    EXPECT_TRUE(os::PasswordRequired());
    EXPECT_TRUE(os::CheckSaverPassword("egret"));
}

TEST_F(PasswordDialogTest, PasswordProtectedBoxIsNotWrittenOnCancelOrARefusal) {
    ASSERT_TRUE(os::SetPasswordRequired(false));
    ASSERT_TRUE(os::SetSaverPassword("old"));
    host().Schedule(20, [this] {
        os::HostWindowId id = Dialog(kChange);
        ASSERT_NE(id, 0u);
        Type(id, "wrong");
        host().PushKey(id, 'P', 0, forms::vbAltMask);
        Key(id, forms::vbKeyReturn, '\r');  // refused: the old password is wrong
    });
    EscapeAt(40, kChange);
    EXPECT_EQ(platform::PwdChangePasswordA("SCRSAVE", 0, 0, 0), platform::PWD_CANCELLED);
    EXPECT_FALSE(os::PasswordRequired());
    EXPECT_TRUE(os::CheckSaverPassword("old"));

    // The new hash cannot be stored: the ticked requirement is not stored either, and at no
    // moment does the file hold the requirement without the new password.
    bool required_on_disk_early = false;
    os::SetRegistryHook([&](const os::RegistryCall& call) {
        if (call.op != os::RegistryOp::Set || call.name != os::kPasswordHashValue)
            return os::ERROR_SUCCESS;
        std::ifstream file(hive_path());
        const std::string text{std::istreambuf_iterator<char>(file), {}};
        required_on_disk_early =
            text.find("\"ScreenSaveUsePassword\"=dword:00000001") != std::string::npos;
        return os::ERROR_ACCESS_DENIED;
    });
    host().Schedule(host().NowMs() + 20, [this] {
        os::HostWindowId id = Dialog(kChange);
        ASSERT_NE(id, 0u);
        TypeFields(id, {"old", "new", "new"});
        host().PushKey(id, 'P', 0, forms::vbAltMask);
        Key(id, forms::vbKeyReturn, '\r');
    });
    EscapeAt(host().NowMs() + 40, kChange);
    EXPECT_EQ(platform::PwdChangePasswordA("SCRSAVE", 0, 0, 0), platform::PWD_CANCELLED);
    os::SetRegistryHook({});
    EXPECT_FALSE(required_on_disk_early);
    EXPECT_FALSE(os::PasswordRequired());
    EXPECT_TRUE(os::CheckSaverPassword("old"));
}

}  // namespace
