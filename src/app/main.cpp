// The executable: opens the X display, installs the X11 host and the SDL sound output,
// hands the command line to the program and runs it.
#include <malloc.h>
#include <signal.h>

#include <cstdio>
#include <memory>
#include <string>

#include "forms/app.h"
#include "runtime/command.h"
#include "hosts/sdl_audio/sdl_audio_output.h"
#include "hosts/x11/x11_host.h"
#include "os/audio_output.h"
#include "os/host.h"
#include "startup/main.h"

namespace {

// SIGTERM and SIGINT end the program at once with their default action, on every road and
// at any moment (inside a modal loop, a password check or a settings save). Everything the
// process holds goes with it: the X server drops its grabs and windows, the instance lock
// is an flock, the frame segments are already marked for removal, and a settings save is
// a rename. A shell starts background jobs with SIGINT ignored, and a parent may leave
// either signal ignored or blocked, so both are put back explicitly.
void RestoreEndingSignals() {
    sigset_t ending;
    sigemptyset(&ending);
    for (int sig : {SIGTERM, SIGINT}) {
        signal(sig, SIG_DFL);
        sigaddset(&ending, sig);
    }
    sigprocmask(SIG_UNBLOCK, &ending, nullptr);
}

}  // namespace

int main(int argc, char** argv) {
    RestoreEndingSignals();
    // Blocks of this size and more are mapped on their own and given back when freed. Left
    // to itself the allocator raises the limit after the first large block is freed (a
    // decoded picture), and later screen-sized buffers then stay in the heap after use.
    mallopt(M_MMAP_THRESHOLD, 256 * 1024);
    std::string command_line;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) command_line += ' ';
        command_line += argv[i];
    }

    std::string error;
    std::unique_ptr<os::Host> host = hosts::CreateX11Host(&error);
    if (!host) {
        std::fprintf(stderr, "TavroSS: cannot open the X display: %s\n", error.c_str());
        return 1;
    }
    os::InstallHost(std::move(host));
    os::InstallAudioOutput(std::make_unique<hosts::SdlAudioOutput>());

    runtime::SetCommand(command_line);
    forms::App.ClaimInstance();
    Main();
    return 0;
}
