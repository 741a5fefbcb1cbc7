#include "registry/hive_file.h"

#include "win32/winerror.h"

#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <string_view>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kavet::platform::registry {

namespace {

constexpr std::string_view kTempInfix = ".tmp-";

std::string folderOf(const std::string& file) {
    return file.substr(0, file.rfind('/'));
}
std::string lockPathOf(const std::string& file) {
    return file + ".lock";
}

// A descriptor that closes itself; closing the lock file's descriptor releases its flock.
class Fd {
public:
    explicit Fd(int fd = -1) : fd_(fd) {}
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    ~Fd() {
        if (fd_ >= 0) ::close(fd_);
    }
    int get() const { return fd_; }
    int release() {
        const int fd = fd_;
        fd_ = -1;
        return fd;
    }

private:
    int fd_;
};

int openLockFile(const std::string& file) {
    return ::open(lockPathOf(file).c_str(), O_RDONLY | O_CREAT | O_CLOEXEC, 0666);
}

bool lock(int fd, int operation) {
    while (::flock(fd, operation) != 0) {
        if (errno != EINTR) return false;
    }
    return true;
}

// The whole file; a file or folder that does not exist reads as empty.
LONG readWhole(const std::string& file, std::string& out) {
    out.clear();
    Fd fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) return (errno == ENOENT || errno == ENOTDIR) ? ERROR_SUCCESS : ERROR_CANTREAD;
    char buffer[16384];
    while (true) {
        const ssize_t count = ::read(fd.get(), buffer, sizeof buffer);
        if (count == 0) return ERROR_SUCCESS;
        if (count < 0) {
            if (errno == EINTR) continue;
            return ERROR_CANTREAD;
        }
        out.append(buffer, static_cast<std::size_t>(count));
    }
}

bool writeWhole(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t count = ::write(fd, bytes.data(), bytes.size());
        if (count < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(count));
    }
    return true;
}

// New files left by a writer that died between creating and renaming them. Only called
// under the exclusive lock, when no other writer has one open.
void removeStaleTempFiles(const std::string& file) {
    const std::string folder = folderOf(file);
    const std::string prefix = file.substr(folder.size() + 1) + std::string(kTempInfix);
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) return;
    while (const dirent* entry = ::readdir(dir)) {
        if (std::string_view(entry->d_name).starts_with(prefix))
            ::unlinkat(::dirfd(dir), entry->d_name, 0);
    }
    ::closedir(dir);
}

void syncFolder(const std::string& folder) {
    Fd fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.get() >= 0) ::fsync(fd.get());
}

// Write to a new file beside the old one, make it durable, then rename it over the old
// one: a reader sees the old file or the new one, never a part of either.
LONG replaceFile(const std::string& file, std::string_view bytes) {
    std::string temp = file + std::string(kTempInfix) + "XXXXXX";
    Fd fd(::mkostemp(temp.data(), O_CLOEXEC));
    if (fd.get() < 0) return ERROR_CANTWRITE;
    struct stat old {};
    if (::stat(file.c_str(), &old) == 0) ::fchmod(fd.get(), old.st_mode & 07777);
    const bool written = writeWhole(fd.get(), bytes) && ::fsync(fd.get()) == 0 &&
                         ::close(fd.release()) == 0 && ::rename(temp.c_str(), file.c_str()) == 0;
    if (!written) {
        ::unlink(temp.c_str());
        return ERROR_CANTWRITE;
    }
    syncFolder(folderOf(file));
    return ERROR_SUCCESS;
}

bool isAbsolute(const char* path) {
    return path != nullptr && path[0] == '/';
}

} // namespace

LONG locateHive(std::string& file) {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    const char* home = std::getenv("HOME");
    if (isAbsolute(config)) {
        file = std::string(config) + "/kavet/registry.txt";
    } else if (isAbsolute(home)) {
        file = std::string(home) + "/.config/kavet/registry.txt";
    } else {
        return ERROR_PATH_NOT_FOUND;
    }
    return ERROR_SUCCESS;
}

LONG readHive(const std::string& file, HiveDocument& doc) {
    Fd lockFd(openLockFile(file));
    if (lockFd.get() >= 0 && !lock(lockFd.get(), LOCK_SH)) return ERROR_CANTREAD;
    std::string text;
    const LONG result = readWhole(file, text);
    if (result != ERROR_SUCCESS) return result;
    doc = HiveDocument::parse(text);
    return ERROR_SUCCESS;
}

LONG updateHive(const std::string& file, const HiveEdit& edit) {
    std::error_code error;
    std::filesystem::create_directories(folderOf(file), error);
    if (error) return ERROR_CANTWRITE;
    Fd lockFd(openLockFile(file));
    if (lockFd.get() < 0 || !lock(lockFd.get(), LOCK_EX)) return ERROR_CANTWRITE;

    std::string text;
    LONG result = readWhole(file, text);
    if (result != ERROR_SUCCESS) return result;
    HiveDocument doc = HiveDocument::parse(text);
    bool changed = false;
    result = edit(doc, changed);
    if (result != ERROR_SUCCESS || !changed) return result;
    removeStaleTempFiles(file);
    return replaceFile(file, doc.serialize());
}

} // namespace kavet::platform::registry
