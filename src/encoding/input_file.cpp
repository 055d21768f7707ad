#include "encoding/input_file.h"

#include <cerrno>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velmora {

InputFile::InputFile(InputFile&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), size_(other.size_) {}

InputFile& InputFile::operator=(InputFile&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) {
            ::close(fd_);
        }
        fd_ = std::exchange(other.fd_, -1);
        size_ = other.size_;
    }
    return *this;
}

InputFile::~InputFile() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

std::optional<InputFile> InputFile::Open(const std::filesystem::path& file, ReadError& error) {
    // O_NONBLOCK keeps the open of a FIFO without a writer from waiting for
    // one; the descriptor is refused below before anything is read from it.
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        error = ReadError{ReadError::Kind::kSystem, errno};
        return std::nullopt;
    }
    InputFile input(fd, 0);
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        error = ReadError{ReadError::Kind::kSystem, errno};
        return std::nullopt;
    }
    if (!S_ISREG(info.st_mode)) {
        error = ReadError{ReadError::Kind::kNotRegular};
        error.fileType = static_cast<unsigned>(info.st_mode & S_IFMT);
        return std::nullopt;
    }
    // Reads of a regular file never wait anyway; clearing the flag keeps
    // the descriptor ordinary for whoever reads it.
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0) {
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    }
    input.size_ = static_cast<std::uint64_t>(info.st_size);
    return input;
}

std::optional<std::size_t> InputFile::Read(std::span<std::uint8_t> buffer, ReadError& error) {
    for (;;) {
        const ssize_t n = ::read(fd_, buffer.data(), buffer.size());
        if (n >= 0) {
            return static_cast<std::size_t>(n);
        }
        if (errno != EINTR) {
            error = ReadError{ReadError::Kind::kSystem, errno};
            return std::nullopt;
        }
    }
}

bool InputFile::Seek(std::uint64_t offset, ReadError& error) {
    if (::lseek(fd_, static_cast<off_t>(offset), SEEK_SET) < 0) {
        error = ReadError{ReadError::Kind::kSystem, errno};
        return false;
    }
    return true;
}

std::optional<Bytes> ReadInputFile(const std::filesystem::path& file, std::uint64_t maxSize,
                                   ReadError& error) {
    std::optional<InputFile> input = InputFile::Open(file, error);
    if (!input) {
        return std::nullopt;
    }
    const auto too_large = [&](std::uint64_t size) {
        error = ReadError{ReadError::Kind::kTooLarge};
        error.size = size;
        error.limit = maxSize;
        return std::nullopt;
    };
    if (input->Size() > maxSize) {
        return too_large(input->Size());
    }
    // Reads straight into the result: the size known at open plus one byte,
    // so that the end shows in the first pass; a file that grows meanwhile
    // is read on, a block at a time, up to the bound.
    Bytes content(static_cast<std::size_t>(input->Size()) + 1);
    std::size_t used = 0;
    for (;;) {
        if (used == content.size()) {
            if (used > maxSize) {
                return too_large(used);
            }
            content.resize(used + 65536);
        }
        const std::optional<std::size_t> n = input->Read(std::span(content).subspan(used), error);
        if (!n) {
            return std::nullopt;
        }
        if (*n == 0) {
            break;
        }
        used += *n;
    }
    if (used > maxSize) {
        return too_large(used);
    }
    content.resize(used);
    return content;
}

}  // namespace velmora
