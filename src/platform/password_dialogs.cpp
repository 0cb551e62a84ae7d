#include "platform/password_dialogs.h"

#include <strings.h>

#include <initializer_list>
#include <optional>
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

// What both dialogs share: grey pixel-scaled frame of a fixed size centred over the owner,
// and the answer the caller reads after the modal show.
class PasswordForm : public forms::Form {
public:
    os::HWND owner = 0;
    bool answered = false;  // the password was accepted (prompt) or changed (change dialog)

protected:
    PasswordForm(std::string name, int width, int height)
        : Form(std::move(name)), width_(width), height_(height) {}

    void DesignFrame(forms::BorderStyle border, const char* caption) {
        SetBorderStyle(border);
        SetScaleMode(forms::ScaleMode::Pixels);
        SetBackColor(kDialogGrey);
        SetCaption(caption);
    }

    void Form_Load() override { CentreOver(*this, owner, width_, height_); }

private:
    int width_, height_;
};

// The message line with OK and Cancel under it, right-aligned: the last row of both
// dialogs. Declared after a dialog's other controls, so they keep their creation order.
struct AnswerRow {
    explicit AnswerRow(forms::Form& form)
        : Message{form, "lblMessage"}, OK{form, "cmdOK"}, Cancel{form, "cmdCancel"} {}

    forms::Label Message;
    forms::CommandButton OK;
    forms::CommandButton Cancel;

    // The message line at (left, top), width wide; the buttons below it end at its right.
    void Design(int left, int top, int width) {
        Message.Move(left, top, width, 18);
        Message.SetBackColor(kDialogGrey);
        Message.SetCaption("");
        const int right = left + width;
        OK.Move(right - 176, top + 26, 84, 26);
        OK.SetCaption("OK");
        OK.SetDefault(true);
        Cancel.Move(right - 84, top + 26, 84, 26);
        Cancel.SetCaption("Cancel");
        Cancel.SetCancel(true);
    }
};

// Shows dialog F modally over owner: its answer, or nothing when it is already open.
template <typename F>
std::optional<bool> ShowPasswordForm(os::HWND owner) {
    auto& form = forms::Instance<F>();
    if (form.IsLoaded()) return std::nullopt;
    form.owner = owner;
    form.answered = false;
    form.Show(true);
    if (form.IsLoaded()) form.Unload();
    return form.answered;
}

// The prompt shown when the saver is to end: masked entry, OK and Cancel.
class VerifyPasswordForm : public PasswordForm {
public:
    VerifyPasswordForm() : PasswordForm("frmVerifyPassword", 340, 128) {
        Row.OK.OnClick = [this] { CheckTyped(); };
        Row.Cancel.OnClick = [this] { Unload(); };
        Pause.OnTimer = [this] {
            Pause.SetInterval(0);
            Unload();
        };
    }

    forms::Label Prompt{*this, "lblPrompt"};
    forms::TextBox Password{*this, "txtPassword"};
    AnswerRow Row{*this};
    forms::Timer Pause{*this, "tmrPause"};

protected:
    void Design() override {
        // A pop-up, so it can stand over the saver.
        DesignFrame(forms::BorderStyle::None, "Screen Saver");
        Prompt.Move(14, 14, 312, 18);
        Prompt.SetBackColor(kDialogGrey);
        Prompt.SetCaption("Enter the screen saver password");
        Password.Move(14, 36, 312, 22);
        Password.SetPasswordChar('*');
        Row.Design(14, 64, 312);
        Pause.SetInterval(0);
    }

    void Form_Load() override {
        PasswordForm::Form_Load();
        os::SetWindowPos(hWnd(), os::HWND_TOPMOST, 0, 0, 0, 0, os::SWP_NOMOVE | os::SWP_NOSIZE);
    }

private:
    void CheckTyped() {
        std::string typed = Password.Text();
        const bool right = os::CheckSaverPassword(typed);
        os::WipeSecret(typed);
        Password.SetText("");
        if (right) {
            answered = true;
            Unload();
            return;
        }
        // A wrong password answers only after a pause, which slows down guessing.
        Row.Message.SetCaption("The password is not correct.");
        Password.SetEnabled(false);
        Row.OK.SetEnabled(false);
        Pause.SetInterval(platform::kWrongPasswordPauseMs);
    }
};

// The dialog that sets a new password: old one (when set), new one twice, and whether the
// saver asks for it ("Password protected", kept as "ScreenSaveUsePassword").
class ChangePasswordForm : public PasswordForm {
public:
    ChangePasswordForm() : PasswordForm("frmChangePassword", 360, 226) {
        Row.OK.OnClick = [this] { Apply(); };
        Row.Cancel.OnClick = [this] { Unload(); };
    }

    forms::Label OldLabel{*this, "lblOld"};
    forms::TextBox OldPassword{*this, "txtOld"};
    forms::Label NewLabel{*this, "lblNew"};
    forms::TextBox NewPassword{*this, "txtNew"};
    forms::Label ConfirmLabel{*this, "lblConfirm"};
    forms::TextBox ConfirmPassword{*this, "txtConfirm"};
    forms::CheckBox Protected{*this, "chkProtected"};
    AnswerRow Row{*this};

protected:
    void Design() override {
        DesignFrame(forms::BorderStyle::FixedSingle, "Change Password");
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
        Row.Design(12, 130, 324);
        int tab = 0;
        for (forms::Control* c : std::initializer_list<forms::Control*>{
                 &OldLabel, &OldPassword, &NewLabel, &NewPassword, &ConfirmLabel,
                 &ConfirmPassword, &Protected, &Row.OK, &Row.Cancel})
            c->SetTabIndex(tab++);
    }

    void Form_Load() override {
        PasswordForm::Form_Load();
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
                Row.Message.SetCaption("The settings could not be saved.");
            } else if (!os::SetSaverPassword(new_text)) {
                Row.Message.SetCaption("The password could not be saved.");
            } else if (batch.Commit() != os::ERROR_SUCCESS) {
                Row.Message.SetCaption("The settings could not be saved.");
            } else {
                answered = true;
            }
        }
        os::WipeSecret(old_text);
        os::WipeSecret(new_text);
        os::WipeSecret(confirm_text);
        if (answered) Unload();
    }

    // Shows why the entry was refused and lets the user type the fields again.
    void Refuse(const char* why, forms::TextBox& retry) {
        Row.Message.SetCaption(why);
        if (&retry == &OldPassword) OldPassword.SetText("");
        NewPassword.SetText("");
        ConfirmPassword.SetText("");
        retry.SetFocus();
    }
};

}  // namespace

namespace platform {

os::BOOL VerifyScreenSavePwd(os::HWND owner) {
    if (!os::HasSaverPassword()) return 1;
    const std::optional<bool> accepted = ShowPasswordForm<VerifyPasswordForm>(owner);
    return accepted.value_or(false) ? 1 : 0;  // already asking: 0
}

os::DWORD PwdChangePasswordA(const char* provider, os::HWND owner, os::DWORD reserved1,
                             os::DWORD reserved2) {
    (void)reserved1, (void)reserved2;
    if (!provider || strcasecmp(provider, "SCRSAVE") != 0) return PWD_UNKNOWN_PROVIDER;
    const std::optional<bool> changed = ShowPasswordForm<ChangePasswordForm>(owner);
    return changed.value_or(false) ? PWD_CHANGED : PWD_CANCELLED;
}

}  // namespace platform
