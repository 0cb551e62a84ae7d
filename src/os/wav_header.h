// The header of an uncompressed WAV file: its sample format and how much sample data it
// holds, read with every bound checked.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace os {

// What a WAV file's header says about its sample data.
struct WavInfo {
    std::uint16_t format = 0;  // 1 integer PCM, 3 float, 0xFFFE extensible
    std::uint16_t channels = 0;
    std::uint32_t sample_rate = 0;
    std::uint16_t block_align = 0;  // bytes per frame (all channels)
    std::uint16_t bits_per_sample = 0;
    std::uint32_t data_bytes = 0;  // sample bytes really present in the file
    std::uint32_t declared_data_bytes = 0;  // what the data chunk's header claims
    std::uint64_t DurationMs() const;
};

// Reads the RIFF/WAVE chunks of an uncompressed WAV file held in memory; nullopt when the
// data is not one. A data chunk that claims more bytes than the file holds is cut to what
// is there.
std::optional<WavInfo> ParseWavHeader(const std::uint8_t* data, std::size_t size);
// The same from a file, reading only the chunk headers and the format: the sample data is
// measured from the file's size, never read. A file over 64 MiB is refused by its size.
std::optional<WavInfo> ReadWavInfo(const std::string& path);

// True when the file is a WAV file whose data chunk holds every byte its header claims (a
// header that claims more is refused before any decoder allocates what it claims) and whose
// format is one a sound card could play: 1 to 8 channels, 8 to 32 bits a sample, 1000 to
// 384000 samples a second (absurd rates make resamplers ask for absurd buffers).
bool WavFileIsPlayable(const std::string& path);

}  // namespace os
