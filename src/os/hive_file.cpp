#include "os/hive_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstring>
#include <set>
#include <thread>

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

enum class FileRead { Ok, Missing, Failed, TooLarge };

// Non-blocking, so that a FIFO in place of the hive cannot hang the caller. *why tells
// a failure.
FileRead ReadWholeFile(const std::string& path, std::string& out, std::string* why) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        *why = std::strerror(errno);
        return errno == ENOENT ? FileRead::Missing : FileRead::Failed;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        *why = "not a regular file";
        ::close(fd);
        return FileRead::Failed;
    }
    char buf[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            *why = std::strerror(errno);
            ::close(fd);
            return FileRead::Failed;
        }
        if (n == 0) break;
        out.append(buf, static_cast<std::size_t>(n));
        if (out.size() > kMaxHiveBytes) {
            *why = "larger than " + std::to_string(kMaxHiveBytes >> 20) + " MiB";
            ::close(fd);
            return FileRead::TooLarge;
        }
    }
    ::close(fd);
    return FileRead::Ok;
}

// One line on stderr for each file and kind of trouble, however often it is read.
void ReportOnce(const std::string& path, const char* kind, const std::string& line) {
    static std::set<std::string> told;
    if (!told.insert(std::string(kind) + '\n' + path).second) return;
    std::fprintf(stderr, "TavroSS: %s\n", line.c_str());
}

// The file a path names, through symbolic links; the path itself when it is none. A
// dangling link gives the file it would name.
std::string ResolveLinks(const std::string& path) {
    std::string current = path;
    for (int depth = 0; depth < 40; ++depth) {
        struct stat st {};
        if (::lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return current;
        char target[PATH_MAX];
        const ssize_t n = ::readlink(current.c_str(), target, sizeof target - 1);
        if (n <= 0) return current;
        const std::string link(target, static_cast<std::size_t>(n));
        current = link.front() == '/' ? link : FolderOf(current) + "/" + link;
    }
    return current;
}

// Temporary files of the hive's name in its folder: every writer takes the lock before
// it makes one and removes it before it lets go, so those seen under the lock are the
// leftovers of writers that died.
void RemoveDeadTemporaries(const std::string& target) {
    const std::string folder = FolderOf(target);
    const std::size_t slash = target.rfind('/');
    const std::string prefix =
        (slash == std::string::npos ? target : target.substr(slash + 1)) + ".tmp-";
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.size() == prefix.size() + 6 && name.compare(0, prefix.size(), prefix) == 0)
            ::unlinkat(::dirfd(dir), name.c_str(), 0);
    }
    ::closedir(dir);
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
    if (path.empty()) return loaded;
    std::string text, why;
    switch (ReadWholeFile(path, text, &why)) {
        case FileRead::Missing:
            return loaded;
        case FileRead::Failed:
        case FileRead::TooLarge:
            loaded.readable = false;
            ReportOnce(path, "unreadable",
                       "cannot read the settings file " + path + " (" + why +
                           "): its settings are unknown and it is left as it is");
            return loaded;
        case FileRead::Ok:
            break;
    }
    ReadResult read = ReadHive(text);
    loaded.hive = std::move(read.hive);
    loaded.damage = std::move(read.damage);
    if (!loaded.damage.empty())
        ReportOnce(path, "damaged",
                   "skipped " + std::to_string(loaded.damage.skipped()) +
                       " line(s) of the settings file " + path +
                       " that cannot be read; they are kept in the file");
    return loaded;
}

bool WriteHiveFile(const std::string& path, const Hive& hive, const Damage* damage) {
    if (path.empty()) return false;
    const std::string target = ResolveLinks(path);
    const std::string folder = FolderOf(target);
    if (!MakeFolders(folder)) return false;
    RemoveDeadTemporaries(target);

    const std::string text = SerializeHive(hive, damage);
    std::string temp = target + ".tmp-XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) return false;
    const bool written = ::fchmod(fd, 0600) == 0 && WriteAll(fd, text) && ::fsync(fd) == 0;
    if (::close(fd) != 0 || !written || ::rename(temp.c_str(), target.c_str()) != 0) {
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

HiveLock::HiveLock(const std::string& path, int wait_ms) {
    if (path.empty()) return;
    // Beside the file that is written, so that every link to one hive shares one lock.
    const std::string target = ResolveLinks(path);
    if (!MakeFolders(FolderOf(target))) return;
    const std::string lock_path = target + ".lock";
    fd_ = ::open(lock_path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd_ < 0) return;
    // Polled, so that a process that keeps the lock cannot freeze a dialog.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(wait_ms);
    for (;;) {
        if (::flock(fd_, LOCK_EX | LOCK_NB) == 0) {
            held_ = true;
            return;
        }
        if (errno != EWOULDBLOCK && errno != EINTR) return;
        if (std::chrono::steady_clock::now() >= deadline) return;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}
HiveLock::~HiveLock() {
    if (fd_ >= 0) ::close(fd_);  // closing releases the lock
}

}  // namespace os::hive
