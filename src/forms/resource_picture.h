// Pictures held inside the executable, decoded once and shared by every control that
// holds them; a picture nobody holds any longer is let go and decoded again when next asked
// for. Also copies of pictures made at run time.
#pragma once

#include <memory>
#include <string_view>

#include "os/surface.h"

namespace forms {

using SharedPicture = std::shared_ptr<const os::Surface>;

// The decoded picture of that name, or nullptr when it is missing or cannot be read.
SharedPicture ResourcePicture(std::string_view name);
// A picture of its own with the same pixels.
SharedPicture CopyPicture(const os::Surface& picture);

}  // namespace forms
