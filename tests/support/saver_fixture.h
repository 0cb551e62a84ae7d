// A headless host with the program's process-wide state put back to its start, then the
// default settings in memory, the generator seeded with a fixed value, a recording sound
// device, an instance lock of the case's own and a count of registry writes.
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

    hosts::FakeAudioOutput& audio() { return *audio_; }
    // Runs Main with this raw command line.
    void RunMain(const std::string& command_line);
    // The saver road up to its modal display: the desktop painted with the pattern, the
    // saver window loaded, the run mode ModeSaver, InitScreenSaver, the window shown.
    void ShowSaver();
    // Paints the desktop with a pattern no two neighbouring pixels share.
    void PaintDesktopPattern();
    // Writes one REG_SZ setting into the hive (the settings key).
    void StoreSetting(const std::string& name, const std::string& text);
    // The cursor display count now.
    int CursorCount();

    // Registry values written since the case began (tests may reset it).
    int writes_ = 0;

private:
    hosts::FakeAudioOutput* audio_ = nullptr;
    ScopedEnv lock_env_{"TAVRO_INSTANCE_LOCK", temp_dir() + "/instance.lock"};
};

// The pattern PaintDesktopPattern paints at (x, y).
std::uint32_t DesktopPatternPixel(int x, int y);

}  // namespace tavro_test
