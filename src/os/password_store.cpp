#include "os/password_store.h"

#include <crypt.h>
#include <string.h>

#include <cstdlib>
#include <optional>
#include <vector>

#include "os/registry.h"

namespace os {

namespace {

// The desktop key, opened (created if need be); 0 when the hive cannot be reached.
class DesktopKey {
public:
    explicit DesktopKey(bool create) {
        LONG rc = create ? RegCreateKeyA(HKEY_CURRENT_USER, kDesktopKey, &key_)
                         : RegOpenKeyA(HKEY_CURRENT_USER, kDesktopKey, &key_);
        if (rc != ERROR_SUCCESS) key_ = 0;
    }
    ~DesktopKey() {
        if (key_) RegCloseKey(key_);
    }
    DesktopKey(const DesktopKey&) = delete;
    DesktopKey& operator=(const DesktopKey&) = delete;
    HKEY get() const { return key_; }

private:
    HKEY key_ = 0;
};

// The raw bytes of a value of the desktop key with their type, nullopt when missing.
std::optional<std::vector<BYTE>> ReadDesktopValue(const char* name, DWORD* type) {
    DesktopKey key(false);
    if (!key.get()) return std::nullopt;
    DWORD size = 0;
    if (RegQueryValueExA(key.get(), name, nullptr, type, nullptr, &size) != ERROR_SUCCESS)
        return std::nullopt;
    std::vector<BYTE> data(size);
    if (size > 0 &&
        RegQueryValueExA(key.get(), name, nullptr, type, data.data(), &size) != ERROR_SUCCESS)
        return std::nullopt;
    data.resize(size);
    return data;
}

bool WriteDesktopValue(const char* name, DWORD type, const BYTE* data, DWORD size) {
    DesktopKey key(true);
    return key.get() && RegSetValueExA(key.get(), name, 0, type, data, size) == ERROR_SUCCESS;
}

std::string StoredHash() {
    DWORD type = 0;
    std::optional<std::vector<BYTE>> data = ReadDesktopValue(kPasswordHashValue, &type);
    if (!data || type != REG_SZ) return {};
    std::string text(data->begin(), data->end());
    text.resize(text.find('\0') == std::string::npos ? text.size() : text.find('\0'));
    return text;
}

// crypt(3) of plain with setting (a salt or a full hash); nullopt on failure. The work
// area that held the password is wiped before it is freed.
std::optional<std::string> Crypt(const std::string& plain, const char* setting) {
    void* work = nullptr;
    int work_size = 0;
    const char* out = crypt_ra(plain.c_str(), setting, &work, &work_size);
    std::optional<std::string> result;
    if (out && out[0] != '*') result = std::string(out);
    if (work) {
        explicit_bzero(work, static_cast<size_t>(work_size));
        std::free(work);
    }
    return result;
}

// Equal-length texts are compared in time that does not depend on where they differ.
bool ConstantTimeEqual(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    unsigned char diff = 0;
    for (std::size_t i = 0; i < a.size(); ++i)
        diff |= static_cast<unsigned char>(a[i] ^ b[i]);
    return diff == 0;
}

}  // namespace

bool HasSaverPassword() { return !StoredHash().empty(); }

bool CheckSaverPassword(const std::string& plain) {
    std::string stored = StoredHash();
    if (stored.empty()) return plain.empty();
    // A password with an embedded NUL could only be checked by its first part.
    if (plain.find('\0') != std::string::npos) return false;
    std::optional<std::string> computed = Crypt(plain, stored.c_str());
    return computed && ConstantTimeEqual(*computed, stored);
}

bool SetSaverPassword(const std::string& plain) {
    std::string hash;
    if (!plain.empty()) {
        if (plain.find('\0') != std::string::npos) return false;
        char* setting = crypt_gensalt_ra("$y$", 0, nullptr, 0);
        if (!setting) return false;
        std::optional<std::string> computed = Crypt(plain, setting);
        std::free(setting);
        if (!computed) return false;
        hash = *computed;
    }
    // Stored with its terminating NUL, as text values usually are.
    return WriteDesktopValue(kPasswordHashValue, REG_SZ,
                             reinterpret_cast<const BYTE*>(hash.c_str()),
                             static_cast<DWORD>(hash.size() + 1));
}

bool SetPasswordRequired(bool required) {
    DWORD value = required ? 1 : 0;
    BYTE bytes[4] = {static_cast<BYTE>(value), 0, 0, 0};
    return WriteDesktopValue(kUsePasswordValue, REG_DWORD, bytes, sizeof bytes);
}

bool PasswordRequired() {
    DWORD type = 0;
    std::optional<std::vector<BYTE>> data = ReadDesktopValue(kUsePasswordValue, &type);
    if (!data) return false;
    if (type == REG_SZ || type == REG_EXPAND_SZ) {
        std::string text(data->begin(), data->end());
        return std::atol(text.c_str()) != 0;
    }
    // Any other type is a little-endian number of up to 32 bits.
    DWORD value = 0;
    for (std::size_t i = 0; i < data->size() && i < 4; ++i)
        value |= static_cast<DWORD>((*data)[i]) << (8 * i);
    return value != 0;
}

void WipeSecret(std::string& secret) {
    if (!secret.empty()) explicit_bzero(secret.data(), secret.size());
    secret.clear();
}

}  // namespace os
