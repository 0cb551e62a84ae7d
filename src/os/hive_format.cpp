// Hive text format, one item per line (a line ends in LF, CR LF or CR; the writer uses LF):
//
//   # a comment; blank lines are ignored
//   [Software\Some Key]              a key; its values follow until the next key line.
//                                    "[]" is the root; values before any key line are
//                                    the root's (the writer puts them there). The path
//                                    runs to the last "]" on the line.
//   "Name"=sz:" 3"                   a REG_SZ, its bytes exactly (no NUL is added)
//   "Count"=dword:0000000a           a REG_DWORD of 4 bytes, as a little-endian number
//   "Blob"=hex(3):01,00,ff           any other type (decimal code) or length, byte by byte
//   ""=sz:"x"                        the key's unnamed value
//
// Inside key paths and quotes, "%" followed by two hex digits stands for that byte (any
// other "%" stands for itself); the writer escapes "%", '"', control bytes and bytes from
// 0x7F up this way (and "[", "]" in key paths), so the file is plain ASCII. Blanks around
// "=" and at the ends of lines are allowed, and so is a UTF-8 byte-order mark at the
// start. Names match without regard to ASCII case; a repeated value name replaces the
// earlier one.
//
// A line that cannot be read (or breaks a size limit of hive_format.h) is skipped and
// kept: the lines after a key line that cannot be read belong to no known key and are
// skipped with it, and a last line without a line end that cannot be read means the text
// was cut short. Comments are kept too, under the key they stand in, except the writer's
// own first line (kHeader) under the root, which every write puts back.
//
// What the writer never writes is damage, so that one damaged byte reads as damage rather
// than as another valid text: a line with a raw control byte (other than a tab) or a byte
// from 0x7F up, a key line whose path holds a "]" with a "[" after it, and any line but a
// key line that ends in "]" (a comment included). The last two are key lines glued onto
// the line before by a lost line end (or that lost their "["), so they count as key lines
// that cannot be read.
#include "os/hive_format.h"

#include <charconv>

#include "runtime/trim.h"

namespace os::hive {
namespace {

constexpr char kHexDigits[] = "0123456789abcdef";
constexpr char kEscapeDigits[] = "0123456789ABCDEF";

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Blanks around a hive line and around its "=".
constexpr std::string_view kLineBlanks = " \t";

// The first line of every text the writer makes.
constexpr std::string_view kHeader = "# Tavro Screen Saver user registry (HKEY_CURRENT_USER)";

// Escapes "%", control bytes, bytes from 0x7F up and the bytes of also.
void AppendEscaped(std::string& out, std::string_view bytes, std::string_view also) {
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x20 || b >= 0x7F || c == '%' || also.find(c) != std::string_view::npos) {
            out += '%';
            out += kEscapeDigits[b >> 4];
            out += kEscapeDigits[b & 15];
        } else {
            out += c;
        }
    }
}

// Undoes AppendEscaped. A "%" without two hex digits after it, which only a hand edit
// leaves, stands for itself.
std::string Unescape(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        const int hi = s[i] == '%' && i + 2 < s.size() ? HexValue(s[i + 1]) : -1;
        const int lo = hi >= 0 ? HexValue(s[i + 2]) : -1;
        if (lo < 0) {
            out += s[i];
            continue;
        }
        out += static_cast<char>(hi * 16 + lo);
        i += 2;
    }
    return out;
}

// Whether a line holds a byte the writer never writes raw: a control byte other than a
// tab (line ends never stand inside a line), or one from 0x7F up.
bool HasRawByte(std::string_view line) {
    for (char c : line) {
        const auto b = static_cast<unsigned char>(c);
        if ((b < 0x20 && c != '\t') || b >= 0x7F) return true;
    }
    return false;
}

struct Parser {
    std::string_view line;
    std::string error;

    bool Fail(std::string why) {
        error = std::move(why);
        return false;
    }

    // A quoted text at the start of line; leaves line after the closing quote.
    std::optional<std::string> Quoted() {
        if (line.empty() || line.front() != '"') return Fail("quote expected"), std::nullopt;
        const std::size_t close = line.find('"', 1);
        if (close == std::string_view::npos) return Fail("unterminated quote"), std::nullopt;
        std::string text = Unescape(line.substr(1, close - 1));
        line.remove_prefix(close + 1);
        return text;
    }

    bool Eat(std::string_view prefix) {
        if (line.substr(0, prefix.size()) != prefix) return false;
        line.remove_prefix(prefix.size());
        return true;
    }

    bool ValueLine(Key& key) {
        auto name = Quoted();
        if (!name) return false;
        if (name->size() > kMaxValueNameBytes) return Fail("value name too long");
        line = runtime::Trim(line, kLineBlanks);
        if (!Eat("=")) return Fail("'=' expected");
        line = runtime::Trim(line, kLineBlanks);

        DWORD type = 0;
        std::vector<BYTE> data;
        if (Eat("sz:")) {
            auto text = Quoted();
            if (!text) return false;
            type = 1;
            data.assign(text->begin(), text->end());
        } else if (Eat("dword:")) {
            if (line.size() != 8) return Fail("dword needs 8 hex digits");
            std::uint32_t v = 0;
            for (char c : line) {
                const int h = HexValue(c);
                if (h < 0) return Fail("bad hex digit");
                v = v * 16 + static_cast<std::uint32_t>(h);
            }
            line = {};
            type = 4;
            for (int i = 0; i < 4; ++i) data.push_back(static_cast<BYTE>(v >> (8 * i)));
        } else if (Eat("hex(")) {
            const std::size_t close = line.find(')');
            if (close == std::string_view::npos || close == 0) return Fail("bad type code");
            const auto res = std::from_chars(line.data(), line.data() + close, type);
            if (res.ec != std::errc() || res.ptr != line.data() + close)
                return Fail("bad type code");
            line.remove_prefix(close + 1);
            if (!Eat(":")) return Fail("':' expected");
            if (line.size() > 3 * kMaxValueBytes) return Fail("value too large");
            for (std::size_t i = 0; i < line.size(); i += 3) {
                if (i + 2 > line.size()) return Fail("bad byte");
                const int hi = HexValue(line[i]), lo = HexValue(line[i + 1]);
                if (hi < 0 || lo < 0) return Fail("bad byte");
                if (i + 2 < line.size() && (line[i + 2] != ',' || i + 3 == line.size()))
                    return Fail("',' expected");
                data.push_back(static_cast<BYTE>(hi * 16 + lo));
            }
            line = {};
        } else {
            return Fail("unknown value type");
        }
        if (data.size() > kMaxValueBytes) return Fail("value too large");
        if (!runtime::Trim(line, kLineBlanks).empty()) return Fail("text after the value");
        SetValue(key, *name, type, std::move(data));
        return true;
    }
};

}  // namespace

std::string FoldCase(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

std::optional<std::string> NormalizePath(std::string_view path) {
    std::string out;
    while (!path.empty()) {
        const std::size_t sep = path.find('\\');
        const std::string_view name = path.substr(0, sep);
        path = sep == std::string_view::npos ? std::string_view{} : path.substr(sep + 1);
        if (name.empty()) continue;
        if (name.size() > kMaxKeyNameBytes) return std::nullopt;
        if (!out.empty()) out += '\\';
        out += name;
        if (out.size() > kMaxKeyPathBytes) return std::nullopt;
    }
    return out;
}

Hive::Hive() { keys_.emplace("", Key{}); }

const Key* Hive::FindKey(std::string_view path) const {
    const auto it = keys_.find(FoldCase(path));
    return it == keys_.end() ? nullptr : &it->second;
}

Key* Hive::FindKey(std::string_view path) {
    const auto it = keys_.find(FoldCase(path));
    return it == keys_.end() ? nullptr : &it->second;
}

Key& Hive::CreateKey(std::string_view path) {
    // Parents first, so that every prefix of a key's path is a key too.
    for (std::size_t sep = path.find('\\'); sep != std::string_view::npos;
         sep = path.find('\\', sep + 1)) {
        const std::string_view parent = path.substr(0, sep);
        auto [it, added] = keys_.try_emplace(FoldCase(parent));
        if (added) it->second.path = std::string(parent);
    }
    auto [it, added] = keys_.try_emplace(FoldCase(path));
    if (added) it->second.path = std::string(path);
    return it->second;
}

const Value* FindValue(const Key& key, std::string_view name) {
    const auto it = key.values.find(FoldCase(name));
    return it == key.values.end() ? nullptr : &it->second;
}

void SetValue(Key& key, std::string_view name, DWORD type, std::vector<BYTE> data) {
    auto [it, added] = key.values.try_emplace(FoldCase(name));
    Value& v = it->second;
    if (added) v.name = std::string(name);
    v.type = type;
    v.data = std::move(data);
}

std::size_t Damage::skipped() const {
    std::size_t n = 0;
    for (const SkippedLine& line : lines) n += !line.comment;
    return n;
}

bool Damage::MayHide(std::string_view folded_key, bool key_missing) const {
    if (unplaced) return true;
    return !key_missing && keys.count(std::string(folded_key)) != 0;
}

namespace {

ReadResult ReadLines(std::string_view text, std::string* first_error) {
    ReadResult out;
    Hive& hive = out.hive;
    Damage& damage = out.damage;
    auto skip = [&](std::size_t line_no, std::string_view line, bool placed,
                    const std::string& current, const std::string& why) {
        if (first_error && first_error->empty())
            *first_error = "line " + std::to_string(line_no) + ": " + why;
        damage.lines.push_back(SkippedLine{current, placed, std::string(line)});
    };
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);

    std::string current;  // folded path of the key that takes the value lines
    bool placed = true;   // false after a key line that could not be read
    std::size_t line_no = 0;
    while (!text.empty()) {
        ++line_no;
        const std::size_t end = text.find_first_of("\r\n");
        std::string_view line = runtime::Trim(text.substr(0, end), kLineBlanks);
        const bool last_unended = end == std::string_view::npos;
        if (last_unended) text = {};
        else text.remove_prefix(text.compare(end, 2, "\r\n") == 0 ? end + 2 : end + 1);
        if (line.empty()) continue;

        const bool raw = HasRawByte(line);
        if (line.front() == '#' && !raw && line.back() != ']') {
            if (!(placed && current.empty() && line == kHeader))
                damage.lines.push_back(SkippedLine{current, placed, std::string(line), true});
            continue;
        }

        const std::size_t skipped_before = damage.lines.size();
        if (line.front() == '[' || line.back() == ']') {
            std::optional<std::string> path;
            const char* why = "']' expected";
            if (line.front() != '[') {
                why = "key line glued to the text before it";
            } else if (raw) {
                why = "raw control or non-ASCII byte";
            } else if (line.back() == ']' && line.size() >= 2) {
                const std::string_view inner = line.substr(1, line.size() - 2);
                const std::size_t close = inner.find(']');
                if (close != std::string_view::npos &&
                    inner.find('[', close) != std::string_view::npos) {
                    why = "two key lines glued together";
                } else {
                    path = NormalizePath(Unescape(inner));
                    why = "key path too long";
                }
            }
            if (path) {
                current = FoldCase(hive.CreateKey(*path).path);
                placed = true;
            } else {
                placed = false;
                damage.unplaced = true;
                skip(line_no, line, false, current, why);
            }
        } else if (!placed) {
            skip(line_no, line, false, current, "value of a key that could not be read");
        } else if (raw) {
            skip(line_no, line, true, current, "raw control or non-ASCII byte");
        } else {
            Parser parser{line, {}};
            Key scratch;  // a line is taken whole or not at all
            if (line.front() != '"') {
                skip(line_no, line, true, current, "key or value expected");
            } else if (!parser.ValueLine(scratch)) {
                skip(line_no, line, true, current, parser.error);
            } else {
                for (auto& [folded, value] : scratch.values)
                    SetValue(*hive.FindKey(current), value.name, value.type,
                             std::move(value.data));
            }
        }
        if (damage.lines.size() == skipped_before) continue;
        SkippedLine& last = damage.lines.back();
        if (last_unended) {
            // Cut short: whatever followed is lost, so any key may miss values.
            damage.cut_short = damage.unplaced = true;
            last.placed = false;
        } else if (last.placed) {
            damage.keys.insert(last.key);
        }
    }
    return out;
}

}  // namespace

ReadResult ReadHive(std::string_view text) { return ReadLines(text, nullptr); }

std::optional<Hive> ParseHive(std::string_view text, std::string* error) {
    std::string first_error;
    if (text.size() > kMaxHiveBytes) first_error = "line 0: hive too large";
    ReadResult read;
    if (first_error.empty()) read = ReadLines(text, &first_error);
    if (first_error.empty()) return std::move(read.hive);
    if (error) *error = first_error;
    return std::nullopt;
}

std::string SerializeHive(const Hive& hive, const Damage* damage) {
    std::string out = std::string(kHeader) + '\n';
    auto kept_lines = [&](bool placed, const std::string& folded) {
        std::string lines;
        if (!damage) return lines;
        for (const SkippedLine& line : damage->lines) {
            if (line.placed != placed || (placed && line.key != folded)) continue;
            lines += line.text;
            lines += '\n';
        }
        return lines;
    };
    // The root comes first (its folded path "" sorts first), so its values and kept lines
    // need no key line.
    for (const auto& [folded, key] : hive.keys()) {
        if (!folded.empty()) {
            out += '[';
            AppendEscaped(out, key.path, "[]");
            out += "]\n";
        }
        for (const auto& [folded_name, value] : key.values) {
            out += '"';
            AppendEscaped(out, value.name, "\"");
            out += "\"=";
            const std::string_view bytes(reinterpret_cast<const char*>(value.data.data()),
                                         value.data.size());
            if (value.type == 1) {
                out += "sz:\"";
                AppendEscaped(out, bytes, "\"");
                out += '"';
            } else if (value.type == 4 && value.data.size() == 4) {
                out += "dword:";
                for (int i = 3; i >= 0; --i) {
                    out += kHexDigits[value.data[static_cast<std::size_t>(i)] >> 4];
                    out += kHexDigits[value.data[static_cast<std::size_t>(i)] & 15];
                }
            } else {
                out += "hex(" + std::to_string(value.type) + "):";
                for (std::size_t i = 0; i < value.data.size(); ++i) {
                    if (i) out += ',';
                    out += kHexDigits[value.data[i] >> 4];
                    out += kHexDigits[value.data[i] & 15];
                }
            }
            out += '\n';
        }
        out += kept_lines(true, folded);
    }
    out += kept_lines(false, {});
    if (damage && damage->cut_short && !out.empty() && out.back() == '\n') out.pop_back();
    return out;
}

}  // namespace os::hive
