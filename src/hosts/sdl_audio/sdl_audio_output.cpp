#include "hosts/sdl_audio/sdl_audio_output.h"

#include "os/wav_header.h"

#include "hosts/sdl_audio/sdl_library.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <thread>

namespace hosts {

namespace {

constexpr SDL_AudioFormat kDeviceFormat = AUDIO_S16SYS;
constexpr Uint16 kBufferFrames = 1024;

// Feeds the stream about 1 KiB of whole frames at a time: SDL 2.26's resampling stream
// drops part of the sound when a single put carries more (seen from 2 KiB up).
bool PutInChunks(const hosts::sdl::Library& sdl, SDL_AudioStream* stream,
                 const SDL_AudioSpec& spec, const Uint8* data, Uint32 bytes) {
    const Uint32 frame = static_cast<Uint32>(SDL_AUDIO_BITSIZE(spec.format) / 8) * spec.channels;
    if (frame == 0) return false;
    const Uint32 chunk = std::max<Uint32>(frame, 1024 / frame * frame);
    for (Uint32 offset = 0; offset < bytes; offset += chunk) {
        Uint32 n = std::min(chunk, bytes - offset);
        if (sdl.AudioStreamPut(stream, data + offset, static_cast<int>(n)) != 0) return false;
    }
    return true;
}

// Decodes a WAV file into the device format; nullopt when SDL cannot read or convert it.
std::optional<std::vector<std::uint8_t>> DecodeToDeviceFormat(const hosts::sdl::Library& sdl,
                                                              const std::string& path) {
    SDL_AudioSpec spec;
    Uint8* wav = nullptr;
    Uint32 wav_bytes = 0;
    // The decoder allocates whatever a header claims, and the converter sizes its buffers
    // from the sample rate: a file cut short or forged could make them ask for gigabytes
    // (or a negative size) on every request.
    if (!os::WavFileIsPlayable(path)) return std::nullopt;
    if (!sdl.LoadWAV_RW(sdl.RWFromFile(path.c_str(), "rb"), 1, &spec, &wav, &wav_bytes))
        return std::nullopt;

    std::optional<std::vector<std::uint8_t>> result;
    SDL_AudioStream* stream =
        sdl.NewAudioStream(spec.format, spec.channels, spec.freq, kDeviceFormat,
                           SdlAudioOutput::kChannels, SdlAudioOutput::kRate);
    if (stream && PutInChunks(sdl, stream, spec, wav, wav_bytes) &&
        sdl.AudioStreamFlush(stream) == 0) {
        std::vector<std::uint8_t> out(static_cast<std::size_t>(sdl.AudioStreamAvailable(stream)));
        int got = out.empty() ? 0 : sdl.AudioStreamGet(stream, out.data(), static_cast<int>(out.size()));
        if (got >= 0) {
            out.resize(static_cast<std::size_t>(got));
            result = std::move(out);
        }
    }
    if (stream) sdl.FreeAudioStream(stream);
    sdl.FreeWAV(wav);
    return result;
}

}  // namespace

std::vector<std::string> PreferredAudioDrivers(const std::string& dev_snd_folder) {
    std::vector<std::string> drivers = {"pipewire", "pulseaudio"};
    std::error_code ec;
    std::filesystem::directory_iterator it(dev_snd_folder, ec);
    for (const std::filesystem::directory_iterator end; !ec && it != end; it.increment(ec)) {
        std::string name = it->path().filename().string();
        // Playback nodes are named pcmC<card>D<device>p.
        if (name.rfind("pcmC", 0) == 0 && name.back() == 'p') {
            drivers.push_back("alsa");
            break;
        }
    }
    return drivers;
}

SdlAudioOutput::~SdlAudioOutput() {
    if (device_) sdl_->CloseAudioDevice(device_);
    if (subsystem_up_) sdl_->QuitSubSystem(SDL_INIT_AUDIO);
}

int SdlAudioOutput::DeviceCount() {
    if (!device_count_) device_count_ = OpenDevice() ? 1 : 0;
    return *device_count_;
}

bool SdlAudioOutput::OpenDevice() {
    sdl_ = hosts::sdl::Sdl();
    if (!sdl_) return false;
    const char* chosen = std::getenv("SDL_AUDIODRIVER");
    if (chosen && *chosen) return OpenWithDriver(nullptr);  // SDL reads the variable itself
    for (const std::string& driver : PreferredAudioDrivers()) {
        if (OpenWithDriver(driver.c_str())) return true;
    }
    return false;
}

bool SdlAudioOutput::OpenWithDriver(const char* driver) {
    if (driver) sdl_->SetHint(SDL_HINT_AUDIODRIVER, driver);
    // Audio brings up SDL's event subsystem, which would catch SIGINT and SIGTERM and turn
    // them into a quit event nothing here reads: they keep their default action instead.
    sdl_->SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (sdl_->InitSubSystem(SDL_INIT_AUDIO) != 0) return false;

    SDL_AudioSpec want{};
    want.freq = kRate;
    want.format = kDeviceFormat;
    want.channels = kChannels;
    want.samples = kBufferFrames;
    want.callback = &SdlAudioOutput::Feed;
    want.userdata = this;
    SDL_AudioSpec have;
    // No changes allowed: SDL converts to the hardware's format behind the callback.
    device_ = sdl_->OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (device_ == 0) {
        sdl_->QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    subsystem_up_ = true;
    silence_ = have.silence;
    return true;
}

bool SdlAudioOutput::Play(const std::string& path, bool loop) {
    Stop();
    if (DeviceCount() == 0) return false;
    std::optional<std::vector<std::uint8_t>> decoded = DecodeToDeviceFormat(*sdl_, path);
    if (!decoded) return false;

    sdl_->LockAudioDevice(device_);
    samples_ = std::move(*decoded);
    position_ = 0;
    loop_ = loop;
    playing_ = !samples_.empty();
    sdl_->UnlockAudioDevice(device_);
    sdl_->PauseAudioDevice(device_, 0);
    return true;
}

void SdlAudioOutput::Stop() {
    if (!device_) return;
    sdl_->LockAudioDevice(device_);
    playing_ = false;
    samples_.clear();
    position_ = 0;
    sdl_->UnlockAudioDevice(device_);
    sdl_->PauseAudioDevice(device_, 1);
}

bool SdlAudioOutput::IsPlaying() {
    if (!device_) return false;
    sdl_->LockAudioDevice(device_);
    bool playing = playing_;
    sdl_->UnlockAudioDevice(device_);
    return playing;
}

void SdlAudioOutput::WaitUntilDone(std::uint32_t max_ms) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(max_ms);
    while (IsPlaying() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
}

void SdlAudioOutput::Feed(void* self, std::uint8_t* stream, int len) {
    static_cast<SdlAudioOutput*>(self)->FeedLocked(stream, len);
}

// Runs on SDL's audio thread with the device lock held.
void SdlAudioOutput::FeedLocked(std::uint8_t* stream, int len) {
    std::size_t wanted = len > 0 ? static_cast<std::size_t>(len) : 0;
    std::memset(stream, silence_, wanted);
    std::size_t written = 0;
    while (playing_ && written < wanted) {
        if (position_ >= samples_.size()) {
            if (!loop_) {
                playing_ = false;
                break;
            }
            position_ = 0;
        }
        std::size_t n = std::min(wanted - written, samples_.size() - position_);
        std::memcpy(stream + written, samples_.data() + position_, n);
        written += n;
        position_ += n;
    }
    // A sound that has handed over its last sample is over.
    if (playing_ && !loop_ && position_ >= samples_.size()) playing_ = false;
}

}  // namespace hosts
