#include "forms/instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace forms {

InstanceLock::InstanceLock(std::string path) : path_(std::move(path)) {}

InstanceLock::~InstanceLock() {
    if (fd_ >= 0) ::close(fd_);  // closing drops the lock
}

std::string InstanceLock::DefaultPath() {
    if (const char* forced = std::getenv("TAVRO_INSTANCE_LOCK"); forced && *forced) return forced;
    const std::string name = "tavross-" + std::to_string(::getuid()) + ".lock";
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && *runtime)
        return std::string(runtime) + "/" + name;
    return "/tmp/" + name;
}

bool InstanceLock::Acquire() {
    if (fd_ >= 0) return false;
    // O_NOFOLLOW: in a shared folder such as /tmp a planted link must not redirect us.
    const int fd = ::open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) return false;
    fd_ = fd;
    // Alone when the exclusive lock is granted; every instance then holds a shared one.
    bool others = true;
    int r;
    do {
        r = ::flock(fd_, LOCK_EX | LOCK_NB);
    } while (r != 0 && errno == EINTR);
    if (r == 0) others = false;
    // Another instance's brief exclusive test may be in progress: wait for it to pass.
    do {
        r = ::flock(fd_, LOCK_SH);
    } while (r != 0 && errno == EINTR);
    return others;
}

}  // namespace forms
