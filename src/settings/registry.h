// The program's registry layer: reads a value as text or number with a default, and
// writes texts. Every call opens and closes its key by itself.
#pragma once

#include <cstdint>
#include <string>

#include "os/types.h"

// A value read from the registry: empty, a text, or a signed 32-bit number.
class RegValue {
public:
    enum class Kind { Empty, Text, Number };

    static RegValue Empty() { return RegValue(); }
    static RegValue FromText(std::string text);
    static RegValue FromNumber(std::int32_t number);

    Kind kind() const { return kind_; }
    // The text form every caller takes: a text unchanged, a number in decimal digits with
    // "-" when negative and no blank, empty as "".
    std::string Text() const;

private:
    Kind kind_ = Kind::Empty;
    std::string text_;
    std::int32_t number_ = 0;
};

// Opens SubKey under Root, reads Name (DefaultValue when the key or value is missing),
// closes the key.
RegValue GetRegValue(os::HKEY Root, const std::string& SubKey, const std::string& Name,
                     const std::string& DefaultValue);
// Reads Name of the open key Key: DefaultValue as text when it is not there; a text value
// up to its first NUL; any other type as a little-endian 32-bit number; empty when the
// data itself cannot be read. *size_query gets the result code of the first query.
RegValue QueryRegValue(os::HKEY Key, const std::string& Name, const std::string& DefaultValue,
                       os::LONG* size_query = nullptr);
// Text up to, not including, its first NUL.
std::string StripNulls(const std::string& Text);
// Creates or opens SubKey under Root and writes Value as a REG_SZ without terminating NUL.
void SaveRegString(os::HKEY Root, const std::string& SubKey, const std::string& Name,
                   const std::string& Value);
