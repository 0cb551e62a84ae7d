#include "os/field_input.h"

#include <charconv>
#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>
#include <system_error>

namespace os {

namespace {

constexpr int kEnd = std::char_traits<char>::eof();

bool IsBlank(int c) { return c == ' ' || c == '\t'; }
bool IsLineEnd(int c) { return c == '\r' || c == '\n'; }
bool IsSeparator(int c) { return c == ',' || IsLineEnd(c) || c == kEnd; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

double LeadingNumber(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size() && IsBlank(static_cast<unsigned char>(text[i]))) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    std::string whole, fraction;
    while (i < text.size() && IsDigit(text[i])) whole += text[i++];
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && IsDigit(text[i])) fraction += text[i++];
    }
    if (whole.empty() && fraction.empty()) return 0.0;

    const std::size_t firstNonZero = whole.find_first_not_of('0');
    whole = firstNonZero == std::string::npos ? "0" : whole.substr(firstNonZero);
    const std::string normal = whole + "." + (fraction.empty() ? "0" : fraction);
    double value = 0.0;
    const auto result =
        std::from_chars(normal.data(), normal.data() + normal.size(), value,
                        std::chars_format::fixed);
    if (result.ec == std::errc::result_out_of_range) {
        // Too large for a double gives infinity; too small to tell from 0 gives 0.
        value = whole != "0" ? std::numeric_limits<double>::infinity() : 0.0;
    } else if (result.ec != std::errc()) {
        value = 0.0;
    }
    return negative ? -value : value;
}

FieldReader::FieldReader(std::unique_ptr<std::istream> in) : in_(std::move(in)) {}
FieldReader::FieldReader(FieldReader&&) noexcept = default;
FieldReader& FieldReader::operator=(FieldReader&&) noexcept = default;
FieldReader::~FieldReader() = default;

FieldReader FieldReader::FromText(std::string text) {
    return FieldReader(std::make_unique<std::istringstream>(std::move(text)));
}

std::optional<FieldReader> FieldReader::OpenFile(const std::string& path) {
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) return std::nullopt;
    auto file = std::make_unique<std::ifstream>(path, std::ios::binary);
    if (!file->is_open()) return std::nullopt;
    return FieldReader(std::move(file));
}

int FieldReader::Peek() {
    if (!in_ || !*in_) return kEnd;
    return in_->peek();
}

int FieldReader::Get() {
    if (!in_ || !*in_) return kEnd;
    return in_->get();
}

void FieldReader::SkipBlanks() {
    while (IsBlank(Peek())) Get();
}

void FieldReader::ConsumeLineEnd(int first) {
    if (first == '\r' && Peek() == '\n') Get();
    lineStart_ = true;
}

void FieldReader::SkipBlankLines() {
    SkipBlanks();
    while (lineStart_ && IsLineEnd(Peek())) {
        ConsumeLineEnd(Get());
        SkipBlanks();
    }
}

bool FieldReader::BeginField() {
    SkipBlankLines();
    return Peek() != kEnd;
}

bool FieldReader::AtEnd() { return !BeginField(); }

void FieldReader::FinishField() {
    for (;;) {
        const int c = Get();
        if (c == kEnd) return;
        if (c == ',') {
            lineStart_ = false;
            return;
        }
        if (IsLineEnd(c)) {
            ConsumeLineEnd(c);
            return;
        }
    }
}

bool FieldReader::ReadText(std::string& text) {
    text.clear();
    if (!BeginField()) return false;
    if (Peek() == '"') {
        Get();
        while (Peek() != '"' && !IsLineEnd(Peek()) && Peek() != kEnd) {
            text += static_cast<char>(Get());
        }
        if (Peek() == '"') Get();
        FinishField();
        return true;
    }
    while (!IsSeparator(Peek())) text += static_cast<char>(Get());
    const std::size_t last = text.find_last_not_of(" \t");
    text.erase(last == std::string::npos ? 0 : last + 1);
    FinishField();
    return true;
}

bool FieldReader::ReadNumber(double& value) {
    std::string text;
    if (!ReadText(text)) return false;
    value = LeadingNumber(text);
    return true;
}

}  // namespace os
