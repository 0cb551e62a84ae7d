// The sound device on SDL2's audio subsystem: WAV files decoded by SDL, converted to one
// fixed device format and copied out by the audio callback, one sound at a time.
// Nothing is opened, nor SDL itself loaded, until the first request (the first device
// count).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "os/audio_output.h"

namespace hosts::sdl {
struct Library;
}

namespace hosts {

class SdlAudioOutput : public os::AudioOutput {
public:
    SdlAudioOutput() = default;
    ~SdlAudioOutput() override;
    SdlAudioOutput(const SdlAudioOutput&) = delete;
    SdlAudioOutput& operator=(const SdlAudioOutput&) = delete;

    // 1 when an output device could be opened, else 0. The first call picks the driver
    // and opens the device; later calls answer from that.
    int DeviceCount() override;
    bool Play(const std::string& path, bool loop) override;
    void Stop() override;
    bool IsPlaying() override;
    void WaitUntilDone(std::uint32_t max_ms) override;

    // The device's sample format: signed 16-bit, native byte order, interleaved.
    static constexpr int kRate = 44100;
    static constexpr int kChannels = 2;

private:
    bool OpenDevice();
    bool OpenWithDriver(const char* driver);
    static void Feed(void* self, std::uint8_t* stream, int len);
    void FeedLocked(std::uint8_t* stream, int len);

    const hosts::sdl::Library* sdl_ = nullptr;  // set by the first device count
    std::optional<int> device_count_;
    std::uint32_t device_ = 0;
    bool subsystem_up_ = false;
    std::uint8_t silence_ = 0;

    // Shared with the audio thread; guarded by the device lock.
    std::vector<std::uint8_t> samples_;
    std::size_t position_ = 0;
    bool loop_ = false;
    bool playing_ = false;
};

// The SDL audio drivers tried, in order, when SDL_AUDIODRIVER does not name one: sound
// servers first, and ALSA only where a playback device node exists, because ALSA without a
// card initialises fine, opens nothing and writes errors to stderr.
std::vector<std::string> PreferredAudioDrivers(const std::string& dev_snd_folder = "/dev/snd");

}  // namespace hosts
