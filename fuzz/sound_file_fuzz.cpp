// Fuzzes the sound files the saver plays: arbitrary bytes as a WAV file, read by the header
// reader in memory and from the file (they must agree), and played through the real SDL
// output (silent "dummy" driver). None may crash, hang or read outside the data.
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
hosts::SdlAudioOutput* g_output = nullptr;
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    g_path = (std::filesystem::temp_directory_path() /
              ("tavro-sound-fuzz-" + std::to_string(getpid()) + ".wav"))
                 .string();
    g_output = new hosts::SdlAudioOutput();  // kept for the whole run, like the program's
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto info = os::ParseWavHeader(data, size);
    if (info && info->data_bytes > size) std::abort();  // cut to what the file holds

    std::ofstream(g_path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    // The file reader reads only headers and measures the data; it must agree with the
    // reader of the whole file in memory.
    const auto from_file = os::ReadWavInfo(g_path);
    if (info.has_value() != from_file.has_value()) std::abort();
    if (info && (info->data_bytes != from_file->data_bytes ||
                 info->declared_data_bytes != from_file->declared_data_bytes ||
                 info->sample_rate != from_file->sample_rate ||
                 info->channels != from_file->channels || info->format != from_file->format))
        std::abort();
    if (g_output->DeviceCount() > 0) {
        g_output->Play(g_path, (size & 1) != 0);
        g_output->Stop();
    }
    return 0;
}
