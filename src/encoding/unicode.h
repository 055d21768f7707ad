// Conversions of the certificate string types into the program's text.
// The program's text is UTF-8 throughout.
#pragma once

#include "encoding/bytes.h"

#include <string>


namespace velmora {

// UTF-8 bytes to text: NUL bytes vanish, a malformed or cut-off sequence
// becomes "?", every well-formed character is kept.
std::string Utf8ToAnsi(ByteView bytes);

// Big-endian UTF-16 (BMPString) to text: pairs are read while the pair's first
// byte is inside the input; NUL characters vanish; a lone surrogate or a
// trailing odd byte becomes "?".
std::string BmpToAnsi(ByteView bytes);

// The program's text as UTF-16.
std::u16string ToWide(std::string_view text);

}  // namespace velmora
