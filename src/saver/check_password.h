// The exit gate: asks for the screen-saver password when one is required. A close request
// to the saver window passes it too (SSForm::Form_QueryUnload, defined with the gate).
#pragma once

#include <cstdint>

#include "os/types.h"

// Not 0 when the saver may end. Refuses at once while a check is already open.
std::int16_t CheckPassword(os::HWND hWnd);
