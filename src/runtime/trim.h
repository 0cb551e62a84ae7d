// Trimming text: the one helper for every layer.
#pragma once

#include <string_view>

namespace runtime {

// `text` without any of `chars` at its start or end (a view into `text`); by default only
// blanks (spaces) go, as the classic Trim does.
constexpr std::string_view Trim(std::string_view text, std::string_view chars = " ") {
    const std::size_t first = text.find_first_not_of(chars);
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(chars) - first + 1);
}

}  // namespace runtime
