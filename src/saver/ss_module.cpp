#include "saver/ss_module.h"

std::int16_t ScreenW = 0;
std::int16_t ScreenH = 0;
os::RECT ScreenRect{};
RunModeKind RunMode = ModeUnset;
std::int16_t SeqActive = 0;
