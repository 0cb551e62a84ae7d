// Window icons from pictures held inside the executable.
#pragma once

#include <initializer_list>
#include <string_view>
#include <vector>

#include "os/window_look.h"

namespace forms {

// One icon image per named picture that exists and decodes (e.g. {"icon32", "icon16"}),
// fully opaque; names that give nothing are left out.
std::vector<os::IconImage> LoadIconImages(std::initializer_list<std::string_view> names);

}  // namespace forms
