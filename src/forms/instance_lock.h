// One lock file shared by every instance of the program for one user: each running instance
// holds a shared lock on it; an instance starting up first tries for an exclusive lock,
// which it only gets when no other instance holds the file.
#pragma once

#include <string>

namespace forms {

class InstanceLock {
public:
    explicit InstanceLock(std::string path);
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;
    ~InstanceLock();  // releases the lock

    // Joins the running instances. Returns true when another holder was there already.
    // A lock file that cannot be opened counts as no other instance.
    bool Acquire();
    bool Held() const { return fd_ >= 0; }

    // $TAVRO_INSTANCE_LOCK, else "tavross-<uid>.lock" in $XDG_RUNTIME_DIR, else in /tmp.
    static std::string DefaultPath();

private:
    std::string path_;
    int fd_ = -1;
};

}  // namespace forms
