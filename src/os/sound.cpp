#include "os/sound.h"

#include <optional>
#include <string>

#include "os/audio_output.h"
#include "os/files.h"

namespace os {

namespace {

// The output when a working device exists, else nullptr.
AudioOutput* WorkingOutput() {
    AudioOutput* out = CurrentAudioOutput();
    return (out && out->DeviceCount() > 0) ? out : nullptr;
}

}  // namespace

UINT waveOutGetNumDevs() {
    AudioOutput* out = CurrentAudioOutput();
    if (!out) return 0;
    int count = out->DeviceCount();
    return count > 0 ? static_cast<UINT>(count) : 0;
}

BOOL sndPlaySoundA(const char* name, UINT flags) {
    AudioOutput* out = WorkingOutput();
    if (!out) return 0;
    if ((flags & SND_NOSTOP) && out->IsPlaying()) return 0;

    // Every request that goes on replaces what plays, whether or not it finds its sound.
    out->Stop();
    if (!name || !*name) return 1;

    std::optional<std::string> path =
        ResolveFileName(name, {CurrentFolder(), ProgramFolder()});
    if (!path) return 0;

    bool loop = (flags & SND_LOOP) != 0;
    if (!out->Play(*path, loop)) return 0;
    // A looping sound never ends by itself, so it is never waited for.
    if (!(flags & SND_ASYNC) && !loop) out->WaitUntilDone(kSyncSoundWaitLimitMs);
    return 1;
}

}  // namespace os
