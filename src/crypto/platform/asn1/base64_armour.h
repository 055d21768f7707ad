// The platform's conversions between binary data and base64 text, with and
// without the "-----BEGIN ...-----" / "-----END ...-----" armour lines.
#pragma once

#include "encoding/bytes.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace velmora::platform {

// The string formats, with the values the platform's callers know them by.
enum class StringFormat : unsigned {
    // Base64 between a "-----BEGIN <label>-----" line and a "-----END" line;
    // any label. Text before the BEGIN line and from "-----END" on is ignored.
    kBase64Header = 0,  // CRYPT_STRING_BASE64HEADER
    // Base64 alone. CR, LF, TAB and space may stand anywhere; any other
    // character outside the alphabet fails.
    kBase64 = 1,  // CRYPT_STRING_BASE64
    // kBase64Header when the text converts that way, else kBase64.
    kBase64Any = 6,  // CRYPT_STRING_BASE64_ANY
};

// Decodes the text. The base64 must be well formed: "=" only at its end and
// at most two of them, the character count a whole number of groups of four
// once padded (a missing padding is accepted, a group of one character is
// not), and at least one character. Failure gives nullopt and sets the last
// error (kInvalidData for malformed text, kInvalidParameter for an unknown
// format). `used` receives the format that decoded the text.
std::optional<Bytes> StringToBinary(std::string_view text, StringFormat format,
                                    StringFormat* used = nullptr);

// The size query: the byte count StringToBinary would give, with the same
// checks and the same failures, without producing the bytes.
std::optional<std::size_t> StringToBinarySize(std::string_view text, StringFormat format,
                                              StringFormat* used = nullptr);

// Encodes the bytes as base64 in lines of 64 characters, each ended by CR LF.
// kBase64Header puts the lines between "-----BEGIN <label>-----" and
// "-----END <label>-----" (each ended by CR LF); every other format gives the
// base64 lines alone.
std::string BinaryToString(ByteView data, StringFormat format,
                           std::string_view label = "CERTIFICATE");

}  // namespace velmora::platform
