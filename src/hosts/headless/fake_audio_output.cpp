#include "hosts/headless/fake_audio_output.h"

#include <algorithm>
#include <chrono>
#include <fstream>
#include <iterator>

#include "os/host.h"

namespace os {

namespace {

constexpr std::size_t kMaxWavFileBytes = 64u << 20;

std::uint16_t Le16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }
std::uint32_t Le32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
bool TagIs(const std::uint8_t* p, const char* tag) { return std::equal(p, p + 4, tag); }

std::string BaseName(const std::string& path) {
    std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

std::uint64_t WavInfo::DurationMs() const {
    if (block_align == 0 || sample_rate == 0) return 0;
    std::uint64_t frames = data_bytes / block_align;
    return frames * 1000 / sample_rate;
}

std::optional<WavInfo> ParseWavHeader(const std::uint8_t* data, std::size_t size) {
    if (!data || size < 12 || !TagIs(data, "RIFF") || !TagIs(data + 8, "WAVE"))
        return std::nullopt;
    WavInfo info;
    bool have_format = false;
    std::size_t pos = 12;
    while (size - pos >= 8) {
        const std::uint8_t* chunk = data + pos;
        std::uint32_t chunk_size = Le32(chunk + 4);
        std::size_t body = pos + 8;
        std::size_t available = size - body;
        if (TagIs(chunk, "fmt ")) {
            if (chunk_size < 16 || available < 16) return std::nullopt;
            info.format = Le16(data + body);
            info.channels = Le16(data + body + 2);
            info.sample_rate = Le32(data + body + 4);
            info.block_align = Le16(data + body + 12);
            info.bits_per_sample = Le16(data + body + 14);
            have_format = true;
        } else if (TagIs(chunk, "data")) {
            if (!have_format) return std::nullopt;
            info.data_bytes = static_cast<std::uint32_t>(
                std::min<std::size_t>(chunk_size, available));
            bool known_format = info.format == 1 || info.format == 3 || info.format == 0xFFFE;
            if (!known_format || info.channels == 0 || info.sample_rate == 0 ||
                info.bits_per_sample == 0 || info.block_align == 0)
                return std::nullopt;
            return info;
        }
        // Chunks are padded to an even length.
        std::size_t skip = static_cast<std::size_t>(chunk_size) + (chunk_size & 1u);
        if (skip > available) break;
        pos = body + skip;
    }
    return std::nullopt;
}

std::optional<WavInfo> ReadWavInfo(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::vector<std::uint8_t> bytes;
    char buffer[4096];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
        bytes.insert(bytes.end(), buffer, buffer + in.gcount());
        if (bytes.size() > kMaxWavFileBytes) return std::nullopt;
    }
    return ParseWavHeader(bytes.data(), bytes.size());
}

FakeAudioOutput::FakeAudioOutput(int device_count, Clock clock)
    : device_count_(device_count), clock_(std::move(clock)) {}

std::uint64_t FakeAudioOutput::Now() const {
    if (clock_) return clock_();
    if (HasHost()) return CurrentHost().NowMs();
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
    if (auto info = ReadWavInfo(path)) return info->DurationMs();
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

}  // namespace os
