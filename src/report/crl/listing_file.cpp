#include "report/crl/listing_file.h"

#include "crypto/platform/last_error.h"
#include "encoding/cp1251.h"
#include "encoding/error.h"

#include <cerrno>
#include <cstdio>
#include <random>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velmora {
namespace {

// Text is converted and written in pieces of about this size.
constexpr std::size_t kChunk = 1 << 16;

// The system's Russian text for a file error, as the platform words the
// errors it maps to.
std::string FileErrorText(int error_number) {
    switch (error_number) {
        case EACCES:
        case EPERM:
        case EROFS:
        case EISDIR:
        case ENOTDIR:
        case EEXIST:
            return platform::ErrorMessageText(platform::error::kAccessDenied);
        case ENOENT:
            return platform::ErrorMessageText(platform::error::kFileNotFound);
        default:
            return std::string("Ошибка ввода-вывода (") + std::to_string(error_number) + ").";
    }
}

int CreateTemporary(const std::filesystem::path& target, std::filesystem::path& created) {
    std::filesystem::path folder = target.parent_path();
    if (folder.empty()) {
        folder = ".";
    }
    mode_t mode = 0666;  // less the umask
    struct stat existing {};
    const bool keepMode = ::stat(target.c_str(), &existing) == 0 && S_ISREG(existing.st_mode);
    if (keepMode) {
        mode = existing.st_mode & 07777;
    }
    // A dot, the target's name (cut, so that a name near the system's limit
    // still leaves room) and a random suffix: a leftover after a crash is
    // hidden and easy to tell.
    const std::string stem = target.filename().native().substr(0, 200);
    std::random_device random;
    for (int attempt = 0; attempt < 64; ++attempt) {
        char suffix[16];
        std::snprintf(suffix, sizeof suffix, ".%08x.tmp", static_cast<unsigned>(random()));
        std::filesystem::path candidate = folder / ("." + stem + suffix);
        const int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0) {
            if (keepMode && ::fchmod(fd, mode) != 0) {
                const int saved = errno;
                ::close(fd);
                ::unlink(candidate.c_str());
                errno = saved;
                return -1;
            }
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

ListingFile::ListingFile(std::filesystem::path target) : target_(std::move(target)) {
    const std::filesystem::path name = target_.filename();
    if (name.empty() || name == "." || name == "..") {
        Raise(EISDIR);
    }
    fd_ = CreateTemporary(target_, temporary_);
    if (fd_ < 0) {
        Raise(errno);
    }
    pending_.reserve(kChunk + 256);
}

ListingFile::~ListingFile() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
    if (!committed_ && !temporary_.empty()) {
        ::unlink(temporary_.c_str());
    }
}

void ListingFile::WriteLine(std::string_view line) {
    pending_.append(line);
    pending_.append("\r\n");
    if (pending_.size() >= kChunk) {
        Flush();
    }
}

void ListingFile::Flush() {
    // Most of a listing is ASCII (serial numbers, dates), which is the same
    // in Windows-1251: only the runs of other characters need converting.
    // Lines end where the text is cut, so no character is split.
    Bytes bytes;
    bytes.reserve(pending_.size());
    std::size_t pos = 0;
    while (pos < pending_.size()) {
        std::size_t end = pos;
        while (end < pending_.size() && static_cast<unsigned char>(pending_[end]) < 0x80) {
            ++end;
        }
        bytes.insert(bytes.end(), pending_.begin() + static_cast<std::ptrdiff_t>(pos),
                     pending_.begin() + static_cast<std::ptrdiff_t>(end));
        pos = end;
        while (end < pending_.size() && static_cast<unsigned char>(pending_[end]) >= 0x80) {
            ++end;
        }
        if (end > pos) {
            const Bytes converted = Utf8ToCp1251(std::string_view(pending_).substr(pos, end - pos));
            bytes.insert(bytes.end(), converted.begin(), converted.end());
            pos = end;
        }
    }
    pending_.clear();
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            Raise(errno);
        }
        done += static_cast<std::size_t>(n);
    }
}

void ListingFile::Commit() {
    Flush();
    if (::fsync(fd_) != 0) {
        Raise(errno);
    }
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) {
        Raise(errno);  // a late write error can show up only here
    }
    if (::rename(temporary_.c_str(), target_.c_str()) != 0) {
        Raise(errno);
    }
    committed_ = true;
    std::filesystem::path folder = target_.parent_path();
    if (folder.empty()) {
        folder = ".";
    }
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);  // the file is in place; this only makes the rename durable
        ::close(dir);
    }
}

void ListingFile::Raise(int error_number) {
    throw Error("Не удается записать файл \"" + target_.string() + "\". " +
                FileErrorText(error_number));
}

}  // namespace velmora
