#include "settings/registry.h"

#include <array>

#include "os/registry.h"

RegValue RegValue::FromText(std::string text) {
    RegValue v;
    v.kind_ = Kind::Text;
    v.text_ = std::move(text);
    return v;
}

RegValue RegValue::FromNumber(std::int32_t number) {
    RegValue v;
    v.kind_ = Kind::Number;
    v.number_ = number;
    return v;
}

std::string RegValue::Text() const {
    switch (kind_) {
        case Kind::Text:
            return text_;
        case Kind::Number:
            return std::to_string(number_);
        case Kind::Empty:
            break;
    }
    return std::string();
}

RegValue GetRegValue(os::HKEY Root, const std::string& SubKey, const std::string& Name,
                     const std::string& DefaultValue) {
    os::HKEY key = 0;
    os::RegOpenKeyA(Root, SubKey.c_str(), &key);  // a missing key leaves key 0
    RegValue r = QueryRegValue(key, Name, DefaultValue);
    os::RegCloseKey(key);
    return r;
}

RegValue QueryRegValue(os::HKEY Key, const std::string& Name, const std::string& DefaultValue,
                       os::LONG* size_query) {
    os::DWORD type = 0;
    os::DWORD size = 0;
    const os::LONG rc = os::RegQueryValueExA(Key, Name.c_str(), nullptr, &type, nullptr, &size);
    if (size_query) *size_query = rc;
    if (rc != os::ERROR_SUCCESS) return RegValue::FromText(DefaultValue);

    if (type == os::REG_SZ) {
        std::string buffer(size, ' ');
        os::DWORD got = size;
        if (os::RegQueryValueExA(Key, Name.c_str(), nullptr, &type,
                                 reinterpret_cast<os::BYTE*>(buffer.data()),
                                 &got) != os::ERROR_SUCCESS)
            return RegValue::Empty();
        return RegValue::FromText(StripNulls(buffer));
    }

    // Any other type is read as a little-endian 32-bit number. Bytes the data does not
    // cover keep what the size query left there: the type code. Data longer than the
    // number does not fit its 4 bytes, so that read fails and gives the empty value.
    std::array<os::BYTE, 4> number{};
    for (std::size_t i = 0; i < 4; ++i) number[i] = static_cast<os::BYTE>(type >> (8 * i));
    os::DWORD got = size < 4 ? size : 4;
    if (os::RegQueryValueExA(Key, Name.c_str(), nullptr, &type, number.data(), &got) !=
        os::ERROR_SUCCESS)
        return RegValue::Empty();
    const std::uint32_t bits = static_cast<std::uint32_t>(number[0]) |
                               static_cast<std::uint32_t>(number[1]) << 8 |
                               static_cast<std::uint32_t>(number[2]) << 16 |
                               static_cast<std::uint32_t>(number[3]) << 24;
    return RegValue::FromNumber(static_cast<std::int32_t>(bits));
}

std::string StripNulls(const std::string& Text) {
    const std::size_t p = Text.find('\0');
    return p == std::string::npos ? Text : Text.substr(0, p);
}

void SaveRegString(os::HKEY Root, const std::string& SubKey, const std::string& Name,
                   const std::string& Value) {
    os::HKEY key = 0;
    os::RegCreateKeyA(Root, SubKey.c_str(), &key);
    os::RegSetValueExA(key, Name.c_str(), 0, os::REG_SZ,
                       reinterpret_cast<const os::BYTE*>(Value.data()),
                       static_cast<os::DWORD>(Value.size()));
    os::RegCloseKey(key);
}
