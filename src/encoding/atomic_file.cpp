#include "encoding/atomic_file.h"

#include <cerrno>
#include <cstdio>
#include <random>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velmora {

namespace {

// Closes a descriptor when it goes out of scope.
class Descriptor {
  public:
    explicit Descriptor(int fd) : fd_(fd) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    int get() const { return fd_; }
    // Closes now and tells whether the close succeeded (a late write error
    // can show up only here).
    bool Close() {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

  private:
    int fd_;
};

bool WriteAll(int fd, ByteView bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// Creates a new temporary file next to the target; the name starts with a
// dot and the target's name, so a leftover after a crash is easy to tell.
int CreateTemporary(const std::filesystem::path& folder, const std::filesystem::path& name,
                    mode_t mode, std::filesystem::path& created) {
    std::random_device random;
    for (int attempt = 0; attempt < 64; ++attempt) {
        char suffix[16];
        std::snprintf(suffix, sizeof suffix, ".%08x.tmp", static_cast<unsigned>(random()));
        std::filesystem::path candidate = folder / ("." + name.native() + suffix);
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

void SyncFolder(const std::filesystem::path& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);  // the data is already in place; this only makes the rename durable
        ::close(fd);
    }
}

bool WriteAtomic(const std::filesystem::path& target, ByteView bytes,
                 std::optional<std::filesystem::perms> permissions) {
    const std::filesystem::path name = target.filename();
    if (name.empty() || name == "." || name == "..") {
        return false;
    }
    std::filesystem::path folder = target.parent_path();
    if (folder.empty()) {
        folder = ".";
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

    std::filesystem::path temporary;
    Descriptor fd(CreateTemporary(folder, name, mode, temporary));
    if (fd.get() < 0) {
        return false;
    }
    const bool written = (!forceMode || ::fchmod(fd.get(), mode) == 0) &&
                         WriteAll(fd.get(), bytes) && ::fsync(fd.get()) == 0 && fd.Close() &&
                         ::rename(temporary.c_str(), target.c_str()) == 0;
    if (!written) {
        ::unlink(temporary.c_str());
        return false;
    }
    SyncFolder(folder);
    return true;
}

}  // namespace

bool WriteFileAtomic(const std::filesystem::path& target, ByteView bytes) {
    return WriteAtomic(target, bytes, std::nullopt);
}

bool WriteFileAtomic(const std::filesystem::path& target, ByteView bytes,
                     std::filesystem::perms permissions) {
    return WriteAtomic(target, bytes, permissions);
}

std::optional<Bytes> ReadFileBytes(const std::filesystem::path& file) {
    Descriptor fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) {
        return std::nullopt;
    }
    // Reads straight into the result, growing it a block at a time; a regular
    // file usually fills it in one read.
    Bytes content;
    std::size_t block = 65536;
    struct stat info {};
    if (::fstat(fd.get(), &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0) {
        block = static_cast<std::size_t>(info.st_size) + 1;
    }
    std::size_t used = 0;
    for (;;) {
        if (content.size() == used) {
            content.resize(used + block);
        }
        const ssize_t n = ::read(fd.get(), content.data() + used, content.size() - used);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return std::nullopt;
        }
        if (n == 0) {
            break;
        }
        used += static_cast<std::size_t>(n);
    }
    content.resize(used);
    return content;
}

}  // namespace velmora
