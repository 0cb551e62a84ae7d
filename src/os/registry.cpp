#include "os/registry.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <optional>

#include "os/hive_file.h"
#include "os/hive_format.h"

namespace os {
namespace {

// A hive as read (plus this process's own writes), shared by the keys opened on it.
using HiveView = std::shared_ptr<const hive::LoadedHive>;

// An open key: its path and the hive as it was read when the key was opened (plus this
// process's own writes through it).
struct OpenKey {
    std::string path;
    HiveView view;
};

// The open RegistrySnapshot: the file it read and what it read there.
struct Snapshot {
    std::string file;
    HiveView view;
};

// The open RegistryBatch: the lock it holds and the hive it changes.
struct Batch {
    std::string file;
    std::unique_ptr<hive::HiveLock> lock;
    hive::LoadedHive loaded;
    LONG error = ERROR_SUCCESS;
    bool changed = false;
};

struct Registry {
    std::map<HKEY, OpenKey> keys;
    HKEY next_handle = 0x100;
    RegistryHook hook;
    std::unique_ptr<Batch> batch;
    std::optional<Snapshot> snapshot;
    int lock_wait_ms = 3000;
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
    const RegistryHook hook = State().hook;  // a copy: the hook may replace itself
    if (!hook) return ERROR_SUCCESS;
    return hook(RegistryCall{op, key_path, name ? name : "", size_query});
}

// Handles are small positive numbers, never 0 and never one of the predefined roots (which
// have the top bit set).
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

// The hive as a reader sees it now: the open snapshot's, or the file read afresh.
HiveView ReadView() {
    const std::string file = HivePath();
    const auto& snapshot = State().snapshot;
    if (snapshot && snapshot->file == file) return snapshot->view;
    return std::make_shared<const hive::LoadedHive>(hive::ReadHiveFile(file));
}

// After a write has replaced the file, the open snapshot of it sees the hive as written.
void NoteWritten(const std::string& file, const hive::LoadedHive& written) {
    auto& snapshot = State().snapshot;
    if (snapshot && snapshot->file == file)
        snapshot->view = std::make_shared<const hive::LoadedHive>(written);
}

int LockWait() {
    return State().lock_wait_ms;
}

// Why a hive read under the lock cannot be changed and written back, or ERROR_SUCCESS.
LONG WriteRefusal(const hive::HiveLock& lock, const hive::LoadedHive& loaded) {
    if (!lock.held()) return ERROR_TIMEOUT;
    return loaded.readable ? ERROR_SUCCESS : ERROR_ACCESS_DENIED;
}

// Runs change (which tells whether it changed anything) on the hive as it stands and
// stores the result: in the open batch, or by a read-change-write of its own under the
// hive lock. *result receives the hive and its damage as they then stand.
LONG ChangeHive(const std::function<bool(hive::Hive&)>& change, HiveView* result) {
    Batch* batch = State().batch.get();
    std::optional<hive::HiveLock> own_lock;
    hive::LoadedHive own;
    hive::LoadedHive* loaded = &own;
    const std::string file = HivePath();
    if (batch) {
        if (batch->error != ERROR_SUCCESS) return batch->error;
        loaded = &batch->loaded;
    } else {
        own_lock.emplace(file, LockWait());
        if (own_lock->held()) own = hive::ReadHiveFile(file);
        if (LONG err = WriteRefusal(*own_lock, own)) return err;
    }
    hive::Hive changed = loaded->hive;
    if (change(changed)) {
        if (hive::SerializeHive(changed, &loaded->damage).size() > hive::kMaxHiveBytes)
            return ERROR_NOT_ENOUGH_MEMORY;
        if (batch) batch->changed = true;
        else if (!hive::WriteHiveFile(file, changed, &loaded->damage)) return ERROR_ACCESS_DENIED;
        loaded->hive = std::move(changed);
        if (!batch) NoteWritten(file, *loaded);
    }
    if (result) *result = std::make_shared<const hive::LoadedHive>(*loaded);
    return ERROR_SUCCESS;
}

// A failure inside an open batch spoils the whole batch.
LONG Spoil(LONG err) {
    Batch* batch = State().batch.get();
    if (err != ERROR_SUCCESS && batch && batch->error == ERROR_SUCCESS) batch->error = err;
    return err;
}

LONG OpenOrCreate(HKEY root, const char* subkey, HKEY* out, bool create) {
    if (!out) return ERROR_INVALID_PARAMETER;
    *out = 0;
    std::string path;
    if (LONG err = ResolvePath(root, subkey, path)) return create ? Spoil(err) : err;
    const auto base = PathOfHandle(root);
    if (LONG err = RunHook(create ? RegistryOp::Create : RegistryOp::Open, base.value_or(""),
                           subkey, false))
        return create ? Spoil(err) : err;

    OpenKey opened{path, nullptr};
    if (create) {
        const LONG err = ChangeHive(
            [&](hive::Hive& h) {
                if (h.FindKey(path)) return false;
                h.CreateKey(path);
                return true;
            },
            &opened.view);
        if (err) return Spoil(err);
    } else {
        opened.view = ReadView();
        const hive::LoadedHive& loaded = *opened.view;
        if (!loaded.readable) return ERROR_BADDB;
        if (!loaded.hive.FindKey(path))
            return loaded.damage.MayHide(hive::FoldCase(path), true) ? ERROR_BADDB
                                                                     : ERROR_FILE_NOT_FOUND;
    }
    *out = NewHandle(std::move(opened));
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

RegistryBatch::RegistryBatch() {
    if (State().batch) return;  // joins the open one
    owner_ = true;
    auto batch = std::make_unique<Batch>();
    batch->file = HivePath();
    batch->lock = std::make_unique<hive::HiveLock>(batch->file, LockWait());
    if (batch->lock->held()) batch->loaded = hive::ReadHiveFile(batch->file);
    batch->error = WriteRefusal(*batch->lock, batch->loaded);
    State().batch = std::move(batch);
}

RegistrySnapshot::RegistrySnapshot() {
    if (State().snapshot) return;  // joins the open one
    Snapshot snapshot{HivePath(), nullptr};
    snapshot.view = std::make_shared<const hive::LoadedHive>(hive::ReadHiveFile(snapshot.file));
    State().snapshot = std::move(snapshot);
    owner_ = true;
}

RegistrySnapshot::~RegistrySnapshot() {
    if (!owner_) return;
    State().snapshot.reset();
}

RegistryBatch::~RegistryBatch() {
    if (owner_) State().batch.reset();  // releases the lock
}

LONG RegistryBatch::Commit() {
    Batch* batch = State().batch.get();
    if (!owner_ || !batch) return batch ? batch->error : ERROR_SUCCESS;
    LONG err = batch->error;
    if (err == ERROR_SUCCESS && batch->changed) {
        if (hive::WriteHiveFile(batch->file, batch->loaded.hive, &batch->loaded.damage))
            NoteWritten(batch->file, batch->loaded);
        else
            err = ERROR_ACCESS_DENIED;
    }
    State().batch.reset();
    owner_ = false;
    return err;
}

void SetRegistryLockWait(int milliseconds) {
    State().lock_wait_ms = milliseconds;
}

void SetRegistryHook(RegistryHook hook) {
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

    // The root is not opened as a key; it is read afresh (or from the snapshot) for each
    // query.
    HiveView view;
    if (key == HKEY_CURRENT_USER) {
        view = ReadView();
        if (!view->readable) return ERROR_BADDB;
    } else {
        const auto it = State().keys.find(key);
        if (it == State().keys.end()) return ERROR_INVALID_HANDLE;  // closed meanwhile
        view = it->second.view;
    }
    const hive::Hive* hive = &view->hive;
    const hive::Damage* damage = &view->damage;
    const hive::Key* k = hive->FindKey(*path);
    const hive::Value* v = k ? hive::FindValue(*k, name ? name : "") : nullptr;
    if (!v) {
        return damage->MayHide(hive::FoldCase(*path), k == nullptr) ? ERROR_BADDB
                                                                    : ERROR_FILE_NOT_FOUND;
    }

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
        return Spoil(ERROR_INVALID_PARAMETER);
    if (LONG err = RunHook(RegistryOp::Set, *path, name, false)) return Spoil(err);

    HiveView changed;
    const LONG err = ChangeHive(
        [&](hive::Hive& h) {
            // The key may have vanished from the file since it was opened; writing brings
            // it back.
            hive::SetValue(h.CreateKey(*path), value_name, type,
                           std::vector<BYTE>(data, data + size));
            return true;
        },
        &changed);
    if (err) return Spoil(err);

    const auto it = State().keys.find(key);
    if (it != State().keys.end()) it->second.view = std::move(changed);
    return ERROR_SUCCESS;
}

LONG RegCloseKey(HKEY key) {
    if (key == HKEY_CURRENT_USER) return ERROR_SUCCESS;
    const auto path = PathOfHandle(key);
    if (!path) return ERROR_INVALID_HANDLE;
    if (LONG err = RunHook(RegistryOp::Close, *path, nullptr, false)) return err;
    State().keys.erase(key);
    return ERROR_SUCCESS;
}

}  // namespace os
