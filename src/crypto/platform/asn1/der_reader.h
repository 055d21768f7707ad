// A small, bounds-checked reader of DER: it walks the elements of a buffer
// one at a time without copying anything. Only definite lengths in their
// shortest form and one-byte identifiers (tag numbers below 31) are accepted;
// a length that runs past the enclosing element is an error, so no element
// it gives ever reaches outside the input.
#pragma once

#include "encoding/bytes.h"

#include <cstdint>

namespace velmora::platform {

namespace der {
inline constexpr std::uint8_t kBoolean = 0x01;
inline constexpr std::uint8_t kInteger = 0x02;
inline constexpr std::uint8_t kBitString = 0x03;
inline constexpr std::uint8_t kOctetString = 0x04;
inline constexpr std::uint8_t kNull = 0x05;
inline constexpr std::uint8_t kOid = 0x06;
inline constexpr std::uint8_t kEnumerated = 0x0A;
inline constexpr std::uint8_t kUtcTime = 0x17;
inline constexpr std::uint8_t kGeneralizedTime = 0x18;
inline constexpr std::uint8_t kSequence = 0x30;
inline constexpr std::uint8_t kSet = 0x31;
// [n] EXPLICIT (context-specific, constructed).
constexpr std::uint8_t ContextConstructed(std::uint8_t n) {
    return static_cast<std::uint8_t>(0xA0 | n);
}
}  // namespace der

// One element: its identifier byte, its content, and the whole encoding
// (identifier, length and content).
struct DerElement {
    std::uint8_t tag = 0;
    ByteView content;
    ByteView encoded;
};

// Why a reader stopped.
enum class DerFault {
    None,
    BadTag,     // an element with another identifier than the one required
    Truncated,  // the input ends inside an element, or where one is required
    Malformed,  // an identifier or length form that DER does not allow
};

class DerReader {
  public:
    explicit DerReader(ByteView data) : rest_(data) {}

    // True when every byte has been read.
    bool AtEnd() const { return rest_.empty(); }
    // True once a malformed element has been met; every read then fails.
    bool Failed() const { return fault_ != DerFault::None; }
    DerFault Fault() const { return fault_; }

    // Reads the next element, whatever its identifier. False at the end or
    // on a malformed element (which also marks the reader as failed).
    bool Next(DerElement& element);

    // Reads the next element when its identifier is the one given; anything
    // else (another identifier, the end, a malformed element) fails the
    // reader.
    bool Read(std::uint8_t tag, DerElement& element);

    // Reads the next element only when it is present with the identifier
    // given. Returns false (without failing the reader) when the next element
    // has another identifier or the input is at its end; check Failed() to
    // tell a malformed element from an absent one.
    bool ReadOptional(std::uint8_t tag, DerElement& element);

    // The identifier of the next element without reading it; 0 at the end.
    std::uint8_t PeekTag() const { return rest_.empty() ? 0 : rest_[0]; }

  private:
    bool Fail(DerFault fault) {
        fault_ = fault;
        rest_ = {};
        return false;
    }

    ByteView rest_;
    DerFault fault_ = DerFault::None;
};

// Reads a DER element that must fill the buffer exactly: one element of the
// identifier given and nothing after it.
bool ReadSingleDer(ByteView data, std::uint8_t tag, DerElement& element);

}  // namespace velmora::platform
