// Arbitrary bytes as a sequence file: load them, then run every loaded sequence to its
// end, drawing into small surfaces. Each run must end within the ticks its own plan
// allows, and nothing may touch memory outside the arrays.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "runtime/conversions.h"
#include "runtime/random.h"
#include "os/field_input.h"
#include "os/gdi.h"
#include "os/surface.h"
#include "saver/light_layout.h"
#include "saver/planes.h"
#include "saver/sequences.h"
#include "saver/ss_module.h"
#include "settings/settings.h"

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

// Ticks within which plane 0 alone must have passed its last step, the ending included.
long TickBound(int s) {
    const int lastStep = runtime::RoundToInt16(SeqSteps[s]);
    long ticks = 1;
    for (int k = 0; k <= lastStep && k <= SeqMaxStepIndex; ++k) {
        const int count = SeqMoves(s, 0, k).Count;
        ticks += (count > 0 ? count : 0) + 1;
    }
    return ticks;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static os::Surface backBuffer(64, 48, 0x00FFFFFF);
    static os::Surface sheet(64, 64, 0x00000000);
    static const os::HDC backDC = os::CreateSurfaceDC(&backBuffer);
    static const os::HDC sheetDC = os::CreateSurfaceDC(&sheet);

    ScreenW = 320;
    ScreenH = 200;
    Settings.PlaneDist = 25;
    runtime::SetRandomSource([] { return 0.5f; });
    InitPlaneTables(2);
    SeqActive = 0;

    auto reader = os::FieldReader::FromText(
        std::string(reinterpret_cast<const char*>(data), size));
    LoadSequencesFrom(reader);
    Check(LastSeq >= -1 && LastSeq <= SeqMaxRecords - 1);

    SequenceStage stage;
    stage.backBuffer = backDC;
    stage.sprite = sheetDC;
    stage.bounds = ComputeLightLayout(ScreenW, ScreenH, ModeSaver, 638, 389).Wrap;

    const int loaded = static_cast<int>(LastSeq) + 1;
    for (int s = 0; s < loaded; ++s) {
        const int lastPlane = runtime::RoundToInt16(SeqPlanes[s]);
        Check(lastPlane >= 0 && lastPlane < PlaneSlots);
        Check(runtime::RoundToInt16(SeqSteps[s]) <= SeqMaxStepIndex);

        // The pick draw lands on record s; later draws place the formation.
        const float pick = (s + 0.5f) / loaded;
        bool picked = false;
        runtime::SetRandomSource([&] {
            if (picked) return 0.5f;
            picked = true;
            return pick;
        });
        StartSequence(stage);
        Check(static_cast<int>(SeqNo) == s);
        const long bound = TickBound(s);
        long ticks = 1;
        while (SeqActive != 0) {
            Check(ticks < bound);
            StepSequence(stage);
            ++ticks;
        }
    }
    runtime::SetRandomSource(nullptr);
    return 0;
}
