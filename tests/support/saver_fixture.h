// A headless host with the program's process-wide state put back to its start: run mode
// unset, default settings in memory, no sequence, the saver window unloaded, a recording
// sound device and an instance lock of the case's own.
#pragma once

#include <cstdint>
#include <string>

#include "hosts/headless/fake_audio_output.h"
#include "support/headless_fixture.h"

namespace tavro_test {

class SaverFixture : public HeadlessFixture {
protected:
    explicit SaverFixture(int screen_width = 1024, int screen_height = 768)
        : HeadlessFixture(screen_width, screen_height) {}

    void SetUp() override;
    void TearDown() override;

    os::FakeAudioOutput& audio() { return *audio_; }
    // Runs Main with this raw command line.
    void RunMain(const std::string& command_line);
    // Paints the desktop with a pattern no two neighbouring pixels share.
    void PaintDesktopPattern();
    // Writes one REG_SZ setting into the hive (the settings key).
    void StoreSetting(const std::string& name, const std::string& text);
    // The cursor display count now.
    int CursorCount();

    // Registry values written since the case began (tests may reset it).
    int writes_ = 0;

private:
    os::FakeAudioOutput* audio_ = nullptr;
};

// The pattern PaintDesktopPattern paints at (x, y).
std::uint32_t DesktopPatternPixel(int x, int y);

}  // namespace tavro_test
