#include "os/audio_output.h"

namespace os {

namespace {
std::unique_ptr<AudioOutput>& Slot() {
    static std::unique_ptr<AudioOutput> output;
    return output;
}

std::uint64_t g_generation = 0;
}  // namespace

AudioOutput* CurrentAudioOutput() { return Slot().get(); }

std::uint64_t AudioOutputGeneration() { return g_generation; }

void InstallAudioOutput(std::unique_ptr<AudioOutput> output) {
    Slot() = std::move(output);
    ++g_generation;
}

}  // namespace os
