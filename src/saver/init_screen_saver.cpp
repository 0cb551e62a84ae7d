#include "saver/init_screen_saver.h"

#include "runtime/conversions.h"
#include "runtime/random.h"
#include "forms/screen.h"
#include "os/gdi.h"
#include "os/window.h"
#include "platform/mod_api.h"
#include "saver/planes.h"
#include "saver/ss_form.h"
#include "saver/ss_module.h"
#include "settings/settings.h"

namespace {

// The frame timer's interval: the stored speed rounded, ties to even. A rounded 0 leaves the
// timer idle (the formation stands still), and so does a negative speed; a long interval is
// kept as it is (5000 draws a frame every 5 s). A speed beyond the 32-bit range saturates.
std::int32_t FrameInterval(float time_int) {
    const std::int32_t ms = runtime::RoundToInt32(time_int);
    return ms < 0 ? 0 : ms;
}

// The event timer's first interval: EventInt itself; 0 or below leaves the timer idle, so
// no event ever happens.
std::int32_t FirstEventInterval(std::int16_t event_int) { return event_int < 0 ? 0 : event_int; }

}  // namespace

void InitScreenSaver() {
    SSForm& form = SSFormInstance();

    ScreenW = runtime::RoundToInt16(forms::Screen.Width() / forms::Screen.TwipsPerPixelX());
    ScreenH = runtime::RoundToInt16(forms::Screen.Height() / forms::Screen.TwipsPerPixelY());
    ScreenRect = MakeRect(0, 0, ScreenW, ScreenH);

    LoadSettings();
    runtime::Randomize();
    InitPlanes();

    form.WinDisp.SetHeight(ScreenH);
    form.WinDisp.SetWidth(ScreenW);
    form.WinDispDC.SetHeight(ScreenH);
    form.WinDispDC.SetWidth(ScreenW);

    CaptureDesktop(form);
    os::BitBlt(form.WinDisp.hDC(), 0, 0, ScreenW, ScreenH, form.hDC(), 0, 0, os::SRCCOPY);
    form.SetAutoRedraw(false);

    const std::int32_t banner_x = runtime::RoundToInt32(static_cast<double>(ScreenW) / 2 - 40);
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
