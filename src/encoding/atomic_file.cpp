#include "encoding/atomic_file.h"

#include "encoding/file_descriptor.h"
#include "encoding/input_file.h"

#include <cerrno>
#include <cstdio>
#include <random>
#include <string>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velmora {

namespace {

// The folder that holds the target; "." for a bare file name.
std::filesystem::path FolderOf(const std::filesystem::path& target) {
    std::filesystem::path folder = target.parent_path();
    return folder.empty() ? std::filesystem::path(".") : folder;
}

// Creates a new temporary file next to the target. The name is a dot, the
// target's name (cut, so that a name near the system's limit still leaves
// room) and a random suffix: a leftover after a crash is hidden and easy to
// tell.
int CreateTemporary(const std::filesystem::path& target, mode_t mode,
                    std::filesystem::path& created) {
    const std::filesystem::path folder = FolderOf(target);
    const std::string stem = target.filename().native().substr(0, 200);
    std::random_device random;
    for (int attempt = 0; attempt < 64; ++attempt) {
        char suffix[16];
        std::snprintf(suffix, sizeof suffix, ".%08x.tmp", static_cast<unsigned>(random()));
        std::filesystem::path candidate = folder / ("." + stem + suffix);
        const int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0) {
            created = std::move(candidate);
            return fd;
        }
        if (errno != EEXIST && errno != EINTR) {
            return -1;
        }
    }
    return -1;
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
                            std::optional<std::filesystem::perms> permissions) {
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
    fd_ = CreateTemporary(target, mode, temporary_);
    if (fd_ < 0) {
        error_ = errno;
        return false;
    }
    // The mode given to open is cut by the umask; a forced one is set whole.
    if (forceMode && ::fchmod(fd_, mode) != 0) {
        return Fail();
    }
    return true;
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
    // A late write error can show up only when closing.
    if (::close(std::exchange(fd_, -1)) != 0 ||
        ::rename(temporary_.c_str(), target_.c_str()) != 0) {
        return Fail();
    }
    temporary_.clear();
    SyncFolder(FolderOf(target_));
    return true;
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
