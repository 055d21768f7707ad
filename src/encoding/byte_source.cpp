#include "encoding/byte_source.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

namespace velmora {

std::optional<std::size_t> MemorySource::Read(std::span<std::uint8_t> buffer) {
    const std::size_t count = std::min(buffer.size(), bytes_.size() - position_);
    std::copy_n(bytes_.begin() + static_cast<std::ptrdiff_t>(position_), count, buffer.begin());
    position_ += count;
    return count;
}

bool MemorySource::Rewind() {
    position_ = 0;
    return true;
}

std::unique_ptr<FileSource> FileSource::Open(const std::filesystem::path& file) {
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return nullptr;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return nullptr;
    }
    // The file is read from start to end once or twice: let the kernel read ahead.
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    return std::unique_ptr<FileSource>(
        new FileSource(fd, static_cast<std::uint64_t>(info.st_size)));
}

FileSource::~FileSource() {
    ::close(fd_);
}

std::optional<std::size_t> FileSource::Read(std::span<std::uint8_t> buffer) {
    for (;;) {
        const ssize_t got = ::read(fd_, buffer.data(), buffer.size());
        if (got >= 0) {
            return static_cast<std::size_t>(got);
        }
        if (errno != EINTR) {
            return std::nullopt;
        }
    }
}

bool FileSource::Rewind() {
    return ::lseek(fd_, 0, SEEK_SET) == 0;
}

bool ForEachPiece(ByteSource& source, const std::function<bool(ByteView)>& piece) {
    if (!source.Rewind()) {
        return false;
    }
    std::vector<std::uint8_t> buffer(static_cast<std::size_t>(
        std::min<std::uint64_t>(kStreamChunk, std::max<std::uint64_t>(source.Size(), 1))));
    for (;;) {
        const auto got = source.Read(buffer);
        if (!got) {
            return false;
        }
        if (*got == 0) {
            return true;
        }
        if (!piece(ByteView(buffer.data(), *got))) {
            return false;
        }
    }
}

}  // namespace velmora
