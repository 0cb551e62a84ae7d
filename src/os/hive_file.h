// The hive file on disk: fresh reads, atomic replacement, and keeping a file that cannot
// be parsed aside instead of losing it.
#pragma once

#include <string>

#include "os/hive_format.h"

namespace os::hive {

struct LoadedHive {
    Hive hive;
    // False when the file exists but could be neither read nor moved aside: writing would
    // then replace data we never saw, so writes are refused.
    bool writable = true;
};

// Reads and parses the hive at path. A missing file is an empty hive. A file that cannot
// be parsed (or is larger than kMaxHiveBytes) is renamed to "<path>.unparsable-<time>"
// (with "-<n>" added when that name is taken) and an empty hive is returned.
LoadedHive ReadHiveFile(const std::string& path);

// Replaces the file at path with the hive's text: a temporary file in the same folder with
// mode 0600, written, flushed to disk and renamed over path. Creates the folder (mode
// 0700) when missing. False on any failure, the old file then being untouched.
bool WriteHiveFile(const std::string& path, const Hive& hive);

// Holds an exclusive lock on "<path>.lock" for a read-change-write of the hive, so two
// processes saving at once do not lose each other's values.
class HiveLock {
public:
    explicit HiveLock(const std::string& path);
    ~HiveLock();
    HiveLock(const HiveLock&) = delete;
    HiveLock& operator=(const HiveLock&) = delete;

private:
    int fd_ = -1;
};

}  // namespace os::hive
