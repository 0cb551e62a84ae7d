#include "hosts/headless/fake_audio_output.h"

#include <algorithm>
#include <chrono>
#include <fstream>
#include <iterator>

#include "os/host.h"

namespace hosts {

namespace {

std::string BaseName(const std::string& path) {
    std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

FakeAudioOutput::FakeAudioOutput(int device_count, Clock clock)
    : device_count_(device_count), clock_(std::move(clock)) {}

std::uint64_t FakeAudioOutput::Now() const {
    if (clock_) return clock_();
    if (os::HasHost()) return os::CurrentHost().NowMs();
    using namespace std::chrono;
    return static_cast<std::uint64_t>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

int FakeAudioOutput::DeviceCount() { return device_count_; }

void FakeAudioOutput::SetDuration(const std::string& path_or_base_name, std::uint64_t ms) {
    durations_[path_or_base_name] = ms;
}

std::optional<std::uint64_t> FakeAudioOutput::DurationOf(const std::string& path) const {
    if (auto it = durations_.find(path); it != durations_.end()) return it->second;
    if (auto it = durations_.find(BaseName(path)); it != durations_.end()) return it->second;
    if (auto info = os::ReadWavInfo(path)) return info->DurationMs();
    return std::nullopt;
}

bool FakeAudioOutput::Play(const std::string& path, bool loop) {
    Stop();
    std::uint64_t now = Now();
    std::optional<std::uint64_t> duration = DurationOf(path);
    plays_.push_back({path, loop, now, duration.has_value()});
    if (!duration) return false;
    current_ = Current{path, loop, now, *duration};
    return true;
}

void FakeAudioOutput::Stop() {
    if (IsPlaying()) ++interruptions_;
    current_.reset();
}

bool FakeAudioOutput::IsPlaying() {
    if (!current_) return false;
    if (current_->duration_ms == 0) return false;  // nothing to hear, even when looping
    if (current_->loop) return true;
    return Now() - current_->start_ms < current_->duration_ms;
}

void FakeAudioOutput::WaitUntilDone(std::uint32_t max_ms) {
    std::uint64_t waited = 0;
    if (IsPlaying()) {
        std::uint64_t left = current_->loop ? max_ms
                                            : current_->start_ms + current_->duration_ms - Now();
        waited = std::min<std::uint64_t>(left, max_ms);
    }
    sync_waits_.push_back(waited);
    // The simulated wait lets the sound run out (or gives up on it at the limit).
    current_.reset();
}

std::optional<std::string> FakeAudioOutput::Playing() {
    if (!IsPlaying()) return std::nullopt;
    return current_->path;
}

}  // namespace hosts
