#include "hosts/x11/x11_errors.h"

#include <cstdio>
#include <cstdlib>

namespace hosts::x11 {

namespace {

struct LastError {
    Display* display = nullptr;
    unsigned long serial = 0;
    int code = 0;
};

LastError g_last_error;

int RecordError(Display* display, XErrorEvent* error) {
    g_last_error = {display, error->serial, error->error_code};
    return 0;
}

int ConnectionLost(Display* display) {
    std::fprintf(stderr, "lost the connection to X display %s\n", DisplayString(display));
    std::exit(1);
}

}  // namespace

void InstallErrorHandlers() {
    XSetErrorHandler(RecordError);
    XSetIOErrorHandler(ConnectionLost);
}

ErrorTrap::ErrorTrap(Display* display)
    : display_(display), first_serial_(NextRequest(display)) {
    // A closed connection's record could match a new one at the same address.
    g_last_error = {};
}

bool ErrorTrap::Failed() {
    XSync(display_, False);
    if (g_last_error.display == display_ && g_last_error.serial >= first_serial_) {
        code_ = g_last_error.code;
        return true;
    }
    code_ = 0;
    return false;
}

}  // namespace hosts::x11
