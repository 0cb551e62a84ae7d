#include "wav.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>

namespace tools {
namespace {

void Put(std::vector<std::uint8_t>& out, std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back((v >> (8 * i)) & 0xFF);
}
void Tag(std::vector<std::uint8_t>& out, const char* tag) { out.insert(out.end(), tag, tag + 4); }

}  // namespace

bool WriteWav16Mono(const std::string& path, const std::vector<double>& samples,
                    int sample_rate) {
    const std::uint32_t data_bytes = static_cast<std::uint32_t>(samples.size() * 2);
    std::vector<std::uint8_t> out;
    Tag(out, "RIFF");
    Put(out, 36 + data_bytes, 4);
    Tag(out, "WAVE");
    Tag(out, "fmt ");
    Put(out, 16, 4);                                         // chunk size
    Put(out, 1, 2);                                          // PCM
    Put(out, 1, 2);                                          // mono
    Put(out, static_cast<std::uint32_t>(sample_rate), 4);
    Put(out, static_cast<std::uint32_t>(sample_rate) * 2, 4);  // bytes per second
    Put(out, 2, 2);                                          // block align
    Put(out, 16, 2);                                         // bits per sample
    Tag(out, "data");
    Put(out, data_bytes, 4);
    for (double s : samples) {
        long v = std::lround(std::clamp(s, -1.0, 1.0) * 32767.0);
        Put(out, static_cast<std::uint32_t>(static_cast<std::int16_t>(v)) & 0xFFFF, 2);
    }
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(out.data()), static_cast<std::streamsize>(out.size()));
    return static_cast<bool>(file);
}

}  // namespace tools
