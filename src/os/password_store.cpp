#include "os/password_store.h"

#include <crypt.h>
#include <string.h>

#include <cstdlib>
#include <optional>
#include <vector>

#include "os/registry.h"

namespace os {

namespace {

// What a read of a desktop value found. Unknown: the hive, or the part of it that
// would hold the value, cannot be read.
enum class Lookup { Found, Missing, Unknown };

Lookup Classify(LONG rc) {
    if (rc == ERROR_SUCCESS) return Lookup::Found;
    return rc == ERROR_BADDB ? Lookup::Unknown : Lookup::Missing;
}

// The raw bytes of a value of the desktop key with their type.
Lookup ReadDesktopValue(const char* name, DWORD* type, std::vector<BYTE>* data) {
    HKEY key = 0;
    Lookup found = Classify(RegOpenKeyA(HKEY_CURRENT_USER, kDesktopKey, &key));
    if (found != Lookup::Found) return found;
    DWORD size = 0;
    found = Classify(RegQueryValueExA(key, name, nullptr, type, nullptr, &size));
    if (found == Lookup::Found) {
        data->assign(size, 0);
        // A value whose data cannot be read is known to exist but not what it says.
        if (size > 0 && RegQueryValueExA(key, name, nullptr, type, data->data(), &size) !=
                            ERROR_SUCCESS)
            found = Lookup::Unknown;
        data->resize(size);
    }
    RegCloseKey(key);
    return found;
}

bool WriteDesktopValue(const char* name, DWORD type, const BYTE* data, DWORD size) {
    HKEY key = 0;
    if (RegCreateKeyA(HKEY_CURRENT_USER, kDesktopKey, &key) != ERROR_SUCCESS) return false;
    const bool written = RegSetValueExA(key, name, 0, type, data, size) == ERROR_SUCCESS;
    RegCloseKey(key);
    return written;
}

// The stored hash ("" when none is stored), or nothing when that cannot be told.
std::optional<std::string> StoredHash() {
    DWORD type = 0;
    std::vector<BYTE> data;
    const Lookup found = ReadDesktopValue(kPasswordHashValue, &type, &data);
    if (found == Lookup::Unknown) return std::nullopt;
    if (found == Lookup::Missing || type != REG_SZ) return std::string();
    std::string text(data.begin(), data.end());
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

// A hash that cannot be read may be there: it counts as a password that nothing matches,
// so a damaged hive never opens the lock.
bool HasSaverPassword() {
    const std::optional<std::string> stored = StoredHash();
    return !stored || !stored->empty();
}

bool CheckSaverPassword(const std::string& plain) {
    const std::optional<std::string> hash = StoredHash();
    if (!hash) return false;
    const std::string& stored = *hash;
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
    std::vector<BYTE> data;
    const Lookup found = ReadDesktopValue(kUsePasswordValue, &type, &data);
    if (found != Lookup::Found) return found == Lookup::Unknown;  // when in doubt, ask
    if (type == REG_SZ || type == REG_EXPAND_SZ) {
        std::string text(data.begin(), data.end());
        return std::atol(text.c_str()) != 0;
    }
    // Any other type is a little-endian number of up to 32 bits.
    DWORD value = 0;
    for (std::size_t i = 0; i < data.size() && i < 4; ++i)
        value |= static_cast<DWORD>(data[i]) << (8 * i);
    return value != 0;
}

void WipeSecret(std::string& secret) {
    if (!secret.empty()) explicit_bzero(secret.data(), secret.size());
    secret.clear();
}

}  // namespace os
