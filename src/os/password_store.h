// The screen-saver password, kept in the user's hive only as a salted yescrypt hash
// (HKEY_CURRENT_USER "Control Panel\desktop", value "ScreenSavePasswordHash"), and the
// desktop flag "ScreenSaveUsePassword" that says whether ending the saver asks for it.
#pragma once

#include <string>

namespace os {

inline constexpr const char* kDesktopKey = "Control Panel\\desktop";
inline constexpr const char* kPasswordHashValue = "ScreenSavePasswordHash";
inline constexpr const char* kUsePasswordValue = "ScreenSaveUsePassword";

// True when a password hash is stored, or when the hive cannot be read well enough to
// tell (the unknown hash then matches nothing).
bool HasSaverPassword();

// True when plain is the stored password. With no password stored only the empty text
// matches; a stored value that is not a valid hash, or one that cannot be read, matches
// nothing.
bool CheckSaverPassword(const std::string& plain);

// Stores a fresh salted hash of plain; the empty text removes the password. False when
// hashing or writing the hive failed (the old password then stays).
bool SetSaverPassword(const std::string& plain);

// Writes "ScreenSaveUsePassword" as REG_DWORD 1 or 0. False when the hive is not written.
bool SetPasswordRequired(bool required);
// Reads it back: a number (of any stored type, text included) other than 0 means required,
// and so does a value that cannot be read (ERROR_BADDB).
bool PasswordRequired();

// Overwrites a secret's bytes before it is emptied, so it does not linger in memory.
void WipeSecret(std::string& secret);

}  // namespace os
