// Process-wide values of the saver module: the screen geometry, the run mode and whether
// a scripted sequence is running. All start at 0 and are set during the saver set-up.
#pragma once

#include <cstdint>

#include "os/types.h"

// The run mode is kept as a single-precision value; these are its four meanings.
using RunModeKind = float;
inline constexpr RunModeKind ModeUnset = 0.0f;     // before the start-up has chosen
inline constexpr RunModeKind ModeSaver = 1.0f;     // full-screen saver
inline constexpr RunModeKind ModePreview = 2.0f;   // inside the host's preview window
inline constexpr RunModeKind ModePassword = 3.0f;  // while the exit password check is open

extern std::int16_t ScreenW;  // screen width in pixels
extern std::int16_t ScreenH;  // screen height in pixels
extern os::RECT ScreenRect;   // (0, 0, ScreenW, ScreenH)
extern RunModeKind RunMode;

// -1 while a scripted sequence runs, 0 otherwise.
extern std::int16_t SeqActive;

// Every value above back to its start value.
void ResetSSModule();
