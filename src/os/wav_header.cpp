#include "os/wav_header.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <functional>

namespace os {

namespace {

constexpr std::uint64_t kMaxWavFileBytes = 64u << 20;
// A real WAV file holds a handful of chunks; a file of thousands of tiny ones is refused
// rather than walked header by header.
constexpr int kMaxChunks = 1024;

std::uint16_t Le16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }
std::uint32_t Le32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
bool TagIs(const std::uint8_t* p, const char* tag) { return std::equal(p, p + 4, tag); }

// Reads n bytes at offset into out; false when they are not all there.
using ReadAt = std::function<bool(std::uint64_t offset, std::uint8_t* out, std::size_t n)>;

// Walks the chunks of a RIFF/WAVE file of `size` bytes, reading only chunk headers and the
// "fmt " body: the sample data is measured, never read.
std::optional<WavInfo> ParseChunks(std::uint64_t size, const ReadAt& read) {
    std::uint8_t riff[12];
    if (size < 12 || !read(0, riff, 12) || !TagIs(riff, "RIFF") || !TagIs(riff + 8, "WAVE"))
        return std::nullopt;
    WavInfo info;
    bool have_format = false;
    std::uint64_t pos = 12;
    for (int chunks = 0; size - pos >= 8 && chunks < kMaxChunks; ++chunks) {
        std::uint8_t chunk[8];
        if (!read(pos, chunk, 8)) return std::nullopt;
        const std::uint32_t chunk_size = Le32(chunk + 4);
        const std::uint64_t body = pos + 8;
        const std::uint64_t available = size - body;
        if (TagIs(chunk, "fmt ")) {
            std::uint8_t fmt[16];
            if (chunk_size < 16 || available < 16 || !read(body, fmt, 16)) return std::nullopt;
            info.format = Le16(fmt);
            info.channels = Le16(fmt + 2);
            info.sample_rate = Le32(fmt + 4);
            info.block_align = Le16(fmt + 12);
            info.bits_per_sample = Le16(fmt + 14);
            have_format = true;
        } else if (TagIs(chunk, "data")) {
            if (!have_format) return std::nullopt;
            info.declared_data_bytes = chunk_size;
            info.data_bytes =
                static_cast<std::uint32_t>(std::min<std::uint64_t>(chunk_size, available));
            bool known_format = info.format == 1 || info.format == 3 || info.format == 0xFFFE;
            if (!known_format || info.channels == 0 || info.sample_rate == 0 ||
                info.bits_per_sample == 0 || info.block_align == 0)
                return std::nullopt;
            return info;
        }
        // Chunks are padded to an even length.
        const std::uint64_t skip = static_cast<std::uint64_t>(chunk_size) + (chunk_size & 1u);
        if (skip > available) break;
        pos = body + skip;
    }
    return std::nullopt;
}

}  // namespace

std::uint64_t WavInfo::DurationMs() const {
    if (block_align == 0 || sample_rate == 0) return 0;
    std::uint64_t frames = data_bytes / block_align;
    return frames * 1000 / sample_rate;
}

std::optional<WavInfo> ParseWavHeader(const std::uint8_t* data, std::size_t size) {
    if (!data) return std::nullopt;
    return ParseChunks(size, [&](std::uint64_t offset, std::uint8_t* out, std::size_t n) {
        if (offset > size || n > size - offset) return false;
        std::memcpy(out, data + offset, n);
        return true;
    });
}

std::optional<WavInfo> ReadWavInfo(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    std::optional<WavInfo> info;
    struct stat st;
    // The size alone refuses a file too large to play, before anything is read.
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size >= 0 &&
        static_cast<std::uint64_t>(st.st_size) <= kMaxWavFileBytes) {
        info = ParseChunks(static_cast<std::uint64_t>(st.st_size),
                           [fd](std::uint64_t offset, std::uint8_t* out, std::size_t n) {
                               const ssize_t got =
                                   ::pread(fd, out, n, static_cast<off_t>(offset));
                               return got >= 0 && static_cast<std::size_t>(got) == n;
                           });
    }
    ::close(fd);
    return info;
}

bool WavFileIsPlayable(const std::string& path) {
    const auto info = ReadWavInfo(path);
    return info && info->declared_data_bytes == info->data_bytes && info->channels >= 1 &&
           info->channels <= 8 && info->bits_per_sample >= 8 && info->bits_per_sample <= 32 &&
           info->sample_rate >= 1000 && info->sample_rate <= 384000;
}

}  // namespace os
