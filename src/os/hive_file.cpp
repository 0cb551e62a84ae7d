#include "os/hive_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <ctime>

namespace os::hive {
namespace {

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

// mkdir -p with mode 0700 for the folders it creates.
bool MakeFolders(const std::string& folder) {
    struct stat st {};
    if (::stat(folder.c_str(), &st) == 0) return S_ISDIR(st.st_mode);
    const std::string parent = FolderOf(folder);
    if (parent != folder && !MakeFolders(parent)) return false;
    return ::mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST;
}

enum class ReadResult { Ok, Missing, Failed, TooLarge };

ReadResult ReadWholeFile(const std::string& path, std::string& out) {
    // Non-blocking, so that a FIFO in place of the hive cannot hang the caller.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return errno == ENOENT ? ReadResult::Missing : ReadResult::Failed;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return ReadResult::Failed;
    }
    char buf[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            ::close(fd);
            return ReadResult::Failed;
        }
        if (n == 0) break;
        out.append(buf, static_cast<std::size_t>(n));
        if (out.size() > kMaxHiveBytes) {
            ::close(fd);
            return ReadResult::TooLarge;
        }
    }
    ::close(fd);
    return ReadResult::Ok;
}

// Renames the file to a name of its own beside it, never over another file.
bool MoveAside(const std::string& path) {
    char stamp[32];
    const std::time_t now = std::time(nullptr);
    struct tm tm_now {};
    ::localtime_r(&now, &tm_now);
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &tm_now);
    const std::string base = path + ".unparsable-" + stamp;
    for (int n = 0; n < 1000; ++n) {
        const std::string aside = n == 0 ? base : base + "-" + std::to_string(n);
        if (::renameat2(AT_FDCWD, path.c_str(), AT_FDCWD, aside.c_str(), RENAME_NOREPLACE) ==
            0)
            return true;
        if (errno == EEXIST) continue;
        if (errno == ENOENT) return true;  // another process moved it first
        if (errno != EINVAL && errno != ENOSYS) return false;
        // The file system cannot refuse to replace: check first, then rename.
        struct stat st {};
        if (::lstat(aside.c_str(), &st) == 0) continue;
        return ::rename(path.c_str(), aside.c_str()) == 0;
    }
    return false;
}

bool WriteAll(int fd, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace

LoadedHive ReadHiveFile(const std::string& path) {
    LoadedHive loaded;
    if (path.empty()) {
        loaded.writable = false;
        return loaded;
    }
    std::string text;
    switch (ReadWholeFile(path, text)) {
        case ReadResult::Missing:
            return loaded;
        case ReadResult::Failed:
            loaded.writable = false;
            return loaded;
        case ReadResult::TooLarge:
            loaded.writable = MoveAside(path);
            return loaded;
        case ReadResult::Ok:
            break;
    }
    if (auto hive = ParseHive(text)) {
        loaded.hive = std::move(*hive);
        return loaded;
    }
    loaded.writable = MoveAside(path);
    return loaded;
}

bool WriteHiveFile(const std::string& path, const Hive& hive) {
    if (path.empty()) return false;
    const std::string folder = FolderOf(path);
    if (!MakeFolders(folder)) return false;

    const std::string text = SerializeHive(hive);
    std::string temp = path + ".tmp-XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) return false;
    const bool written = ::fchmod(fd, 0600) == 0 && WriteAll(fd, text) && ::fsync(fd) == 0;
    if (::close(fd) != 0 || !written || ::rename(temp.c_str(), path.c_str()) != 0) {
        ::unlink(temp.c_str());
        return false;
    }
    // Make the rename itself durable.
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

HiveLock::HiveLock(const std::string& path) {
    if (path.empty() || !MakeFolders(FolderOf(path))) return;
    const std::string lock_path = path + ".lock";
    fd_ = ::open(lock_path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd_ < 0) return;
    while (::flock(fd_, LOCK_EX) != 0 && errno == EINTR) {
    }
}

HiveLock::~HiveLock() {
    if (fd_ >= 0) ::close(fd_);  // closing releases the lock
}

}  // namespace os::hive
