#include "saver/check_password.h"

#include "os/window.h"
#include "platform/mod_api.h"
#include "saver/ss_form.h"
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

// Any program can ask the saver window to close. On the saver road that is input like a key:
// with a password it opens the prompt and the saver goes on unless the prompt accepts. In
// preview a close request is how the host ends the preview, so it always closes.
void SSForm::Form_QueryUnload(int& Cancel, int UnloadMode) {
    if (UnloadMode != forms::vbFormControlMenu) return;
    if (RunMode == ModeSaver) {
        if (CheckPassword(hWnd()) == 0) Cancel = -1;
    } else if (RunMode == ModePassword) {
        Cancel = -1;  // the prompt is open: it alone decides
    }
}
