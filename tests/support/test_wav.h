// Builds small PCM WAV files for the sound tests.
#pragma once

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

namespace test_wav {

inline void PutLe(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

inline void PutTag(std::vector<std::uint8_t>& out, const char* tag) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(tag[i]));
}

// A 16-bit PCM WAV of the given interleaved samples.
inline std::vector<std::uint8_t> Pcm16(const std::vector<std::int16_t>& samples, int channels,
                                       std::uint32_t rate) {
    std::uint32_t data_bytes = static_cast<std::uint32_t>(samples.size() * 2);
    std::vector<std::uint8_t> out;
    out.reserve(44 + data_bytes);
    PutTag(out, "RIFF");
    PutLe(out, 36 + data_bytes, 4);
    PutTag(out, "WAVE");
    PutTag(out, "fmt ");
    PutLe(out, 16, 4);
    PutLe(out, 1, 2);  // integer PCM
    PutLe(out, static_cast<std::uint32_t>(channels), 2);
    PutLe(out, rate, 4);
    PutLe(out, rate * static_cast<std::uint32_t>(channels) * 2, 4);
    PutLe(out, static_cast<std::uint32_t>(channels) * 2, 2);
    PutLe(out, 16, 2);
    PutTag(out, "data");
    PutLe(out, data_bytes, 4);
    for (std::int16_t s : samples) PutLe(out, static_cast<std::uint16_t>(s), 2);
    return out;
}

inline void WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

}  // namespace test_wav
