#include "dialogs/control_values.h"

#include <algorithm>
#include <cmath>

#include "runtime/conversions.h"

namespace dialogs {

int BarValue(double x, int a, int b) {
    const int low = std::min(a, b), high = std::max(a, b);
    if (std::isnan(x)) return std::clamp(0, low, high);
    return std::clamp(static_cast<int>(runtime::RoundToInt16(x)), low, high);
}

int CheckValue(double x) {
    if (std::isnan(x)) return 0;
    const int v = runtime::RoundToInt16(x);
    return v == 0 ? 0 : 1;
}

}  // namespace dialogs
