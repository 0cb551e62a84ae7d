// The hive file on disk: fresh reads that take every line they can, atomic replacement
// (through a symbolic link to the file it names), and the lock that writers share.
#pragma once

#include <string>

#include "os/hive_format.h"

namespace os::hive {

struct LoadedHive {
    Hive hive;
    Damage damage;  // lines of the file that could not be read
    // False when the file exists but cannot be read at all (not a regular file, no
    // permission, larger than kMaxHiveBytes): nothing it holds is known, and it is never
    // replaced.
    bool readable = true;
};

// Reads the hive at path. A missing file (or an empty path) is an empty hive. Never
// changes the file. The first time a file cannot be read, or holds lines that cannot be,
// one line on stderr says so.
LoadedHive ReadHiveFile(const std::string& path);

// Replaces the file at path with the hive's text, carrying the damage's skipped lines
// forward: a temporary file "<name>.tmp-XXXXXX" with mode 0600 in the folder of the file
// (of the file a symbolic link at path names), written, flushed to disk and renamed over
// it. Creates the folder (mode 0700) when missing. Temporary files of that name left by
// a writer that died are removed first, so the caller must hold the HiveLock. False on
// any failure, the old file then being untouched.
bool WriteHiveFile(const std::string& path, const Hive& hive, const Damage* damage = nullptr);

// An exclusive lock on "<file>.lock" for a read-change-write of the hive, so two
// processes saving at once do not lose each other's values; <file> is the file a symbolic
// link at path names (as WriteHiveFile writes it), so links to one hive share its lock.
// Waits at most wait_ms for a lock another process holds.
class HiveLock {
public:
    HiveLock(const std::string& path, int wait_ms);
    ~HiveLock();
    HiveLock(const HiveLock&) = delete;
    HiveLock& operator=(const HiveLock&) = delete;

    bool held() const { return held_; }

private:
    int fd_ = -1;
    bool held_ = false;
};

}  // namespace os::hive
