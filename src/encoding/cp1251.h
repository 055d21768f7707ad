// Windows-1251, the encoding of the text files that other programs read or
// write (the CRL listing, the extended-key-usage catalogue). Inside the
// program every text is UTF-8; these convert at the file boundary.
#pragma once

#include "encoding/bytes.h"

#include <optional>
#include <string>
#include <string_view>

namespace velmora {

// Windows-1251 bytes to UTF-8. Every byte has a character (0x98, unassigned,
// becomes U+0098, as the platform's own conversion gives it).
std::string Cp1251ToUtf8(ByteView bytes);

// UTF-8 to Windows-1251 bytes. A character that Windows-1251 lacks, and a
// malformed UTF-8 sequence, become "?".
Bytes Utf8ToCp1251(std::string_view text);

// The Windows-1251 byte of a code point, or nothing when it has none.
std::optional<std::uint8_t> Cp1251ByteOf(char32_t code);

}  // namespace velmora
