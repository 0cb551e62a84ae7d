#include "os/audio_output.h"

namespace os {

namespace {
std::unique_ptr<AudioOutput>& Slot() {
    static std::unique_ptr<AudioOutput> output;
    return output;
}
}  // namespace

AudioOutput* CurrentAudioOutput() { return Slot().get(); }

void InstallAudioOutput(std::unique_ptr<AudioOutput> output) { Slot() = std::move(output); }

}  // namespace os
