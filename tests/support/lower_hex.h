// Bytes as lower-case hex without separators, the way `openssl dgst` and the
// published test vectors write digests.
#pragma once

#include "encoding/bytes.h"

#include <string>

namespace velmora {

inline std::string LowerHex(const Bytes& bytes) {
    static const char* const kDigits = "0123456789abcdef";
    std::string text;
    for (const std::uint8_t b : bytes) {
        text += kDigits[b >> 4];
        text += kDigits[b & 0x0F];
    }
    return text;
}

}  // namespace velmora
