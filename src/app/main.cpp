// The executable: opens the X display, installs the X11 host and the SDL sound output,
// hands the command line to the program and runs it.
#include <cstdio>
#include <memory>
#include <string>

#include "forms/app.h"
#include "forms/command.h"
#include "hosts/sdl_audio/sdl_audio_output.h"
#include "hosts/x11/x11_host.h"
#include "os/audio_output.h"
#include "os/host.h"
#include "startup/main.h"

int main(int argc, char** argv) {
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
    os::InstallAudioOutput(std::make_unique<os::SdlAudioOutput>());

    forms::SetCommand(command_line);
    forms::App.ClaimInstance();
    Main();
    return 0;
}
