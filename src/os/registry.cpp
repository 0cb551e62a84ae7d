#include "os/registry.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <optional>

#include "os/hive_file.h"
#include "os/hive_format.h"

namespace os {
namespace {

// An open key: its path and the hive as it was read when the key was opened (plus this
// process's own writes through it).
struct OpenKey {
    std::string path;
    hive::Hive snapshot;
};

struct Registry {
    std::mutex mutex;
    std::map<HKEY, OpenKey> keys;
    HKEY next_handle = 0x100;
    RegistryHook hook;
};

Registry& State() {
    static Registry registry;
    return registry;
}

std::string EnvOrEmpty(const char* name) {
    const char* v = std::getenv(name);
    return v ? std::string(v) : std::string();
}

LONG RunHook(RegistryOp op, const std::string& key_path, const char* name, bool size_query) {
    RegistryHook hook;
    {
        std::lock_guard lock(State().mutex);
        hook = State().hook;
    }
    if (!hook) return ERROR_SUCCESS;
    return hook(RegistryCall{op, key_path, name ? name : "", size_query});
}

// Caller holds the mutex. Handles are small positive numbers, never 0 and never one of
// the predefined roots (which have the top bit set).
HKEY NewHandle(OpenKey key) {
    Registry& r = State();
    while (r.keys.count(r.next_handle) != 0 || r.next_handle <= 0) {
        r.next_handle = r.next_handle >= 0x7FFFFF00 || r.next_handle <= 0 ? 0x100
                                                                           : r.next_handle + 4;
    }
    const HKEY handle = r.next_handle;
    r.next_handle += 4;
    r.keys.emplace(handle, std::move(key));
    return handle;
}

// Path of an open key or the root, or nothing for a handle that names no open key.
std::optional<std::string> PathOfHandle(HKEY key) {
    if (key == HKEY_CURRENT_USER) return std::string();
    std::lock_guard lock(State().mutex);
    const auto it = State().keys.find(key);
    if (it == State().keys.end()) return std::nullopt;
    return it->second.path;
}

// The full normalised path of subkey below root, or an error code.
LONG ResolvePath(HKEY root, const char* subkey, std::string& path) {
    const auto base = PathOfHandle(root);
    if (!base) return ERROR_INVALID_HANDLE;
    const std::string joined = *base + "\\" + (subkey ? subkey : "");
    const auto normal = hive::NormalizePath(joined);
    if (!normal) return ERROR_INVALID_PARAMETER;
    path = *normal;
    return ERROR_SUCCESS;
}

LONG OpenOrCreate(HKEY root, const char* subkey, HKEY* out, bool create) {
    if (!out) return ERROR_INVALID_PARAMETER;
    *out = 0;
    std::string path;
    if (LONG err = ResolvePath(root, subkey, path)) return err;
    const auto base = PathOfHandle(root);
    if (LONG err = RunHook(create ? RegistryOp::Create : RegistryOp::Open, base.value_or(""),
                           subkey, false))
        return err;

    const std::string file = HivePath();
    hive::LoadedHive loaded;
    if (create) {
        hive::HiveLock lock(file);
        loaded = hive::ReadHiveFile(file);
        if (!loaded.hive.FindKey(path)) {
            if (!loaded.writable) return ERROR_ACCESS_DENIED;
            loaded.hive.CreateKey(path);
            if (!hive::WriteHiveFile(file, loaded.hive)) return ERROR_ACCESS_DENIED;
        }
    } else {
        loaded = hive::ReadHiveFile(file);
        if (!loaded.hive.FindKey(path)) return ERROR_FILE_NOT_FOUND;
    }
    std::lock_guard lock(State().mutex);
    *out = NewHandle(OpenKey{path, std::move(loaded.hive)});
    return ERROR_SUCCESS;
}

}  // namespace

std::string HivePath() {
    const std::string overridden = EnvOrEmpty("TAVRO_HIVE");
    if (!overridden.empty()) return overridden;
    std::string config = EnvOrEmpty("XDG_CONFIG_HOME");
    if (config.empty() || config.front() != '/') {
        std::string home = EnvOrEmpty("HOME");
        if (home.empty()) {
            struct passwd pw {};
            struct passwd* found = nullptr;
            char buf[4096];
            if (::getpwuid_r(::getuid(), &pw, buf, sizeof buf, &found) == 0 && found)
                home = found->pw_dir;
        }
        if (home.empty()) return std::string();
        config = home + "/.config";
    }
    return config + "/tavro-screensaver/user-hive.txt";
}

void SetRegistryHook(RegistryHook hook) {
    std::lock_guard lock(State().mutex);
    State().hook = std::move(hook);
}

LONG RegOpenKeyA(HKEY root, const char* subkey, HKEY* out) {
    return OpenOrCreate(root, subkey, out, false);
}

LONG RegCreateKeyA(HKEY root, const char* subkey, HKEY* out) {
    return OpenOrCreate(root, subkey, out, true);
}

LONG RegQueryValueExA(HKEY key, const char* name, DWORD* reserved, DWORD* type, BYTE* data,
                      DWORD* size) {
    const auto path = PathOfHandle(key);
    if (!path) return ERROR_INVALID_HANDLE;
    if (reserved || (data && !size)) return ERROR_INVALID_PARAMETER;
    if (LONG err = RunHook(RegistryOp::Query, *path, name, data == nullptr)) return err;

    // The root is not opened as a key; it is read afresh for each query.
    std::optional<hive::Hive> fresh;
    if (key == HKEY_CURRENT_USER) fresh = hive::ReadHiveFile(HivePath()).hive;

    std::lock_guard lock(State().mutex);
    const hive::Hive* hive = nullptr;
    if (fresh) {
        hive = &*fresh;
    } else {
        const auto it = State().keys.find(key);
        if (it == State().keys.end()) return ERROR_INVALID_HANDLE;  // closed meanwhile
        hive = &it->second.snapshot;
    }
    const hive::Key* k = hive->FindKey(*path);
    const hive::Value* v = k ? hive::FindValue(*k, name ? name : "") : nullptr;
    if (!v) return ERROR_FILE_NOT_FOUND;

    if (type) *type = v->type;
    const auto length = static_cast<DWORD>(v->data.size());
    if (!data) {
        if (size) *size = length;
        return ERROR_SUCCESS;
    }
    if (*size < length) {
        *size = length;
        return ERROR_MORE_DATA;
    }
    if (length) std::memcpy(data, v->data.data(), length);
    *size = length;
    return ERROR_SUCCESS;
}

LONG RegSetValueExA(HKEY key, const char* name, DWORD reserved, DWORD type, const BYTE* data,
                    DWORD size) {
    const auto path = PathOfHandle(key);
    if (!path) return ERROR_INVALID_HANDLE;
    const std::string value_name = name ? name : "";
    if (reserved != 0 || size > kRegMaxValueBytes || (!data && size != 0) ||
        value_name.size() > hive::kMaxValueNameBytes)
        return ERROR_INVALID_PARAMETER;
    if (LONG err = RunHook(RegistryOp::Set, *path, name, false)) return err;

    const std::string file = HivePath();
    hive::HiveLock file_lock(file);
    hive::LoadedHive loaded = hive::ReadHiveFile(file);
    if (!loaded.writable) return ERROR_ACCESS_DENIED;
    // The key may have vanished from the file since it was opened; writing brings it back.
    hive::SetValue(loaded.hive.CreateKey(*path), value_name, type,
                   std::vector<BYTE>(data, data + size));
    if (hive::SerializeHive(loaded.hive).size() > hive::kMaxHiveBytes)
        return ERROR_NOT_ENOUGH_MEMORY;
    if (!hive::WriteHiveFile(file, loaded.hive)) return ERROR_ACCESS_DENIED;

    std::lock_guard lock(State().mutex);
    const auto it = State().keys.find(key);
    if (it != State().keys.end()) it->second.snapshot = std::move(loaded.hive);
    return ERROR_SUCCESS;
}

LONG RegCloseKey(HKEY key) {
    if (key == HKEY_CURRENT_USER) return ERROR_SUCCESS;
    const auto path = PathOfHandle(key);
    if (!path) return ERROR_INVALID_HANDLE;
    if (LONG err = RunHook(RegistryOp::Close, *path, nullptr, false)) return err;
    std::lock_guard lock(State().mutex);
    State().keys.erase(key);
    return ERROR_SUCCESS;
}

}  // namespace os
