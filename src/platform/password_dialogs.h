// The screen-saver password dialogs: the prompt that guards the end of the saver and the
// dialog that changes the password. Both are modal and keep the message loop (and so the
// saver's timers) running while they are open. The password itself is kept by
// os/password_store.h.
#pragma once

#include "os/types.h"

namespace platform {

// Results of PwdChangePasswordA.
inline constexpr os::DWORD PWD_CHANGED = 0;
inline constexpr os::DWORD PWD_UNKNOWN_PROVIDER = 87;  // only "SCRSAVE" is known
inline constexpr os::DWORD PWD_CANCELLED = 1223;

// Asks for the password on top of everything (the saver included). 1 when the right
// password was given or none is set (then nothing is shown); 0 for Cancel or a wrong
// password, the latter after a short pause.
os::BOOL VerifyScreenSavePwd(os::HWND owner);

// For provider "SCRSAVE" (any letter case): asks for the old password when one is set and
// the new one twice, and whether ending the saver requires it; stores the new password
// (empty: none) and the requirement. PWD_CHANGED, PWD_CANCELLED or PWD_UNKNOWN_PROVIDER.
os::DWORD PwdChangePasswordA(const char* provider, os::HWND owner, os::DWORD reserved1,
                             os::DWORD reserved2);

// How long a wrong password keeps the prompt before it answers 0.
inline constexpr int kWrongPasswordPauseMs = 1000;

}  // namespace platform
