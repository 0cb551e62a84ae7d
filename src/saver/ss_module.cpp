#include "saver/ss_module.h"

std::int16_t ScreenW = 0;
std::int16_t ScreenH = 0;
os::RECT ScreenRect{};
RunModeKind RunMode = ModeUnset;
std::int16_t SeqActive = 0;

void ResetSSModule() {
    ScreenW = 0;
    ScreenH = 0;
    ScreenRect = os::RECT{};
    RunMode = ModeUnset;
    SeqActive = 0;
}
