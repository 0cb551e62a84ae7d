// Sound requests as the program makes them: one playing sound, chosen by file name.
#pragma once

#include "os/types.h"

namespace os {

constexpr UINT SND_SYNC = 0x0000;       // wait until the sound has ended
constexpr UINT SND_ASYNC = 0x0001;      // return at once, the sound plays on
constexpr UINT SND_NODEFAULT = 0x0002;  // no stand-in sound for a missing file
constexpr UINT SND_LOOP = 0x0008;       // repeat until stopped (always returns at once)
constexpr UINT SND_NOSTOP = 0x0010;     // give up rather than interrupt a playing sound

// The number of wave output devices that can really be opened (0 or 1).
UINT waveOutGetNumDevs();

// Plays the WAV file `name` (relative names: the current folder, then the program's
// folder; "\" separates folders; letter case is forgiven when no exact match exists).
// Without SND_NOSTOP the request first stops whatever plays; with it the request gives up
// (FALSE) while a sound plays. A null or empty name only stops the sound. A name that
// cannot be found or decoded plays nothing (there is no default sound) and returns FALSE.
// With no wave device every request, the stop included, is skipped and returns FALSE.
BOOL sndPlaySoundA(const char* name, UINT flags);

// The longest a synchronous request waits for its sound to end.
constexpr UINT kSyncSoundWaitLimitMs = 30000;

}  // namespace os
