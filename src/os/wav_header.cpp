#include "os/wav_header.h"

#include <algorithm>
#include <fstream>
#include <vector>

namespace os {

namespace {

constexpr std::size_t kMaxWavFileBytes = 64u << 20;

std::uint16_t Le16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }
std::uint32_t Le32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
bool TagIs(const std::uint8_t* p, const char* tag) { return std::equal(p, p + 4, tag); }

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
            info.declared_data_bytes = chunk_size;
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

bool WavFileIsPlayable(const std::string& path) {
    const auto info = ReadWavInfo(path);
    return info && info->declared_data_bytes == info->data_bytes && info->channels >= 1 &&
           info->channels <= 8 && info->bits_per_sample >= 8 && info->bits_per_sample <= 32 &&
           info->sample_rate >= 1000 && info->sample_rate <= 384000;
}

}  // namespace os
