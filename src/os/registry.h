// The registry services: keys and typed values under HKEY_CURRENT_USER, kept in a text
// hive file of the user (see HivePath()). Every call returns ERROR_SUCCESS (0) or an
// error code. The hive is read afresh when a key is opened or created, so one process sees
// what another has saved, unless a RegistrySnapshot answers the reads from one reading;
// each write re-reads the hive, changes one value and replaces the file atomically, unless
// a RegistryBatch gathers the writes into one replacement.
#pragma once

#include <functional>
#include <string>

#include "os/types.h"

namespace os {

inline constexpr HKEY HKEY_CURRENT_USER = static_cast<HKEY>(0x80000001u);

inline constexpr DWORD REG_NONE = 0;
inline constexpr DWORD REG_SZ = 1;
inline constexpr DWORD REG_EXPAND_SZ = 2;
inline constexpr DWORD REG_BINARY = 3;
inline constexpr DWORD REG_DWORD = 4;

inline constexpr LONG ERROR_SUCCESS = 0;
inline constexpr LONG ERROR_FILE_NOT_FOUND = 2;    // key or value missing
inline constexpr LONG ERROR_ACCESS_DENIED = 5;     // the hive cannot be written
inline constexpr LONG ERROR_INVALID_HANDLE = 6;    // key 0 or a key that is not open
inline constexpr LONG ERROR_NOT_ENOUGH_MEMORY = 8;  // the hive would outgrow its limit
inline constexpr LONG ERROR_INVALID_PARAMETER = 87;
inline constexpr LONG ERROR_MORE_DATA = 234;       // the caller's buffer is too small
// The hive file, or the part of it that would hold the key or value, cannot be read: the
// answer is unknown (a missing key or value gives ERROR_FILE_NOT_FOUND only when it is
// surely missing).
inline constexpr LONG ERROR_BADDB = 1009;
inline constexpr LONG ERROR_TIMEOUT = 1460;        // another process kept the hive locked

// Opens an existing key below root (an open key or HKEY_CURRENT_USER). Key names are
// separated by "\" and match case-insensitively; an empty or null subkey opens root
// again. On failure *out is set to 0.
LONG RegOpenKeyA(HKEY root, const char* subkey, HKEY* out);
// Opens subkey below root, creating it and every missing key on its path first.
LONG RegCreateKeyA(HKEY root, const char* subkey, HKEY* out);
// Reads the value name (case-insensitive; null or "" is the key's unnamed value).
// reserved must be null. With data null only *type and *size are reported; otherwise
// *size is the buffer's capacity on entry and the data's length on return, and a buffer
// that is too small gives ERROR_MORE_DATA and is left untouched. Data comes back exactly
// as it was stored: a text value keeps or lacks its terminating NUL as written.
LONG RegQueryValueExA(HKEY key, const char* name, DWORD* reserved, DWORD* type, BYTE* data,
                      DWORD* size);
// Stores size bytes of data as value name of any type; reserved must be 0. Values larger
// than kRegMaxValueBytes are refused with ERROR_INVALID_PARAMETER.
LONG RegSetValueExA(HKEY key, const char* name, DWORD reserved, DWORD type, const BYTE* data,
                    DWORD size);
// Closes an open key. Closing 0 or a key that is not open returns ERROR_INVALID_HANDLE and
// does nothing else; closing HKEY_CURRENT_USER does nothing.
LONG RegCloseKey(HKEY key);

inline constexpr DWORD kRegMaxValueBytes = 1u << 20;

// Gathers the RegCreateKeyA and RegSetValueExA calls of its lifetime into one change of
// the hive file, so that a save is stored whole or not at all: it takes the hive lock
// (waiting at most the lock wait) and reads the hive once; the calls change that copy,
// and Commit() writes it in one atomic replacement. Without Commit() nothing is written.
// A batch opened while another is open joins it (its Commit() writes nothing).
class RegistryBatch {
public:
    RegistryBatch();
    ~RegistryBatch();
    RegistryBatch(const RegistryBatch&) = delete;
    RegistryBatch& operator=(const RegistryBatch&) = delete;

    // ERROR_SUCCESS when every gathered call succeeded and the file was written (or
    // nothing needed writing); else the first failure (ERROR_TIMEOUT when the lock was
    // not had in time), and the file is as it was.
    LONG Commit();

private:
    bool owner_ = false;
};

// Answers every key open and value query of its lifetime from one reading of the hive,
// taken when it opens: a reader of several values sees them
// all from one version of the file, never part of an older save and part of a newer one,
// and the file is read and parsed once. It takes no lock, so writers are not held up;
// what this process writes meanwhile is seen. A hive that cannot be read answers
// ERROR_BADDB throughout, as it would call by call. A snapshot opened while another is
// open joins it.
class RegistrySnapshot {
public:
    RegistrySnapshot();
    ~RegistrySnapshot();
    RegistrySnapshot(const RegistrySnapshot&) = delete;
    RegistrySnapshot& operator=(const RegistrySnapshot&) = delete;

private:
    bool owner_ = false;
};

// How long a write waits for the hive lock that another process holds (3000 ms unless
// set) before it fails with ERROR_TIMEOUT.
void SetRegistryLockWait(int milliseconds);

// The hive file: $TAVRO_HIVE when set, else $XDG_CONFIG_HOME (or ~/.config)
// /tavro-screensaver/user-hive.txt.
std::string HivePath();

// Diagnostics and tests: a hook that sees every registry call before it runs. Returning
// ERROR_SUCCESS lets the call go on; any other code makes the call fail with that code.
enum class RegistryOp { Open, Create, Query, Set, Close };
struct RegistryCall {
    RegistryOp op;
    std::string key_path;  // the key the call works on ("" for the root)
    std::string name;      // subkey for Open/Create, value name for Query/Set
    bool size_query;       // Query without a data buffer
};
using RegistryHook = std::function<LONG(const RegistryCall&)>;
void SetRegistryHook(RegistryHook hook);  // an empty hook removes it

}  // namespace os
