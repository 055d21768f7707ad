// Conversions of the certificate string types into the program's text.
// The program's text is UTF-8 throughout.
#pragma once

#include "encoding/bytes.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace velmora {

// UTF-8 bytes to text: NUL bytes vanish, a malformed or cut-off sequence
// becomes "?", every well-formed character is kept. Each damaged sequence
// gives one "?" and never swallows the character after it.
std::string Utf8ToAnsi(ByteView bytes);

// Big-endian UTF-16 (BMPString) to text: pairs are read while the pair's first
// byte is inside the input; NUL characters vanish; a lone surrogate or a
// trailing odd byte becomes "?". A high surrogate followed by a low one is
// the one character they encode.
std::string BmpToAnsi(ByteView bytes);

// The program's text as UTF-16. A malformed UTF-8 sequence becomes "?".
std::u16string ToWide(std::string_view text);

// The same, also giving the length of the result in bytes (two per UTF-16
// unit, no terminator counted).
std::u16string ToWide(std::string_view text, std::size_t& byteLength);

}  // namespace velmora
