#include "forms/screen.h"

#include "forms/metrics.h"
#include "os/host.h"

namespace forms {

float ScreenObject::Width() { return PixelsToTwips(os::CurrentHost().ScreenWidth()); }
float ScreenObject::Height() { return PixelsToTwips(os::CurrentHost().ScreenHeight()); }

}  // namespace forms
