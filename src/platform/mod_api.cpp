#include "platform/mod_api.h"

#include "runtime/conversions.h"
#include "forms/form.h"
#include "platform/password_dialogs.h"  // VerifyScreenSavePwd, PwdChangePasswordA
#include "forms/screen.h"
#include "os/gdi.h"
#include "os/sound.h"
#include "os/window.h"

namespace {
// Set and used only during one CaptureDesktop call.
os::HWND hDesk = 0;
os::HDC hDeskDC = 0;
}  // namespace

void EnableSystemKeys(std::int16_t Enable) {
    os::DWORD previous = 0;
    const os::UINT running = Enable == 0 ? 0xFFFFFFFFu : 0u;
    os::SystemParametersInfoA(os::SPI_SCREENSAVERRUNNING, running, &previous, 0);
}

void ChangeSaverPassword() {
    const os::HWND owner = os::GetForegroundWindow();
    platform::PwdChangePasswordA("SCRSAVE", owner, 0, 0);
}

std::int16_t VerifySaverPassword(os::HWND hWnd) {
    const os::BOOL r = platform::VerifyScreenSavePwd(hWnd);
    return static_cast<std::int16_t>(static_cast<std::uint32_t>(r) & 0xFFFFu);
}

void CaptureDesktop(forms::Form& frm) {
    // One move to the final place and size: the window's buffer is made once, at the
    // screen's size.
    frm.Move(0, 0, forms::Screen.Width(), forms::Screen.Height());
    frm.SetAutoRedraw(true);
    hDesk = os::GetDesktopWindow();
    hDeskDC = os::GetWindowDC(hDesk);
    const os::HDC target = frm.hDC();
    const std::int32_t w = runtime::RoundToInt32(static_cast<double>(forms::Screen.Width()) /
                                               forms::Screen.TwipsPerPixelX());
    const std::int32_t h = runtime::RoundToInt32(static_cast<double>(forms::Screen.Height()) /
                                               forms::Screen.TwipsPerPixelY());
    os::BitBlt(target, 0, 0, w, h, hDeskDC, 0, 0, os::SRCCOPY);
    os::ReleaseDC(hDesk, hDeskDC);
    hDeskDC = 0;
    hDesk = 0;
}

void PlayWave(const std::string& FileName, std::int32_t Flags) {
    if (static_cast<std::int32_t>(os::waveOutGetNumDevs()) <= 0) return;
    const std::int32_t flags = Flags | static_cast<std::int32_t>(os::SND_NODEFAULT);
    os::sndPlaySoundA(FileName.c_str(), static_cast<os::UINT>(flags));
}

os::RECT MakeRect(std::int32_t Left, std::int32_t Top, std::int32_t Right, std::int32_t Bottom) {
    os::RECT r;
    r.left = Left;
    r.top = Top;
    r.right = Right;
    r.bottom = Bottom;
    return r;
}
