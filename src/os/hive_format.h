// The registry hive in memory, and its text form (described in hive_format.cpp). Pure:
// no file access, so the parser can be fuzzed on its own.
#pragma once

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "os/types.h"

namespace os::hive {

inline constexpr std::size_t kMaxHiveBytes = 16u << 20;   // larger files are refused
inline constexpr std::size_t kMaxValueBytes = 1u << 20;   // data of one value
inline constexpr std::size_t kMaxKeyNameBytes = 255;      // one key name of a path
inline constexpr std::size_t kMaxKeyPathBytes = 4096;
inline constexpr std::size_t kMaxValueNameBytes = 16383;

struct Value {
    std::string name;  // as written ("" is the key's unnamed value)
    DWORD type = 0;
    std::vector<BYTE> data;

    bool operator==(const Value&) const = default;
};

struct Key {
    std::string path;  // names joined by "\", as first created; "" is the root
    std::map<std::string, Value> values;  // by case-folded name

    bool operator==(const Key&) const = default;
};

// ASCII case folding, the comparison used for key and value names.
std::string FoldCase(std::string_view s);

// Splits a "\"-separated path into its names, skipping empty ones, and joins them again
// ("A\\B\" -> "A\B"). Nothing when a name or the whole path is too long.
std::optional<std::string> NormalizePath(std::string_view path);

class Hive {
public:
    Hive();  // holds the root key only

    // The key of a normalised path, or null.
    const Key* FindKey(std::string_view path) const;
    Key* FindKey(std::string_view path);
    // The key of a normalised path, created with every missing parent.
    Key& CreateKey(std::string_view path);

    const std::map<std::string, Key>& keys() const { return keys_; }  // by folded path

    bool operator==(const Hive&) const = default;

private:
    std::map<std::string, Key> keys_;
};

const Value* FindValue(const Key& key, std::string_view name);
void SetValue(Key& key, std::string_view name, DWORD type, std::vector<BYTE> data);

// The hive of a text, or nothing (with a reason in *error) when the text is not a hive of
// this format or breaks a size limit.
std::optional<Hive> ParseHive(std::string_view text, std::string* error = nullptr);
// The text of a hive; ParseHive of it gives the same hive back.
std::string SerializeHive(const Hive& hive);

}  // namespace os::hive
