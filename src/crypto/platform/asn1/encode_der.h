// Writing DER: the identifier, the shortest length and the content of one
// element, and the content of the few primitive types the encoders build.
#pragma once

#include "encoding/bytes.h"
#include "encoding/date_time.h"

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string_view>

namespace velmora::platform {

// Appends one element (identifier, length in its shortest form, content).
void AppendDer(Bytes& out, std::uint8_t tag, ByteView content);

// One element as a new buffer.
Bytes Der(std::uint8_t tag, ByteView content);

// A constructed element whose content is the given elements, one after the
// other.
Bytes DerOf(std::uint8_t tag, std::initializer_list<ByteView> parts);

// The content bytes of an OBJECT IDENTIFIER from its dotted text; nullopt
// when the text is no OID (fewer than two arcs, a first arc above 2, a second
// arc above 39 under 0 or 1, an empty or non-decimal arc, an arc above 64
// bits).
std::optional<Bytes> OidContentOfText(std::string_view oid);

// A GeneralizedTime element of a file time: YYYYMMDDHHMMSSZ, with a fraction
// of a second only when it is not zero (trailing zeros dropped). Times after
// 9999 give nullopt.
std::optional<Bytes> GeneralizedTimeDer(FileTime time);

}  // namespace velmora::platform
