#include "support/saver_fixture.h"

#include <memory>

#include "runtime/command.h"
#include "runtime/random.h"
#include "os/audio_output.h"
#include "os/registry.h"
#include "os/window.h"
#include "saver/init_screen_saver.h"
#include "saver/ss_form.h"
#include "saver/ss_module.h"
#include "settings/settings.h"
#include "startup/main.h"
#include "support/registry_values.h"

namespace tavro_test {

void SaverFixture::SetUp() {
    HeadlessFixture::SetUp();  // the program's state is back at its start
    auto audio = std::make_unique<hosts::FakeAudioOutput>(1);
    audio_ = audio.get();
    os::InstallAudioOutput(std::move(audio));
    SetDefaults();
    runtime::RandomizeWith(1234);
    writes_ = 0;
    os::SetRegistryHook([this](const os::RegistryCall& call) {
        if (call.op == os::RegistryOp::Set) ++writes_;
        return os::ERROR_SUCCESS;
    });
}

void SaverFixture::TearDown() {
    // Unloads what is left (its unload handlers still reach this case's sound device).
    HeadlessFixture::TearDown();
    os::InstallAudioOutput(nullptr);
    audio_ = nullptr;
}

void SaverFixture::RunMain(const std::string& command_line) {
    runtime::SetCommand(command_line);
    Main();
}

void SaverFixture::ShowSaver() {
    PaintDesktopPattern();
    SSForm& form = SSFormInstance();
    form.Load();
    RunMode = ModeSaver;
    InitScreenSaver();
    form.Show(false);
}

std::uint32_t DesktopPatternPixel(int x, int y) {
    return static_cast<std::uint32_t>(((x * 7) & 0xFF) << 16 | ((y * 5) & 0xFF) << 8 |
                                      ((x + y) & 0xFF)) |
           0x00010101u;
}

void SaverFixture::PaintDesktopPattern() {
    os::Surface& desk = host().Desktop();
    for (int y = 0; y < desk.height(); ++y)
        for (int x = 0; x < desk.width(); ++x) desk.row(y)[x] = DesktopPatternPixel(x, y);
    desk.NoteWritten(desk.bounds());
}

void SaverFixture::StoreSetting(const std::string& name, const std::string& text) {
    ASSERT_TRUE(WriteText(kSettingsKey, name, text));
}

int SaverFixture::CursorCount() {
    os::ShowCursor(1);
    return os::ShowCursor(0);
}

}  // namespace tavro_test
