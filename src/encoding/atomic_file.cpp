#include "encoding/atomic_file.h"

#include "encoding/file_descriptor.h"
#include "encoding/input_file.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <string>
#include <string_view>
#include <utility>

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velmora {

namespace {

// The folder that holds the target; "." for a bare file name.
std::filesystem::path FolderOf(const std::filesystem::path& target) {
    std::filesystem::path folder = target.parent_path();
    return folder.empty() ? std::filesystem::path(".") : folder;
}

// The name a temporary file takes beside the target: a dot, the target's
// name (cut, so that a name near the system's limit still leaves room) and a
// random suffix, so that one that is left over is hidden and easy to tell.
std::filesystem::path TemporaryName(const std::filesystem::path& target, unsigned random) {
    char suffix[16];
    std::snprintf(suffix, sizeof suffix, ".%08x.tmp", random);
    return FolderOf(target) / ("." + target.filename().native().substr(0, 200) + suffix);
}

// A random suffix for a temporary name. It need not be secret: a name that
// is taken already is tried again.
unsigned RandomSuffix() {
    unsigned value = 0;
    if (::getrandom(&value, sizeof value, GRND_NONBLOCK) != static_cast<ssize_t>(sizeof value)) {
        value = static_cast<unsigned>(::getpid()) * 2654435761u ^
                static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count());
    }
    return value;
}

// True for a name TemporaryName gives: ".<name>.<8 hex digits>.tmp".
bool IsTemporaryName(std::string_view name) {
    constexpr std::size_t kSuffix = 1 + 8 + 4;  // ".xxxxxxxx.tmp"
    if (name.size() < 1 + 1 + kSuffix || name[0] != '.' || !name.ends_with(".tmp")) {
        return false;
    }
    const std::string_view suffix = name.substr(name.size() - kSuffix);
    if (suffix[0] != '.') {
        return false;
    }
    for (const char c : suffix.substr(1, 8)) {
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) {
            return false;
        }
    }
    return true;
}

// A writer holds an exclusive lock on its temporary file from before the
// file has a name (or, where the system offers no unnamed files, from just
// after it is created, while it is still empty) until it is renamed over
// the target. A temporary file that can be locked therefore belongs to a
// writer that died (killed, or the machine stopped): it is removed, unless
// it is still empty and recent, which may be a writer that has not yet
// taken its lock.
void RemoveDeadLeftovers(const std::filesystem::path& folder) {
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) {
        return;
    }
    const int dir_fd = ::dirfd(dir);
    while (const struct dirent* entry = ::readdir(dir)) {
        if (!IsTemporaryName(entry->d_name)) {
            continue;
        }
        const int fd = ::openat(dir_fd, entry->d_name,
                                O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
        if (fd < 0) {
            continue;
        }
        struct stat info {};
        if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) &&
            ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
            (info.st_size > 0 || info.st_mtime + 60 < ::time(nullptr))) {
            ::unlinkat(dir_fd, entry->d_name, 0);
        }
        ::close(fd);
    }
    ::closedir(dir);
}

// Whether unnamed files can be given a name later: linking one needs its
// path under /proc.
bool CanLinkUnnamedFiles() {
    return ::access("/proc/self/fd", X_OK) == 0;
}

}  // namespace

AtomicFileWriter::AtomicFileWriter(AtomicFileWriter&& other) noexcept
    : target_(std::move(other.target_)),
      temporary_(std::exchange(other.temporary_, {})),
      fd_(std::exchange(other.fd_, -1)),
      error_(other.error_) {}

AtomicFileWriter& AtomicFileWriter::operator=(AtomicFileWriter&& other) noexcept {
    if (this != &other) {
        Discard();
        target_ = std::move(other.target_);
        temporary_ = std::exchange(other.temporary_, {});
        fd_ = std::exchange(other.fd_, -1);
        error_ = other.error_;
    }
    return *this;
}

AtomicFileWriter::~AtomicFileWriter() {
    Discard();
}

bool AtomicFileWriter::Open(const std::filesystem::path& target,
                            std::optional<std::filesystem::perms> permissions,
                            LeftoverSweeps* sweeps) {
    Discard();
    target_ = target;
    error_ = 0;
    const std::filesystem::path name = target.filename();
    if (name.empty() || name == "." || name == "..") {
        error_ = EISDIR;
        return false;
    }

    mode_t mode = 0666;
    bool forceMode = false;
    if (permissions) {
        mode = static_cast<mode_t>(*permissions) & 07777;
        forceMode = true;
    } else {
        struct stat existing {};
        if (::stat(target.c_str(), &existing) == 0 && S_ISREG(existing.st_mode)) {
            mode = existing.st_mode & 07777;
            forceMode = true;
        }
    }
    const std::filesystem::path folder = FolderOf(target);
    if (sweeps == nullptr || sweeps->First(folder)) {
        RemoveDeadLeftovers(folder);
    }
    if (!CreateTemporary(mode)) {
        return false;
    }
    // The mode given to open is cut by the umask; a forced one is set whole.
    if (forceMode && ::fchmod(fd_, mode) != 0) {
        return Fail();
    }
    return true;
}

bool AtomicFileWriter::CreateTemporary(mode_t mode) {
    // An unnamed file in the target's folder leaves nothing behind if the
    // process dies before Commit: it gets a name only when it is whole.
    if (CanLinkUnnamedFiles()) {
        fd_ = ::open(FolderOf(target_).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
        if (fd_ >= 0) {
            ::flock(fd_, LOCK_EX);
            return true;
        }
        // Systems and file systems without unnamed files say so in one of
        // these ways; anything else is a real failure.
        if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) {
            error_ = errno;
            return false;
        }
    }
    for (int attempt = 0; attempt < 64; ++attempt) {
        std::filesystem::path candidate = TemporaryName(target_, RandomSuffix());
        fd_ = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd_ >= 0) {
            ::flock(fd_, LOCK_EX);
            temporary_ = std::move(candidate);
            return true;
        }
        if (errno != EEXIST && errno != EINTR) {
            break;
        }
    }
    error_ = errno;
    return false;
}

bool AtomicFileWriter::Write(ByteView bytes) {
    if (fd_ < 0) {
        error_ = error_ != 0 ? error_ : EBADF;
        return false;
    }
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return Fail();
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

bool AtomicFileWriter::Commit() {
    if (fd_ < 0) {
        error_ = error_ != 0 ? error_ : EBADF;
        return false;
    }
    if (::fsync(fd_) != 0) {
        return Fail();
    }
    if (temporary_.empty() && !NameUnnamedFile()) {
        return Fail();
    }
    // The lock is held until the file is in place, so that no other writer
    // takes the named file for a dead one's leftover.
    if (::rename(temporary_.c_str(), target_.c_str()) != 0) {
        return Fail();
    }
    temporary_.clear();
    ::close(std::exchange(fd_, -1));
    SyncFolder(FolderOf(target_));
    return true;
}

bool AtomicFileWriter::NameUnnamedFile() {
    // A new name cannot replace the target in one step, so the file gets a
    // temporary name first and is renamed over the target from it.
    const std::string self = "/proc/self/fd/" + std::to_string(fd_);
    for (int attempt = 0; attempt < 64; ++attempt) {
        std::filesystem::path candidate = TemporaryName(target_, RandomSuffix());
        if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, candidate.c_str(), AT_SYMLINK_FOLLOW) == 0) {
            temporary_ = std::move(candidate);
            return true;
        }
        if (errno != EEXIST && errno != EINTR) {
            return false;
        }
    }
    return false;
}

bool AtomicFileWriter::Fail() {
    error_ = errno;
    Discard();
    return false;
}

void AtomicFileWriter::Discard() {
    if (fd_ >= 0) {
        ::close(std::exchange(fd_, -1));
    }
    if (!temporary_.empty()) {
        ::unlink(temporary_.c_str());
        temporary_.clear();
    }
}

bool WriteFileAtomic(const std::filesystem::path& target, ByteView bytes) {
    AtomicFileWriter writer;
    return writer.Open(target) && writer.Write(bytes) && writer.Commit();
}

bool WriteFileAtomic(const std::filesystem::path& target, ByteView bytes,
                     std::filesystem::perms permissions) {
    AtomicFileWriter writer;
    return writer.Open(target, permissions) && writer.Write(bytes) && writer.Commit();
}

std::optional<Bytes> ReadFileBytes(const std::filesystem::path& file) {
    ReadError error;
    return ReadInputFile(file, kNoSizeLimit, error);
}

}  // namespace velmora
