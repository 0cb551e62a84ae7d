#include "startup/program_state.h"

#include <algorithm>
#include <vector>

#include "forms/app.h"
#include "runtime/command.h"
#include "forms/form.h"
#include "runtime/random.h"
#include "os/message_loop.h"
#include "os/registry.h"
#include "os/window.h"
#include "platform/explode_form.h"
#include "saver/planes.h"
#include "saver/sequences.h"
#include "saver/ss_form.h"
#include "saver/ss_module.h"
#include "settings/settings.h"

namespace {

// The generator's seed at process start (runtime/random.cpp).
constexpr unsigned kStartSeed = 12345u;

void UnloadEveryForm() {
    // Copy: unloading changes the list. The topmost (last loaded) goes first.
    std::vector<forms::Form*> loaded = forms::Form::LoadedForms();
    std::reverse(loaded.begin(), loaded.end());
    for (forms::Form* f : loaded) f->Unload();
}

void ResetSettings() {
    Settings = SettingsRecord{};
    EventProbsText.clear();
    IniFileName.clear();
    PwdProtected = 0;
}

void ResetPlanes() {
    std::fill(std::begin(Planes), std::end(Planes), PlaneRecord{});
    std::fill(std::begin(DirectionTable), std::end(DirectionTable), DirectionStep{});
    std::fill(std::begin(FormationTable), std::end(FormationTable), FormationPlace{});
    BkWavFlags = 0;
}

void ResetSequences() {
    for (int s = 0; s < SeqSlots; ++s) {
        SeqPlanes[s] = 0;
        SeqSteps[s] = 0;
        SeqName[s].clear();
        for (int p = 0; p < PlaneSlots; ++p) {
            SeqStart[s][p] = SeqPoint{};
            for (int k = -1; k < SeqStepSlots - 1; ++k) SeqMoves(s, p, k) = SeqMove{};
        }
    }
    std::fill(std::begin(StepIdx), std::end(StepIdx), 0.0f);
    SeqNo = 0;
    LastSeq = 0;
}

void ResetSaverWindowValues() {
    SSForm& f = SSFormInstance();
    f.LightW = f.LightH = f.LightX0 = f.LightY0 = 0;
    for (auto& row : f.LightPos) std::fill(std::begin(row), std::end(row), std::int16_t{0});
    f.WrapMaxX = f.WrapMaxY = f.WrapSpanX = f.WrapSpanY = 0;
    f.NextEvent = 0;
    f.LastX = f.LastY = 0;
}

}  // namespace

void ResetProgramState() {
    UnloadEveryForm();
    os::ResetMessageLoop();
    os::ResetWindowSystem();
    os::SetRegistryHook({});

    forms::App.Reset();
    runtime::SetCommand("");
    runtime::SetRandomSource({});
    runtime::RandomizeWith(kStartSeed);

    ResetSSModule();
    ResetSettings();
    ResetPlanes();
    ResetSequences();
    ResetSaverWindowValues();
    ExplodeFormGdi() = ExplodeFormCalls::Services();
}
