// The program's thin wrappers over operating-system services: the system-keys switch, the
// screen-saver password dialogs, the desktop snapshot, sound playback and rectangles.
// None of them reports failure.
#pragma once

#include <cstdint>
#include <string>

#include "os/types.h"

namespace forms {
class Form;
}

// False declares a saver running (the system keys go off); any other value declares none.
void EnableSystemKeys(std::int16_t Enable);
// The platform's dialog for changing the screen-saver password, owned by the foreground
// window.
void ChangeSaverPassword();
// The platform's screen-saver password check; not 0 when the password was accepted.
std::int16_t VerifySaverPassword(os::HWND hWnd);
// Puts the form at the top-left corner of its parent with the screen's size, switches its
// persistent image on and copies the screen as it looks now into it.
void CaptureDesktop(forms::Form& frm);
// Plays (or, with an empty name, stops) a sound; SND_NODEFAULT is always added. Nothing
// happens on a machine without a wave output device.
void PlayWave(const std::string& FileName, std::int32_t Flags);
os::RECT MakeRect(std::int32_t Left, std::int32_t Top, std::int32_t Right, std::int32_t Bottom);
