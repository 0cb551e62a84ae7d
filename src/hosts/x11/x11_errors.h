// X errors never end the process: a handler records them so that a request on a window
// that vanished (another program's, or ours after its foreign parent went) fails quietly,
// and the caller that cares asks an ErrorTrap. A lost connection ends the process.
#pragma once

#include <X11/Xlib.h>

namespace hosts::x11 {

// Installs the recording error handler and the connection-lost handler (idempotent).
void InstallErrorHandlers();

// Notes the requests sent from its construction on; Failed() waits for the server to
// process them and tells whether any of them failed.
class ErrorTrap {
public:
    explicit ErrorTrap(Display* display);
    bool Failed();
    // The error code of the last failure seen by Failed() (0 when none).
    int code() const { return code_; }

private:
    Display* display_;
    unsigned long first_serial_;
    int code_ = 0;
};

}  // namespace hosts::x11
