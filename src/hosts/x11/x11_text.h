// Title text between the host's UTF-8 strings and the Latin-1 of the older X properties.
#pragma once

#include <string>

namespace hosts::x11 {

// UTF-8 to Latin-1; characters beyond Latin-1 become '?'. Bytes that are not valid UTF-8
// are taken as Latin-1 already.
std::string Latin1FromUtf8(const std::string& text);

// Latin-1 to UTF-8.
std::string Utf8FromLatin1(const std::string& text);

// True when text is well-formed UTF-8.
bool IsValidUtf8(const std::string& text);

}  // namespace hosts::x11
