#include "saver/check_password.h"

#include "os/window.h"
#include "platform/mod_api.h"
#include "saver/ss_module.h"
#include "settings/settings.h"

std::int16_t CheckPassword(os::HWND hWnd) {
    if (RunMode == ModePassword) return 0;
    RunMode = ModePassword;
    os::ShowCursor(1);
    std::int16_t result = -1;
    if (PwdProtected != 0) result = VerifySaverPassword(hWnd);
    RunMode = ModeSaver;
    os::ShowCursor(0);
    return result;
}
