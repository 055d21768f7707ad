// Data read in pieces: a file streamed from disk or bytes in memory, so that
// signing and verification never need a whole file in memory.
#pragma once

#include "encoding/bytes.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <span>

namespace velmora {

class ByteSource {
  public:
    virtual ~ByteSource() = default;
    // Up to buffer.size() bytes into the buffer: their count, 0 at the end,
    // nothing when reading fails.
    virtual std::optional<std::size_t> Read(std::span<std::uint8_t> buffer) = 0;
    // Starts again from the first byte.
    virtual bool Rewind() = 0;
    // The number of bytes from the first to the end.
    virtual std::uint64_t Size() const = 0;
};

class MemorySource : public ByteSource {
  public:
    explicit MemorySource(ByteView bytes) : bytes_(bytes) {}
    std::optional<std::size_t> Read(std::span<std::uint8_t> buffer) override;
    bool Rewind() override;
    std::uint64_t Size() const override { return bytes_.size(); }

  private:
    ByteView bytes_;
    std::size_t position_ = 0;
};

// A regular file opened for reading; Open fails for a missing file, a
// folder or a file that cannot be read.
class FileSource : public ByteSource {
  public:
    static std::unique_ptr<FileSource> Open(const std::filesystem::path& file);
    ~FileSource() override;
    FileSource(const FileSource&) = delete;
    FileSource& operator=(const FileSource&) = delete;

    std::optional<std::size_t> Read(std::span<std::uint8_t> buffer) override;
    bool Rewind() override;
    std::uint64_t Size() const override { return size_; }

  private:
    FileSource(int fd, std::uint64_t size) : fd_(fd), size_(size) {}
    int fd_;
    std::uint64_t size_;
};

// Where produced bytes go, piece by piece; false stops the producer.
using ByteSink = std::function<bool(ByteView)>;

// The size of the pieces the streaming readers use.
inline constexpr std::size_t kStreamChunk = 1 << 20;

// Calls `piece` with every piece of the source from its start; false when
// reading fails or `piece` refuses.
bool ForEachPiece(ByteSource& source, const std::function<bool(ByteView)>& piece);

}  // namespace velmora
