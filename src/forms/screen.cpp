#include "forms/screen.h"

#include "forms/metrics.h"
#include "os/window.h"

namespace forms {

float ScreenObject::Width() { return PixelsToTwips(os::GetSystemMetrics(os::SM_CXSCREEN)); }
float ScreenObject::Height() { return PixelsToTwips(os::GetSystemMetrics(os::SM_CYSCREEN)); }

}  // namespace forms
