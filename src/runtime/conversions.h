// The framework's value conversions between numbers, integers and texts. They behave the
// same in every locale: "." is always the decimal point.
#pragma once

#include <concepts>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "runtime/trim.h"

namespace runtime {

// Nearest whole number, a tie going to the even neighbour (2.5 -> 2, 3.5 -> 4, -2.5 -> -2),
// or nothing when the rounded value lies outside the target range or v is NaN.
std::optional<std::int16_t> TryRoundToInt16(double v);
std::optional<std::int32_t> TryRoundToInt32(double v);

// The same rounding, total: a value outside the range saturates at the nearer end of the
// range and NaN gives 0. Use these where a value must always be produced.
std::int16_t RoundToInt16(double v);
std::int32_t RoundToInt32(double v);

// The integer part of a number: its floor (-0.5 -> -1, 2.7 -> 2).
double IntegerPart(double v);

// Number-to-text: a non-negative number starts with one blank, a negative one with "-".
// Written are the fewest significant digits that read back as the same value (for a
// single-precision value that is at most 7 digits whenever the value has no more; 8 or 9
// otherwise), without trailing zeros and without a zero before the point:
//   4 -> " 4", -1 -> "-1", 2.5 -> " 2.5", 0.5 -> " .5", -0.25 -> "-.25", 10000 -> " 10000".
// Plain decimal notation is used for magnitudes from 1E-05 up to (not including) 1E+07
// (single) or 1E+15 (double); outside it a scientific form such as " 1E+07" or " 1.5E-06".
// Negative zero is written " 0"; NaN as " NaN" and infinities as " Inf" / "-Inf" (none of
// which the conversions ever produce from text).
std::string NumberToText(double v);
std::string NumberToText(float v);
template <std::integral T>
std::string NumberToText(T v) {
    std::string digits = std::to_string(v);
    return v < 0 ? digits : " " + digits;
}
// The same without the blank before a number that is not negative.
template <typename T>
std::string NumberToTrimmedText(T v) {
    return std::string(runtime::Trim(NumberToText(v)));
}

// Text-to-number: the number that the text begins with, after any leading blanks, tabs,
// carriage returns or line feeds: an optional sign, decimal digits, an optional fraction
// after ".", and an optional exponent ("E", "e", "D" or "d", optional sign, digits).
// A text that begins with no number gives 0 (" 25" -> 25, "7x" -> 7, "abc" -> 0, "" -> 0,
// ".5" -> 0.5, "1e6" -> 1000000, "1e" -> 1). A number too large for a double gives
// +-infinity; too small, 0. The result is never NaN.
double TextToNumber(std::string_view text);

}  // namespace runtime
