#include "forms/password_dialogs.h"

#include <strings.h>

#include <initializer_list>
#include <string>
#include <tuple>

#include "forms/forms.h"
#include "forms/metrics.h"
#include "os/password_store.h"
#include "os/registry.h"
#include "os/window.h"

namespace {

constexpr os::COLORREF kDialogGrey = os::RGB(192, 192, 192);

// Places a form of the given outer size (pixels) centred over the owner window, or over
// the screen when there is none.
void CentreOver(forms::Form& form, os::HWND owner, int width, int height) {
    os::RECT area{0, 0, static_cast<os::LONG>(forms::Screen.Width() / forms::TwipsPerPixel),
                  static_cast<os::LONG>(forms::Screen.Height() / forms::TwipsPerPixel)};
    os::RECT owner_rect;
    if (owner != 0 && os::GetWindowRect(owner, &owner_rect) &&
        owner_rect.right > owner_rect.left && owner_rect.bottom > owner_rect.top)
        area = owner_rect;
    int x = area.left + (area.right - area.left - width) / 2;
    int y = area.top + (area.bottom - area.top - height) / 2;
    using forms::PixelsToTwips;
    form.Move(PixelsToTwips(x), PixelsToTwips(y), PixelsToTwips(width), PixelsToTwips(height));
}

// The prompt shown when the saver is to end: masked entry, OK and Cancel.
class VerifyPasswordForm : public forms::Form {
public:
    VerifyPasswordForm() : Form("frmVerifyPassword") {
        OK.OnClick = [this] { CheckTyped(); };
        Cancel.OnClick = [this] { Unload(); };
        Pause.OnTimer = [this] {
            Pause.SetInterval(0);
            Unload();
        };
    }

    forms::Label Prompt{*this, "lblPrompt"};
    forms::TextBox Password{*this, "txtPassword"};
    forms::Label Message{*this, "lblMessage"};
    forms::CommandButton OK{*this, "cmdOK"};
    forms::CommandButton Cancel{*this, "cmdCancel"};
    forms::Timer Pause{*this, "tmrPause"};

    os::HWND owner = 0;
    bool accepted = false;

protected:
    static constexpr int kWidth = 340, kHeight = 128;

    void Design() override {
        SetBorderStyle(forms::BorderStyle::None);  // a pop-up, so it can stand over the saver
        SetScaleMode(forms::ScaleMode::Pixels);
        SetBackColor(kDialogGrey);
        SetCaption("Screen Saver");
        Prompt.Move(14, 14, 312, 18);
        Prompt.SetBackColor(kDialogGrey);
        Prompt.SetCaption("Enter the screen saver password");
        Password.Move(14, 36, 312, 22);
        Password.SetPasswordChar('*');
        Message.Move(14, 64, 312, 18);
        Message.SetBackColor(kDialogGrey);
        Message.SetCaption("");
        OK.Move(150, 90, 84, 26);
        OK.SetCaption("OK");
        OK.SetDefault(true);
        Cancel.Move(242, 90, 84, 26);
        Cancel.SetCaption("Cancel");
        Cancel.SetCancel(true);
        Pause.SetInterval(0);
    }

    void Form_Load() override {
        CentreOver(*this, owner, kWidth, kHeight);
        os::SetWindowPos(hWnd(), os::HWND_TOPMOST, 0, 0, 0, 0, os::SWP_NOMOVE | os::SWP_NOSIZE);
    }

private:
    void CheckTyped() {
        std::string typed = Password.Text();
        const bool right = os::CheckSaverPassword(typed);
        os::WipeSecret(typed);
        Password.SetText("");
        if (right) {
            accepted = true;
            Unload();
            return;
        }
        // A wrong password answers only after a pause, which slows down guessing.
        Message.SetCaption("The password is not correct.");
        Password.SetEnabled(false);
        OK.SetEnabled(false);
        Pause.SetInterval(os::kWrongPasswordPauseMs);
    }
};

// The dialog that sets a new password: old one (when set), new one twice, and whether the
// saver asks for it ("Password protected", kept as "ScreenSaveUsePassword").
class ChangePasswordForm : public forms::Form {
public:
    ChangePasswordForm() : Form("frmChangePassword") {
        OK.OnClick = [this] { Apply(); };
        Cancel.OnClick = [this] { Unload(); };
    }

    forms::Label OldLabel{*this, "lblOld"};
    forms::TextBox OldPassword{*this, "txtOld"};
    forms::Label NewLabel{*this, "lblNew"};
    forms::TextBox NewPassword{*this, "txtNew"};
    forms::Label ConfirmLabel{*this, "lblConfirm"};
    forms::TextBox ConfirmPassword{*this, "txtConfirm"};
    forms::CheckBox Protected{*this, "chkProtected"};
    forms::Label Message{*this, "lblMessage"};
    forms::CommandButton OK{*this, "cmdOK"};
    forms::CommandButton Cancel{*this, "cmdCancel"};

    os::HWND owner = 0;
    bool changed = false;

protected:
    static constexpr int kWidth = 360, kHeight = 226;

    void Design() override {
        SetBorderStyle(forms::BorderStyle::FixedSingle);
        SetScaleMode(forms::ScaleMode::Pixels);
        SetBackColor(kDialogGrey);
        SetCaption("Change Password");
        int y = 14;
        for (auto [label, box, caption] :
             {std::tuple{&OldLabel, &OldPassword, "&Old password:"},
              std::tuple{&NewLabel, &NewPassword, "&New password:"},
              std::tuple{&ConfirmLabel, &ConfirmPassword, "&Confirm new password:"}}) {
            label->Move(12, y + 3, 150, 18);
            label->SetBackColor(kDialogGrey);
            label->SetCaption(caption);
            box->Move(166, y, 170, 22);
            box->SetPasswordChar('*');
            y += 30;
        }
        Protected.Move(12, 102, 324, 20);
        Protected.SetCaption("&Password protected");
        Message.Move(12, 130, 324, 18);
        Message.SetBackColor(kDialogGrey);
        Message.SetCaption("");
        OK.Move(160, 156, 84, 26);
        OK.SetCaption("OK");
        OK.SetDefault(true);
        Cancel.Move(252, 156, 84, 26);
        Cancel.SetCaption("Cancel");
        Cancel.SetCancel(true);
        int tab = 0;
        for (forms::Control* c : std::initializer_list<forms::Control*>{
                 &OldLabel, &OldPassword, &NewLabel, &NewPassword, &ConfirmLabel,
                 &ConfirmPassword, &Protected, &OK, &Cancel})
            c->SetTabIndex(tab++);
    }

    void Form_Load() override {
        CentreOver(*this, owner, kWidth, kHeight);
        // Without a password there is no old one to ask for.
        const bool has_old = os::HasSaverPassword();
        OldLabel.SetVisible(has_old);
        OldPassword.SetVisible(has_old);
        Protected.SetValue(os::PasswordRequired() ? forms::vbChecked : forms::vbUnchecked);
    }

private:
    void Apply() {
        std::string old_text = OldPassword.Text();
        std::string new_text = NewPassword.Text();
        std::string confirm_text = ConfirmPassword.Text();
        if (OldPassword.Visible() && !os::CheckSaverPassword(old_text)) {
            Refuse("The old password is not correct.", OldPassword);
        } else if (new_text != confirm_text) {
            Refuse("The new passwords do not match.", NewPassword);
        } else {
            // One batch: the requirement and the hash are stored together or not at all.
            os::RegistryBatch batch;
            if (!os::SetPasswordRequired(Protected.Value() != forms::vbUnchecked)) {
                Message.SetCaption("The settings could not be saved.");
            } else if (!os::SetSaverPassword(new_text)) {
                Message.SetCaption("The password could not be saved.");
            } else if (batch.Commit() != os::ERROR_SUCCESS) {
                Message.SetCaption("The settings could not be saved.");
            } else {
                changed = true;
            }
        }
        os::WipeSecret(old_text);
        os::WipeSecret(new_text);
        os::WipeSecret(confirm_text);
        if (changed) Unload();
    }

    // Shows why the entry was refused and lets the user type the fields again.
    void Refuse(const char* why, forms::TextBox& retry) {
        Message.SetCaption(why);
        if (&retry == &OldPassword) OldPassword.SetText("");
        NewPassword.SetText("");
        ConfirmPassword.SetText("");
        retry.SetFocus();
    }
};

}  // namespace

namespace os {

BOOL VerifyScreenSavePwd(HWND owner) {
    if (!HasSaverPassword()) return 1;
    auto& form = forms::Instance<VerifyPasswordForm>();
    if (form.IsLoaded()) return 0;  // already asking
    form.owner = owner;
    form.accepted = false;
    form.Show(true);
    if (form.IsLoaded()) form.Unload();
    return form.accepted ? 1 : 0;
}

DWORD PwdChangePasswordA(const char* provider, HWND owner, DWORD reserved1, DWORD reserved2) {
    (void)reserved1, (void)reserved2;
    if (!provider || strcasecmp(provider, "SCRSAVE") != 0) return PWD_UNKNOWN_PROVIDER;
    auto& form = forms::Instance<ChangePasswordForm>();
    if (form.IsLoaded()) return PWD_CANCELLED;
    form.owner = owner;
    form.changed = false;
    form.Show(true);
    if (form.IsLoaded()) form.Unload();
    return form.changed ? PWD_CHANGED : PWD_CANCELLED;
}

}  // namespace os
