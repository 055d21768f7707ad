// Reading input files: only regular files are read (a folder, a FIFO, a
// device or a socket is refused without waiting on it), and a caller that
// knows how large its objects can be gives a bound, so that a huge file is
// refused before it is read instead of filling the memory.
#pragma once

#include "encoding/bytes.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>

namespace velmora {

// Why a file could not be read.
struct ReadError {
    enum class Kind {
        kSystem,      // the system refused: errorNumber holds its errno
        kNotRegular,  // the name is a folder, a FIFO, a device or a socket
        kTooLarge,    // the file is larger than the caller's bound
    };
    Kind kind = Kind::kSystem;
    int errorNumber = 0;
    // kNotRegular: the file type bits of st_mode (S_IFDIR, S_IFIFO ...).
    unsigned fileType = 0;
    // kTooLarge: the file's size and the bound it exceeds, in bytes.
    std::uint64_t size = 0;
    std::uint64_t limit = 0;
};

// A regular file open for reading. A FIFO or a device is never opened in a
// way that could block: the name is opened without waiting and checked
// before anything is read.
class InputFile {
  public:
    InputFile(InputFile&& other) noexcept;
    InputFile& operator=(InputFile&& other) noexcept;
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;
    ~InputFile();

    // Opens the file; nothing, with the reason in error, when it cannot be
    // opened or is not a regular file.
    static std::optional<InputFile> Open(const std::filesystem::path& file, ReadError& error);

    // The size the file had when it was opened.
    std::uint64_t Size() const { return size_; }

    // Reads up to buffer.size() bytes at the current position: the number
    // read, 0 at the end of the file, nothing (reason in error) on failure.
    std::optional<std::size_t> Read(std::span<std::uint8_t> buffer, ReadError& error);

    // Moves the read position to the offset from the start.
    bool Seek(std::uint64_t offset, ReadError& error);

  private:
    InputFile(int fd, std::uint64_t size) : fd_(fd), size_(size) {}

    int fd_ = -1;
    std::uint64_t size_ = 0;
};

// No bound: the whole file is read whatever its size.
inline constexpr std::uint64_t kNoSizeLimit = UINT64_MAX;

// The whole content of a regular file, or nothing with the reason in error.
// A file larger than maxSize is refused before it is read; a file that grows
// past the bound while it is read is refused too.
std::optional<Bytes> ReadInputFile(const std::filesystem::path& file, std::uint64_t maxSize,
                                   ReadError& error);

}  // namespace velmora
