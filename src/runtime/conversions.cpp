#include "runtime/conversions.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <system_error>

namespace runtime {
namespace {

// Nearest whole number with ties to even, independent of the floating-point rounding mode.
double RoundHalfEven(double v) {
    const double below = std::floor(v);
    const double fraction = v - below;  // exact: below <= v < below + 1
    if (fraction > 0.5) return below + 1;
    if (fraction < 0.5) return below;
    return std::fmod(below, 2.0) == 0 ? below : below + 1;
}

template <typename Int>
std::optional<Int> TryRoundTo(double v) {
    if (std::isnan(v)) return std::nullopt;
    const double r = RoundHalfEven(v);
    if (r < static_cast<double>(std::numeric_limits<Int>::min()) ||
        r > static_cast<double>(std::numeric_limits<Int>::max()))
        return std::nullopt;
    return static_cast<Int>(r);
}

template <typename Int>
Int RoundSaturating(double v) {
    if (std::isnan(v)) return 0;
    if (auto r = TryRoundTo<Int>(v)) return *r;
    return v < 0 ? std::numeric_limits<Int>::min() : std::numeric_limits<Int>::max();
}

// Writes a finite nonzero value from its shortest round-trip digits. fixed_limit is the
// decimal exponent from which the scientific form is used.
template <typename F>
std::string FormatNumber(F v, int fixed_limit) {
    if (std::isnan(v)) return " NaN";
    if (std::isinf(v)) return v > 0 ? " Inf" : "-Inf";
    if (v == 0) return " 0";

    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::scientific);
    std::string_view s(buf, static_cast<std::size_t>(res.ptr - buf));  // [-]d[.ddd]e[+-]XX
    const bool negative = s.front() == '-';
    if (negative) s.remove_prefix(1);
    const std::size_t e_pos = s.find('e');

    std::string digits;
    for (char c : s.substr(0, e_pos))
        if (c != '.') digits += c;
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

    std::string_view exp_text = s.substr(e_pos + 1);
    const bool exp_negative = exp_text.front() == '-';
    if (exp_text.front() == '-' || exp_text.front() == '+') exp_text.remove_prefix(1);
    int exponent = 0;
    std::from_chars(exp_text.data(), exp_text.data() + exp_text.size(), exponent);
    if (exp_negative) exponent = -exponent;

    std::string out = negative ? "-" : " ";
    if (exponent >= -5 && exponent < fixed_limit) {
        if (exponent >= 0) {
            const std::size_t int_len = static_cast<std::size_t>(exponent) + 1;
            if (digits.size() <= int_len) {
                out += digits;
                out.append(int_len - digits.size(), '0');
            } else {
                out += digits.substr(0, int_len);
                out += '.';
                out += digits.substr(int_len);
            }
        } else {
            out += '.';
            out.append(static_cast<std::size_t>(-exponent - 1), '0');
            out += digits;
        }
    } else {
        out += digits[0];
        if (digits.size() > 1) {
            out += '.';
            out += digits.substr(1);
        }
        out += 'E';
        out += exponent < 0 ? '-' : '+';
        const int magnitude = std::abs(exponent);
        if (magnitude < 10) out += '0';
        out += std::to_string(magnitude);
    }
    return out;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::optional<std::int16_t> TryRoundToInt16(double v) { return TryRoundTo<std::int16_t>(v); }
std::optional<std::int32_t> TryRoundToInt32(double v) { return TryRoundTo<std::int32_t>(v); }
std::int16_t RoundToInt16(double v) { return RoundSaturating<std::int16_t>(v); }
std::int32_t RoundToInt32(double v) { return RoundSaturating<std::int32_t>(v); }

double IntegerPart(double v) { return std::floor(v); }

std::string NumberToText(double v) { return FormatNumber(v, 15); }
std::string NumberToText(float v) { return FormatNumber(v, 7); }

double TextToNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() &&
           (text[i] == ' ' || text[i] == '\t' || text[i] == '\r' || text[i] == '\n'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }

    // The number in the form the locale-independent reader takes: digits[.digits][e[-]digits]
    std::string number;
    std::size_t mantissa_digits = 0;
    std::size_t integer_digits = 0;
    std::size_t first_nonzero = std::string::npos;  // index among the mantissa digits
    auto take_digits = [&](bool integer_part) {
        while (i < text.size() && IsDigit(text[i])) {
            if (text[i] != '0' && first_nonzero == std::string::npos)
                first_nonzero = mantissa_digits;
            number += text[i++];
            ++mantissa_digits;
            if (integer_part) ++integer_digits;
        }
    };
    take_digits(true);
    if (i < text.size() && text[i] == '.') {
        number += '.';
        ++i;
        take_digits(false);
    }
    if (mantissa_digits == 0 || first_nonzero == std::string::npos) return 0.0;

    long long exponent = 0;  // saturated; only needed to tell overflow from underflow
    if (i < text.size() &&
        (text[i] == 'e' || text[i] == 'E' || text[i] == 'd' || text[i] == 'D')) {
        std::size_t j = i + 1;
        bool exp_negative = false;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) {
            exp_negative = text[j] == '-';
            ++j;
        }
        if (j < text.size() && IsDigit(text[j])) {
            number += exp_negative ? "e-" : "e";
            while (j < text.size() && IsDigit(text[j])) {
                number += text[j];
                if (exponent < 1'000'000'000) exponent = exponent * 10 + (text[j] - '0');
                ++j;
            }
            if (exp_negative) exponent = -exponent;
        }
    }

    double value = 0;
    const auto res = std::from_chars(number.data(), number.data() + number.size(), value);
    if (res.ec == std::errc::result_out_of_range) {
        // Decimal exponent of the leading nonzero digit tells which way it went.
        const long long leading = static_cast<long long>(integer_digits) - 1 -
                                  static_cast<long long>(first_nonzero) + exponent;
        value = leading > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    } else if (res.ec != std::errc()) {
        value = 0;
    }
    return negative ? -value : value;
}

}  // namespace runtime
