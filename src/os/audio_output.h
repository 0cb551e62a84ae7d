// The sound device behind sndPlaySoundA: one sound at a time, played from a WAV file.
// The program installs the SDL2 output; tests install a fake that only keeps time.
// No output installed means no wave device, so every sound request is skipped.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace os {

class AudioOutput {
public:
    virtual ~AudioOutput() = default;

    // Outputs that can really be opened; 0 when there is no working device. Called on
    // every frame, so implementations answer from a cached probe after the first call.
    virtual int DeviceCount() = 0;

    // Replaces whatever plays with the WAV file at path (an existing file). When the file
    // cannot be decoded or the device cannot be opened, nothing plays and false is returned.
    // A looping sound repeats until Stop or the next Play.
    virtual bool Play(const std::string& path, bool loop) = 0;

    virtual void Stop() = 0;

    // True while a sound is still being heard (a looping one until stopped).
    virtual bool IsPlaying() = 0;

    // Blocks until the current sound has ended or max_ms have passed.
    virtual void WaitUntilDone(std::uint32_t max_ms) = 0;
};

// The installed output, nullptr when none. Installing replaces (and destroys) the old one.
AudioOutput* CurrentAudioOutput();
void InstallAudioOutput(std::unique_ptr<AudioOutput> output);
// Counts installations, so that what one output refused is not held against the next.
std::uint64_t AudioOutputGeneration();

}  // namespace os
