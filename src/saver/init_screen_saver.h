// The saver's set-up before its window is shown: screen size, settings, formation,
// desktop snapshot with the banner, lightning layout, cursor, system keys, sound, timers.
#pragma once

void InitScreenSaver();
