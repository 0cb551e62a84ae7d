// The registry hive in memory, and its text form (described in hive_format.cpp). Pure:
// no file access, so the parser can be fuzzed on its own.
#pragma once

#include <cstddef>
#include <map>
#include <optional>
#include <set>
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

// A line kept as found so that a writer carries it forward: one that could not be read,
// or a comment.
struct SkippedLine {
    std::string key;  // folded path of the key it stood under
    bool placed = true;  // false after a key line that could not be read
    std::string text;  // without its line end
    bool comment = false;  // a comment: kept, but no damage
};

// What a reader could not take from a text, and the comments it kept.
struct Damage {
    std::vector<SkippedLine> lines;  // in the order of the text
    std::set<std::string> keys;  // folded paths of keys with a skipped value line
    // A key line could not be read, or the text ends in a line cut short: values of any
    // key may be missing.
    bool unplaced = false;
    bool cut_short = false;  // the last line had no line end and could not be read

    // The lines that could not be read (comments do not count).
    std::size_t skipped() const;
    bool empty() const { return skipped() == 0; }
    // Whether something missing may stand among the skipped lines: the key of a folded
    // path itself (key_missing), or a value of that key.
    bool MayHide(std::string_view folded_key, bool key_missing) const;
};

struct ReadResult {
    Hive hive;
    Damage damage;
};

// Reads every line of a text that can be read (a UTF-8 byte-order mark at the start is
// ignored) and keeps the others, and the comments, in damage. Never fails; a text over
// kMaxHiveBytes is the caller's to refuse.
ReadResult ReadHive(std::string_view text);
// The hive of a text, or nothing (with the first reason in *error) when any line cannot
// be read or the text breaks a size limit.
std::optional<Hive> ParseHive(std::string_view text, std::string* error = nullptr);
// The text of a hive; ParseHive of it gives the same hive back. Skipped lines and comments
// of damage are written after the values of the key they stood under (the root's before
// any key line, unplaced ones at the end, a line cut short last and again without a line
// end), so reading the text again finds the same hive and the same damage.
std::string SerializeHive(const Hive& hive, const Damage* damage = nullptr);

}  // namespace os::hive
