// Where the program's own logic begins: the command line picks one of four roads (change
// the password, the settings dialog, the preview, the full-screen saver) and Main runs it
// to its end.
#pragma once

#include <cstdint>
#include <string>

#include "os/types.h"

void Main();

// Makes the window a child of the preview window whose handle follows the switch on the
// normalised command line. True (-1) on success, false (0) otherwise.
std::int16_t SetPreviewParent(const std::string& CmdLine, os::HWND hWnd);
// True (-1) when at least two top-level windows carry a title that begins with the saver
// window's caption.
std::int16_t SaverAlreadyRunning();

// The normalised command line: lower-cased, trimmed of blanks, "/c" appended.
std::string NormaliseCommandLine(const std::string& raw);
// The preview host's handle read from the normalised command line; nothing when the number
// does not fit a 32-bit handle.
bool PreviewHostHandle(const std::string& CmdLine, os::HWND* handle);
