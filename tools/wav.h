// PCM WAV writer: 16-bit mono.
#pragma once

#include <string>
#include <vector>

namespace tools {

constexpr int kSampleRate = 22050;

// Writes the samples (-1..1, clipped) as a canonical 44-byte-header PCM WAV file.
bool WriteWav16Mono(const std::string& path, const std::vector<double>& samples,
                    int sample_rate = kSampleRate);

}  // namespace tools
