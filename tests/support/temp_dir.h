// A fresh temporary folder that goes away with everything in it, and an environment
// variable changed for a scope and put back afterwards. Header-only and free of the test
// framework, so the end-to-end helpers and the start-up benchmark use them too.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <optional>
#include <string>

namespace tavro_test {

class TempDir {
public:
    // A new folder named prefix-XXXXXX in `base` (the system's temporary folder by default);
    // check ok() before use.
    explicit TempDir(const std::string& prefix = "tavro-test",
                     const std::filesystem::path& base = std::filesystem::temp_directory_path()) {
        std::string pattern = (base / (prefix + "-XXXXXX")).string();
        if (mkdtemp(pattern.data())) path_ = pattern;
    }
    ~TempDir() {
        if (path_.empty()) return;
        std::error_code ignored;
        // A case may have taken its own rights away.
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all, ignored);
        std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    bool ok() const { return !path_.empty(); }
    const std::string& path() const { return path_; }
    // The path of `name` inside the folder.
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

class ScopedEnv {
public:
    // Leaves `name` as it is for now; it is put back however the scope changes it.
    explicit ScopedEnv(const char* name) : name_(name) {
        if (const char* old = getenv(name)) saved_ = old;
    }
    // Sets `name` to value, or removes it when value is nullopt.
    ScopedEnv(const char* name, const std::optional<std::string>& value) : ScopedEnv(name) {
        Set(value);
    }
    ~ScopedEnv() { Set(saved_); }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

    void Set(const std::optional<std::string>& value) const {
        if (value)
            setenv(name_.c_str(), value->c_str(), 1);
        else
            unsetenv(name_.c_str());
    }

private:
    std::string name_;
    std::optional<std::string> saved_;
};

}  // namespace tavro_test
