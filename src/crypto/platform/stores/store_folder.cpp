#include "crypto/platform/stores/store_folder.h"

#include "crypto/platform/system/last_error.h"
#include "encoding/atomic_file.h"
#include "encoding/hex_lines.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <memory>
#include <system_error>
#include <utility>

namespace velmora::platform {
namespace {

class Descriptor {
  public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }
    int release() { return std::exchange(fd_, -1); }

  private:
    int fd_;
};

struct DirCloser {
    void operator()(DIR* dir) const { ::closedir(dir); }
};

bool IsHashStem(std::string_view stem) {
    return stem.size() == 40 && std::all_of(stem.begin(), stem.end(), [](char c) {
               return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
           });
}

// A folder of ours that no one else can change: really a folder (not a link
// to one), owned by the effective user, writable by no one else.
bool IsPrivateFolder(const std::filesystem::path& folder) {
    struct stat info {};
    return ::lstat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode) &&
           info.st_uid == ::geteuid() && (info.st_mode & 022) == 0;
}

bool MakeFolders(const std::filesystem::path& folder) {
    std::error_code ec;
    if (std::filesystem::exists(std::filesystem::symlink_status(folder, ec))) {
        return true;
    }
    const std::filesystem::path parent = folder.parent_path();
    if (!parent.empty() && parent != folder && !MakeFolders(parent)) {
        return false;
    }
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
        SetLastErrorFromErrno(errno);
        return false;
    }
    return true;
}

}  // namespace

void SetLastErrorFromErrno(int error_number) {
    switch (error_number) {
        case ENOENT:
        case ENOTDIR:
            SetLastError(error::kFileNotFound);
            break;
        case EACCES:
        case EPERM:
        case ELOOP:
        case EROFS:
            SetLastError(error::kAccessDenied);
            break;
        case ENOSPC:
        case EDQUOT:
            SetLastError(error::kDiskFull);
            break;
        case EFBIG:
            SetLastError(error::kFileTooLarge);
            break;
        case ENOMEM:
            SetLastError(error::kNoMemory);
            break;
        default:
            SetLastError(error::kFileError);
            break;
    }
}

bool PrepareStoreFolder(const std::filesystem::path& folder) {
    if (!MakeFolders(folder)) {
        return false;
    }
    // A link in place of the store or of the folder of stores would send
    // every write somewhere else, and a folder someone else may write lets
    // them swap the files under us.
    if (!IsPrivateFolder(folder) || !IsPrivateFolder(folder.parent_path())) {
        return Fail(error::kAccessDenied);
    }
    return true;
}

std::optional<std::vector<std::string>> ListStoreFiles(const std::filesystem::path& folder,
                                                       std::string_view suffix) {
    Descriptor fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (fd.get() < 0) {
        SetLastErrorFromErrno(errno);
        return std::nullopt;
    }
    std::unique_ptr<DIR, DirCloser> dir(::fdopendir(fd.get()));
    if (!dir) {
        SetLastErrorFromErrno(errno);
        return std::nullopt;
    }
    fd.release();
    std::vector<std::string> names;
    while (const dirent* entry = ::readdir(dir.get())) {
        const std::string_view name = entry->d_name;
        if (name.size() == 40 + suffix.size() && name.ends_with(suffix) &&
            IsHashStem(name.substr(0, 40))) {
            names.emplace_back(name);
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::optional<Bytes> ReadStoreFile(const std::filesystem::path& folder, const std::string& name) {
    const std::filesystem::path file = folder / name;
    // O_NONBLOCK keeps a FIFO planted in the folder from blocking the open.
    Descriptor fd(::open(file.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (fd.get() < 0) {
        SetLastErrorFromErrno(errno);
        return std::nullopt;
    }
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return Fail(error::kAccessDenied, std::optional<Bytes>());
    }
    if (static_cast<std::uint64_t>(info.st_size) > kMaxStoreFileSize) {
        return Fail(error::kFileTooLarge, std::optional<Bytes>());
    }
    Bytes content(static_cast<std::size_t>(info.st_size) + 1);
    std::size_t used = 0;
    for (;;) {
        const ssize_t n = ::read(fd.get(), content.data() + used, content.size() - used);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return Fail(error::kReadFault, std::optional<Bytes>());
        }
        if (n == 0) {
            break;
        }
        used += static_cast<std::size_t>(n);
        // The file grew after fstat: it is no longer what was measured.
        if (used == content.size()) {
            if (used > kMaxStoreFileSize) {
                return Fail(error::kFileTooLarge, std::optional<Bytes>());
            }
            content.resize(used * 2);
        }
    }
    content.resize(used);
    return content;
}

bool WriteStoreFile(const std::filesystem::path& folder, const std::string& name, ByteView bytes) {
    AtomicFileWriter writer;
    const auto owner_only =
        std::filesystem::perms::owner_read | std::filesystem::perms::owner_write;
    if (!writer.Open(folder / name, owner_only) || !writer.Write(bytes) || !writer.Commit()) {
        SetLastErrorFromErrno(writer.error());
        return false;
    }
    return true;
}

bool RemoveStoreFile(const std::filesystem::path& folder, const std::string& name) {
    if (::unlink((folder / name).c_str()) != 0) {
        SetLastErrorFromErrno(errno);
        return false;
    }
    Descriptor dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() >= 0) {
        ::fsync(dir.get());
    }
    return true;
}

std::string HashFileStem(ByteView sha1) {
    std::string stem;
    for (const std::uint8_t byte : sha1) {
        AppendHexByte(stem, byte);
    }
    return stem;
}

}  // namespace velmora::platform
