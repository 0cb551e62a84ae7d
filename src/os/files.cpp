#include "os/files.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace os {

namespace {

namespace fs = std::filesystem;

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualIgnoringAsciiCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(),
                      [](char x, char y) { return AsciiLower(x) == AsciiLower(y); });
}

bool Exists(const std::string& path) {
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0;
}

std::string Join(const std::string& dir, const std::string& entry) {
    if (dir.empty()) return entry;
    if (dir.back() == '/') return dir + entry;
    return dir + "/" + entry;
}

std::vector<std::string> SplitComponents(const std::string& path) {
    std::vector<std::string> parts;
    std::string part;
    for (char c : path) {
        if (c == '/') {
            if (!part.empty()) parts.push_back(part);
            part.clear();
        } else {
            part += c;
        }
    }
    if (!part.empty()) parts.push_back(part);
    return parts;
}

// The entry of dir that component names: the exact one when it exists, else the
// alphabetically first one that differs only in letter case.
std::optional<std::string> FindEntry(const std::string& dir, const std::string& component) {
    std::string exact = Join(dir, component);
    if (component == "." || component == ".." || Exists(exact)) return exact;

    std::error_code ec;
    fs::directory_iterator it(dir.empty() ? "." : dir, ec);
    if (ec) return std::nullopt;
    std::optional<std::string> best;
    for (const fs::directory_iterator end; it != end; it.increment(ec)) {
        if (ec) break;
        std::string name = it->path().filename().string();
        if (EqualIgnoringAsciiCase(name, component) && (!best || name < *best)) best = name;
    }
    if (!best) return std::nullopt;
    return Join(dir, *best);
}

// Walks the components of relative below base, matching each as the platform does.
std::optional<std::string> ResolveBelow(const std::string& base, const std::string& relative) {
    std::vector<std::string> parts = SplitComponents(relative);
    if (parts.empty()) return std::nullopt;
    std::string current = base;
    for (const std::string& part : parts) {
        std::optional<std::string> next = FindEntry(current, part);
        if (!next) return std::nullopt;
        current = *next;
    }
    if (!IsOrdinaryFile(current)) return std::nullopt;
    return current;
}

}  // namespace

std::string ProgramFolder() {
    std::error_code ec;
    fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (ec || !exe.has_parent_path()) return ".";
    std::string folder = exe.parent_path().string();
    return folder.empty() ? "/" : folder;
}

std::string CurrentFolder() {
    std::error_code ec;
    fs::path cwd = fs::current_path(ec);
    return ec ? std::string(".") : cwd.string();
}

std::string ProgramPath(const std::string& name) {
    return Join(ProgramFolder(), ToHostSeparators(name));
}

bool IsOrdinaryFile(const std::string& path) {
    struct stat st;
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string ToHostSeparators(std::string name) {
    std::replace(name.begin(), name.end(), '\\', '/');
    return name;
}

std::optional<std::string> ResolveFileName(const std::string& name,
                                           const std::vector<std::string>& folders) {
    std::string path = ToHostSeparators(name);
    if (path.empty() || path.back() == '/') return std::nullopt;
    if (path.front() == '/') return ResolveBelow("/", path);
    for (const std::string& folder : folders) {
        if (auto found = ResolveBelow(folder.empty() ? "." : folder, path)) return found;
    }
    return std::nullopt;
}

}  // namespace os
