#include "settings/settings.h"

#include <cmath>

#include "runtime/conversions.h"
#include "os/registry.h"
#include "runtime/trim.h"
#include "settings/registry.h"

SettingsRecord Settings;
std::string EventProbsText;
std::string IniFileName;
float PwdProtected = 0;

namespace {

std::string ReadSetting(const char* name, const std::string& default_text) {
    return GetRegValue(os::HKEY_CURRENT_USER, kSettingsKey, name, default_text).Text();
}

// A single-precision setting: the stored number, or the field's default when the number
// does not fit a single (it would become infinite).
void LoadSingle(float& field, const char* name) {
    const double stored = runtime::TextToNumber(ReadSetting(name, runtime::NumberToText(field)));
    const auto single = static_cast<float>(stored);
    if (std::isfinite(single)) field = single;
}

// EventInt: the stored number rounded to 16 bits, ties to even; the default when it lies
// outside -32768..32767.
void LoadInt16(std::int16_t& field, const char* name) {
    const double stored = runtime::TextToNumber(ReadSetting(name, runtime::NumberToText(field)));
    if (auto rounded = runtime::TryRoundToInt16(stored)) field = *rounded;
}

void Save(const char* name, const std::string& text) {
    SaveRegString(os::HKEY_CURRENT_USER, kSettingsKey, name, text);
}

}  // namespace

void SetDefaults() {
    Settings.BKWav = "Planes.Wav";
    Settings.ThunderWav = "Thunder.Wav";
    IniFileName = "TavroSS.ini";
    PwdProtected = 0;
    Settings.BkWavEna = 0;
    Settings.EnaTh = 1;
    Settings.ThWavEna = 1;
    Settings.PlaneNum = 3;
    Settings.TimeInt = 1;
    Settings.EventInt = 10000;
    Settings.PlaneDist = 25;
    Settings.Step = 2;
    Settings.EventProbs[0] = 0;
    Settings.EventProbs[1] = 2;
    Settings.EventProbs[2] = 4;
    Settings.EventProbs[3] = 5;
    EventProbsText = "245";
}

void LoadSettings() {
    SetDefaults();
    // Every value from one reading of the store: one version of it, parsed once.
    const os::RegistrySnapshot snapshot;

    LoadSingle(Settings.PlaneNum, "PlaneNum");
    LoadSingle(Settings.TimeInt, "TimeInt");
    LoadSingle(Settings.PlaneDist, "PlaneDist");
    LoadInt16(Settings.EventInt, "EventInt");
    LoadSingle(Settings.BkWavEna, "BkWavEna");
    LoadSingle(Settings.ThWavEna, "ThWavEna");
    LoadSingle(Settings.EnaTh, "EnaTh");
    LoadSingle(Settings.Step, "Step");

    // One character per boundary; characters after the third are ignored and one that is
    // not a digit gives 0.
    EventProbsText = ReadSetting("EventProbs", EventProbsText);
    for (std::size_t i = 1; i <= 3; ++i) {
        const std::string digit = i <= EventProbsText.size() ? EventProbsText.substr(i - 1, 1)
                                                             : std::string();
        Settings.EventProbs[i] = static_cast<float>(runtime::TextToNumber(digit));
    }

    Settings.BKWav = ReadSetting("BKWav", Settings.BKWav);
    Settings.ThunderWav = ReadSetting("ThunderWav", Settings.ThunderWav);

    // When in doubt, ask: a number too large for a single, or a hive that cannot be read
    // well enough to tell whether the value is there (ERROR_BADDB), says "required".
    os::HKEY key = 0;
    os::LONG status = os::RegOpenKeyA(os::HKEY_CURRENT_USER, kDesktopKey, &key);
    const RegValue stored = QueryRegValue(key, kUsePasswordValue,
                                          runtime::NumberToText(PwdProtected),
                                          status == os::ERROR_SUCCESS ? &status : nullptr);
    os::RegCloseKey(key);
    const auto required = static_cast<float>(runtime::TextToNumber(stored.Text()));
    PwdProtected = std::isfinite(required) ? required : 1.0f;
    if (status == os::ERROR_BADDB) PwdProtected = 1;
}

bool SaveSettings() {
    // One batch: the file holds the old settings or the new ones, never a mix.
    os::RegistryBatch batch;
    Save("PlaneNum", runtime::NumberToText(Settings.PlaneNum));
    Save("TimeInt", runtime::NumberToText(Settings.TimeInt));
    Save("PlaneDist", runtime::NumberToText(Settings.PlaneDist));
    Save("EventInt", runtime::NumberToText(Settings.EventInt));
    Save("BkWavEna", runtime::NumberToText(Settings.BkWavEna));
    Save("ThWavEna", runtime::NumberToText(Settings.ThWavEna));
    Save("EnaTh", runtime::NumberToText(Settings.EnaTh));

    EventProbsText.clear();
    for (std::size_t i = 1; i <= 3; ++i)
        EventProbsText += runtime::Trim(runtime::NumberToText(Settings.EventProbs[i]));
    Save("EventProbs", EventProbsText);

    Save("Step", runtime::NumberToText(Settings.Step));
    Save("BKWav", Settings.BKWav);
    Save("ThunderWav", Settings.ThunderWav);
    return batch.Commit() == os::ERROR_SUCCESS;
}
