// Fuzzes the sound files the saver plays: arbitrary bytes as a WAV file, played through
// the real SDL output (silent "dummy" driver) and through the header reader of the test
// sound device. Neither may crash, hang or read outside the data.
#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "os/wav_header.h"
#include "hosts/sdl_audio/sdl_audio_output.h"

namespace {
std::string g_path;
os::SdlAudioOutput* g_output = nullptr;
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    g_path = (std::filesystem::temp_directory_path() /
              ("tavro-sound-fuzz-" + std::to_string(getpid()) + ".wav"))
                 .string();
    g_output = new os::SdlAudioOutput();  // kept for the whole run, like the program's
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto info = os::ParseWavHeader(data, size);
    if (info && info->data_bytes > size) std::abort();  // cut to what the file holds

    std::ofstream(g_path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    if (g_output->DeviceCount() > 0) {
        g_output->Play(g_path, (size & 1) != 0);
        g_output->Stop();
    }
    return 0;
}
