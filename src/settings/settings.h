// The process-wide settings record, its defaults and its load from and save to the
// registry of the current user.
#pragma once

#include <cstdint>
#include <string>

#include "os/password_store.h"

// Fields in the order SaveSettings writes them; each is stored under the registry value of
// the same name.
struct SettingsRecord {
    float PlaneNum = 0;     // highest plane index: planes 0 to PlaneNum fly
    float TimeInt = 0;      // frame timer interval, milliseconds
    float PlaneDist = 0;    // formation spacing, 0 to 50
    std::int16_t EventInt = 0;  // base interval of the random events, milliseconds
    float BkWavEna = 0;     // background sound on (0 or 1)
    float ThWavEna = 0;     // thunder sound on (0 or 1)
    float EnaTh = 0;        // thunder events on (0 or 1)
    float EventProbs[4] = {0, 0, 0, 0};  // first draw value (0 to 9) of each event kind
    float Step = 0;         // pixels moved per frame along each axis
    std::string BKWav;      // background sound file name
    std::string ThunderWav; // thunder sound file name
};

extern SettingsRecord Settings;
// EventProbs(1..3) as one digit each: the stored form of EventProbs.
extern std::string EventProbsText;
// The sequence file's name; set with the defaults, never stored.
extern std::string IniFileName;
// Not 0 when the screen-saver password is required; read only, never stored.
extern float PwdProtected;

// The registry key of the settings; the password requirement is the password store's.
inline constexpr const char* kSettingsKey = "Software\\Kolmi Ardev\\Tavro Screen Saver";
using os::kDesktopKey;
using os::kUsePasswordValue;

// Sets every field, EventProbsText, IniFileName and PwdProtected to its default.
void SetDefaults();
// The defaults, then every value found in the registry. PwdProtected is 1 also when the
// requirement cannot be read from a damaged or unreadable hive.
void LoadSettings();
// Writes the eleven settings to the registry in one change of the hive file (and updates
// EventProbsText). False when they could not be stored; the hive then holds the old ones.
bool SaveSettings();
