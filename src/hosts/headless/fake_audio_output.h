// A sound device for tests: nothing is heard; every request is recorded and a sound
// "plays" for as long as its WAV data lasts on a clock the test controls (the host's
// clock by default), so the one-sound rules can be checked without an audio library.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "os/audio_output.h"
#include "os/wav_header.h"

namespace hosts {

class FakeAudioOutput : public os::AudioOutput {
public:
    using Clock = std::function<std::uint64_t()>;

    // clock: milliseconds; by default the installed host's clock.
    explicit FakeAudioOutput(int device_count = 1, Clock clock = {});

    struct PlayRequest {
        std::string path;
        bool loop = false;
        std::uint64_t at_ms = 0;
        bool accepted = false;  // false when the file could not be decoded
    };

    int DeviceCount() override;
    bool Play(const std::string& path, bool loop) override;
    void Stop() override;
    bool IsPlaying() override;
    void WaitUntilDone(std::uint32_t max_ms) override;

    // --- for tests ------------------------------------------------------------------
    void SetDeviceCount(int count) { device_count_ = count; }
    // Plays the file with this full path or base name for ms, whatever its contents.
    void SetDuration(const std::string& path_or_base_name, std::uint64_t ms);
    const std::vector<PlayRequest>& Plays() const { return plays_; }
    // Stop calls that cut off a sound still being heard.
    int Interruptions() const { return interruptions_; }
    // Synchronous waits, and the time each one waited.
    const std::vector<std::uint64_t>& SyncWaits() const { return sync_waits_; }
    // The path being heard now, nullopt in silence.
    std::optional<std::string> Playing();

private:
    std::optional<std::uint64_t> DurationOf(const std::string& path) const;
    std::uint64_t Now() const;

    int device_count_;
    Clock clock_;
    std::map<std::string, std::uint64_t> durations_;
    std::vector<PlayRequest> plays_;
    std::vector<std::uint64_t> sync_waits_;
    int interruptions_ = 0;

    struct Current {
        std::string path;
        bool loop = false;
        std::uint64_t start_ms = 0;
        std::uint64_t duration_ms = 0;
    };
    std::optional<Current> current_;
};

}  // namespace hosts
