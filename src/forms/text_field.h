// The single-line text field that a text box and a combo box's edit part draw alike: a
// sunken edge, a little padding, then the text from its first shown character on.
#pragma once

#include <string>

#include "os/types.h"

namespace forms::text_field {

inline constexpr int kEdge = 2;     // sunken edge
inline constexpr int kPadding = 1;  // between edge and text

// The character boundary of `text`, shown from character `first` on, nearest to pixel x of
// the field. Text is measured in `dc`.
int NearestBoundary(os::HDC dc, const std::string& text, int first, int x);

}  // namespace forms::text_field
