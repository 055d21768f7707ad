// The low-level readers of DER: lengths and base-128 sub-identifiers.
#pragma once

#include "encoding/bytes.h"

#include <cstddef>
#include <cstdint>
#include <optional>

namespace velmora {

// Reads the length whose first byte is bytes[pos]. limit is the index of the
// last byte the element may occupy (clamped to the last byte of bytes).
// Short form: the byte itself. Long form: 0x80 + n, then n big-endian bytes
// that must lie within the limit. The indefinite marker 0x80 is not supported
// and reads as an empty content. Succeeds when the content (pos + 1 to
// pos + length, with pos at the last length byte) stays within the limit and
// the length fits in 31 bits; then pos is left at the last length byte.
// On failure pos and length are unchanged.
bool ReadDerLength(ByteView bytes, std::size_t& pos, std::size_t& length, std::size_t limit);

// Reads one base-128 sub-identifier starting at bytes[pos] (bytes with the
// top bit set carry on the value) and leaves pos at its last byte. Empty when
// the sub-identifier is cut off by the end of bytes (pos is then at the last
// byte) or when its value needs more than 64 bits. Nothing past bytes is read.
std::optional<std::uint64_t> ReadBase128(ByteView bytes, std::size_t& pos);

}  // namespace velmora
