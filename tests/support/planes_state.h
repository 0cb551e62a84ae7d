// The planes as at the saver's start, without the rest of the program: every plane record
// cleared, no sequence running, a 1024 x 768 screen and the default formation settings
// (Step 2, PlaneDist 25, PlaneNum 3).
#pragma once

#include "saver/planes.h"
#include "saver/ss_module.h"
#include "settings/settings.h"

namespace tavro_test {

inline void ResetPlanes() {
    for (PlaneRecord& p : Planes) p = PlaneRecord{};
    SeqActive = 0;
    ScreenW = 1024;
    ScreenH = 768;
    Settings.Step = 2;
    Settings.PlaneDist = 25;
    Settings.PlaneNum = 3;
}

}  // namespace tavro_test
