#include "startup/main.h"

#include <cctype>

#include "dialogs/ss_config.h"
#include "forms/app.h"
#include "runtime/command.h"
#include "runtime/conversions.h"
#include "forms/screen.h"
#include "runtime/trim.h"
#include "platform/mod_api.h"
#include "saver/init_screen_saver.h"
#include "saver/ss_form.h"
#include "saver/ss_module.h"
#include "settings/settings.h"

namespace {

void RunSaverRoad() {
    SSForm& form = SSFormInstance();
    form.Load();
    const bool previous = forms::App.PrevInstance();
    const std::int16_t running = SaverAlreadyRunning();
    const std::int16_t prev_flag = previous ? -1 : 0;
    if ((prev_flag & running) != 0) {
        form.Unload();
        return;
    }
    RunMode = ModeSaver;
    InitScreenSaver();
    form.Show(true);
}

void RunPreviewRoad(const std::string& cmd) {
    RunMode = ModePreview;
    SSForm& form = SSFormInstance();
    form.Load();
    if (SetPreviewParent(cmd, form.hWnd()) == 0) {
        form.Unload();
        return;
    }
    form.Init_light();
    InitScreenSaver();
    form.Show(true);
}

void RunSettingsRoad() {
    LoadSettings();
    // Centred in twips on the dialog's outer size; reading the width loads the dialog,
    // whose load fills its controls from the settings just read. An odd difference leaves
    // the dialog on a half twip.
    SSconfig& dialog = SSconfigInstance();
    dialog.SetLeft((forms::Screen.Width() - dialog.Width()) / 2.0f);
    dialog.SetTop((forms::Screen.Height() - dialog.Height()) / 2.0f);
    dialog.Show(true);
}

}  // namespace

std::string NormaliseCommandLine(const std::string& raw) {
    std::string lower = raw;
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return std::string(runtime::Trim(lower)) + "/c";
}

void Main() {
    const std::string cmd = NormaliseCommandLine(runtime::Command());
    const char letter = cmd[1];
    if (letter == 'a') {
        ChangeSaverPassword();
    } else if (letter == 'c') {
        RunSettingsRoad();
    } else if (letter == 'p') {
        RunPreviewRoad(cmd);
    } else if (letter == 's') {
        RunSaverRoad();
    }
}

bool PreviewHostHandle(const std::string& CmdLine, os::HWND* handle) {
    const std::string trimmed(runtime::Trim(CmdLine));
    const std::string tail = trimmed.size() > 3 ? trimmed.substr(3) : std::string();
    const auto value = runtime::TryRoundToInt32(runtime::TextToNumber(tail));
    if (!value) return false;
    *handle = *value;
    return true;
}

std::int16_t SetPreviewParent(const std::string& CmdLine, os::HWND hWnd) {
    os::HWND host = 0;
    // A number outside the 32-bit range names no window: the re-parenting fails.
    if (!PreviewHostHandle(CmdLine, &host)) return 0;
    const os::LONG style = os::GetWindowLongA(hWnd, os::GWL_STYLE);
    const os::LONG r = os::SetWindowLongA(hWnd, os::GWL_STYLE, style | os::WS_CHILD);
    if (r == 0) return 0;
    return os::SetParent(hWnd, host) != 0 ? -1 : 0;
}

std::int16_t SaverAlreadyRunning() {
    SSForm& form = SSFormInstance();
    std::int16_t count = 0;
    os::HWND h = os::GetWindow(form.hWnd(), os::GW_HWNDFIRST);
    while (h != 0) {
        const int length = os::GetWindowTextLengthA(h);
        // The count is a 16-bit value; a longer title is read in part, which is enough
        // for a comparison with the caption.
        const int n = length >= 32767 ? 32767 : length + 1;
        std::string buffer(static_cast<std::size_t>(n), ' ');
        const int copied = os::GetWindowTextA(h, buffer.data(), n);
        if (copied > 0) {
            const std::string& caption = form.Caption();
            std::string candidate(runtime::Trim(buffer));
            candidate += std::string(caption.size(), ' ');
            candidate.resize(caption.size());
            if (candidate == caption) {
                if (count == 1) return -1;
                ++count;
            }
        }
        h = os::GetWindow(h, os::GW_HWNDNEXT);
        forms::DoEvents();
    }
    return 0;
}
