#include "saver/init_screen_saver.h"

#include "forms/conversions.h"
#include "forms/random.h"
#include "forms/screen.h"
#include "os/gdi.h"
#include "os/window.h"
#include "platform/mod_api.h"
#include "saver/planes.h"
#include "saver/ss_form.h"
#include "saver/ss_module.h"
#include "settings/settings.h"

namespace {

// The frame timer's interval in milliseconds. A stored speed outside what the settings
// dialog offers is brought to the nearest usable interval: below 1 ms the timer would stop
// (or be asked for a negative period), so it runs at 1 ms (the platform then uses its
// 10 ms minimum); above 1000 ms the planes would all but stand still.
std::int32_t FrameInterval(float time_int) {
    const std::int32_t ms = forms::RoundToInt32(time_int);
    if (ms < 1) return 1;
    if (ms > 1000) return 1000;
    return ms;
}

// The event timer's first interval. Below 999 ms the later random intervals could reach 0
// or below, so the stored value counts as 999 for the event timer.
std::int32_t FirstEventInterval(std::int16_t event_int) { return event_int < 999 ? 999 : event_int; }

}  // namespace

void InitScreenSaver() {
    SSForm& form = SSFormInstance();

    ScreenW = forms::RoundToInt16(forms::Screen.Width() / forms::Screen.TwipsPerPixelX());
    ScreenH = forms::RoundToInt16(forms::Screen.Height() / forms::Screen.TwipsPerPixelY());
    ScreenRect = MakeRect(0, 0, ScreenW, ScreenH);

    LoadSettings();
    forms::Randomize();
    InitPlanes();

    form.WinDisp.SetHeight(ScreenH);
    form.WinDisp.SetWidth(ScreenW);
    form.WinDispDC.SetHeight(ScreenH);
    form.WinDispDC.SetWidth(ScreenW);

    CaptureDesktop(form);
    os::BitBlt(form.WinDisp.hDC(), 0, 0, ScreenW, ScreenH, form.hDC(), 0, 0, os::SRCCOPY);
    form.SetAutoRedraw(false);

    const std::int32_t banner_x = forms::RoundToInt32(static_cast<double>(ScreenW) / 2 - 40);
    os::TextOutA(form.WinDisp.hDC(), banner_x, 0, "Ryk Tavro", 9);

    os::SetWindowPos(form.hWnd(), os::HWND_TOPMOST, 0, 0, 0, 0, os::SWP_NOSIZE);

    if (RunMode == ModeSaver) {
        form.Init_light();
        os::ShowCursor(0);
        EnableSystemKeys(0);
        if (Settings.BkWavEna != 0) {
            PlayWave("", 2);
            PlayWave(Settings.BKWav, BkWavFlags);
        }
    } else {
        Settings.BkWavEna = 0;
        PwdProtected = 0;
    }

    form.Movement.SetInterval(FrameInterval(Settings.TimeInt));
    form.Eventer.SetInterval(FirstEventInterval(Settings.EventInt));
}
