// Reading and writing single registry values of the current user, as tests seed a hive
// and look at what the program stored. Header-only: the end-to-end tests use it too.
#pragma once

#include <optional>
#include <string>

#include "os/registry.h"

namespace tavro_test {

struct StoredValue {
    os::DWORD type = 0;
    std::string bytes;
};

// The value as stored, its type and bytes; nothing when the key or the value is missing.
inline std::optional<StoredValue> ReadValue(const char* key_path, const std::string& name) {
    os::HKEY key = 0;
    if (os::RegOpenKeyA(os::HKEY_CURRENT_USER, key_path, &key) != os::ERROR_SUCCESS)
        return std::nullopt;
    std::optional<StoredValue> result;
    os::DWORD type = 0, size = 0;
    if (os::RegQueryValueExA(key, name.c_str(), nullptr, &type, nullptr, &size) ==
        os::ERROR_SUCCESS) {
        std::string data(size, '\0');
        if (os::RegQueryValueExA(key, name.c_str(), nullptr, &type,
                                 reinterpret_cast<os::BYTE*>(data.data()),
                                 &size) == os::ERROR_SUCCESS) {
            data.resize(size);
            result = StoredValue{type, data};
        }
    }
    os::RegCloseKey(key);
    return result;
}

// A REG_SZ value's text; nothing when it is missing or of another type.
inline std::optional<std::string> ReadText(const char* key_path, const std::string& name) {
    const auto value = ReadValue(key_path, name);
    if (!value || value->type != os::REG_SZ) return std::nullopt;
    return value->bytes;
}

// Stores one value, making the key when needed; false when the registry refused.
inline bool WriteValue(const char* key_path, const std::string& name, os::DWORD type,
                       const std::string& bytes) {
    os::HKEY key = 0;
    if (os::RegCreateKeyA(os::HKEY_CURRENT_USER, key_path, &key) != os::ERROR_SUCCESS)
        return false;
    const os::LONG rc = os::RegSetValueExA(key, name.c_str(), 0, type,
                                           reinterpret_cast<const os::BYTE*>(bytes.data()),
                                           static_cast<os::DWORD>(bytes.size()));
    os::RegCloseKey(key);
    return rc == os::ERROR_SUCCESS;
}

inline bool WriteText(const char* key_path, const std::string& name, const std::string& text) {
    return WriteValue(key_path, name, os::REG_SZ, text);
}

}  // namespace tavro_test
