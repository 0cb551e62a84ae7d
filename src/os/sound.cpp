#include "os/sound.h"

#include <sys/stat.h>

#include <cstdint>
#include <map>
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

// A file the output refused, as it stood then. The background request comes on every frame
// while nothing plays, so a refused file is not opened again until it changes.
struct FileStamp {
    std::uint64_t size = 0;
    std::int64_t mtime_ns = 0;
    std::uint64_t inode = 0;
    bool operator==(const FileStamp&) const = default;
};
constexpr std::size_t kRememberedRefusals = 16;

// The files the installed output refused.
std::map<std::string, FileStamp>& Refused() {
    static std::map<std::string, FileStamp> refused;
    static std::uint64_t generation = 0;
    if (generation != AudioOutputGeneration()) {
        refused.clear();
        generation = AudioOutputGeneration();
    }
    return refused;
}

std::optional<FileStamp> StampOf(const std::string& path) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) return std::nullopt;
    return FileStamp{static_cast<std::uint64_t>(st.st_size),
                     static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 +
                         st.st_mtim.tv_nsec,
                     static_cast<std::uint64_t>(st.st_ino)};
}

// Plays the file unless it was refused as it stands now; remembers a new refusal.
bool PlayUnlessRefused(AudioOutput& out, const std::string& path, bool loop) {
    const std::optional<FileStamp> stamp = StampOf(path);
    auto& refused = Refused();
    if (const auto it = refused.find(path); it != refused.end()) {
        if (stamp && *stamp == it->second) return false;
        refused.erase(it);
    }
    if (out.Play(path, loop)) return true;
    if (stamp) {
        if (refused.size() >= kRememberedRefusals) refused.clear();
        refused[path] = *stamp;
    }
    return false;
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
    if (!PlayUnlessRefused(*out, *path, loop)) return 0;
    // A looping sound never ends by itself, so it is never waited for.
    if (!(flags & SND_ASYNC) && !loop) out->WaitUntilDone(kSyncSoundWaitLimitMs);
    return 1;
}

}  // namespace os
