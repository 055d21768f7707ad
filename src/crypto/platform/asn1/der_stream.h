// A DER reader over input that arrives a piece at a time (a file read in
// chunks): it reads the header of a large element (the list of a CRL's
// entries) without its content, and the small elements inside it whole, one
// at a time, so that memory holds one element and a chunk, never the input.
// The rules of DerReader apply: definite lengths in their shortest form,
// one-byte identifiers, nothing that runs past its enclosing element.
// Not for use outside the boundary.
#pragma once

#include "crypto/platform/asn1/der_reader.h"
#include "encoding/bytes.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

namespace velmora::platform {

// Fills the buffer as far as it can from the input and gives the number of
// bytes it put there: 0 only at the end of the input. Throws to end the
// reading (the exception passes through the reader to its caller).
using DerChunkSource = std::function<std::size_t(std::span<std::uint8_t>)>;

class DerStream {
  public:
    // The largest element read whole; anything larger is taken as corrupt.
    static constexpr std::size_t kMaxElement = 16 << 20;

    explicit DerStream(DerChunkSource source) : source_(std::move(source)) {}

    // The offset of the next unread byte from the start of the input.
    std::uint64_t Position() const { return offset_ + pos_; }

    // The identifier of the next element, 0 at the end of the input.
    std::uint8_t PeekTag();

    // True when the input is used up.
    bool AtEnd() { return !Fill(1); }

    // Reads the identifier and length of the next element, which must carry
    // the identifier given and end at or before the offset limit; the
    // position is then at its content, which ends at the offset contentEnd.
    bool Header(std::uint8_t tag, std::uint64_t limit, std::uint64_t& contentEnd);

    // Reads the next element whole (it must end at or before the offset
    // limit). Its views stay valid until the next read.
    bool Element(std::uint64_t limit, DerElement& element);

    DerFault Fault() const { return fault_; }
    bool Fail(DerFault fault) {
        fault_ = fault;
        return false;
    }

  private:
    // Makes sure that `size` unread bytes are in the buffer; false when the
    // input ends first.
    bool Fill(std::size_t size);
    // Parses the header at the position: false (fault set) when it is not
    // DER or the input ends inside it.
    bool ParseHeader(std::size_t& headerSize, std::uint64_t& length);

    DerChunkSource source_;
    std::vector<std::uint8_t> buffer_;
    std::size_t pos_ = 0;       // next unread byte in buffer_
    std::size_t end_ = 0;       // end of the bytes read into buffer_
    std::uint64_t offset_ = 0;  // offset of buffer_[0] in the input
    bool ended_ = false;        // the source has said it has no more
    DerFault fault_ = DerFault::None;
};

// A source over bytes already in memory.
DerChunkSource MemoryChunkSource(ByteView bytes);

}  // namespace velmora::platform
