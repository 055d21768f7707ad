#include "crypto/platform/asn1/decode_internal.h"
#include "crypto/platform/asn1/decode_values.h"

#include <charconv>

namespace velmora::platform {

std::optional<std::string> OidTextOfContent(ByteView content) {
    if (content.empty()) {
        return std::nullopt;
    }
    std::string text;
    text.reserve(content.size() * 3);
    std::size_t pos = 0;
    bool first = true;
    while (pos < content.size()) {
        // Base-128 arcs, high bit set on every byte but the last; a leading
        // 0x80 would be a non-shortest form.
        if (content[pos] == 0x80) {
            return std::nullopt;
        }
        std::uint64_t arc = 0;
        bool done = false;
        while (pos < content.size()) {
            if (arc > (UINT64_MAX >> 7)) {
                return std::nullopt;
            }
            const std::uint8_t byte = content[pos++];
            arc = (arc << 7) | (byte & 0x7F);
            if ((byte & 0x80) == 0) {
                done = true;
                break;
            }
        }
        if (!done) {
            return std::nullopt;
        }
        // Arcs are written with to_chars: OID texts are made for every
        // attribute of every name a report shows.
        char digits[24];
        if (first) {
            // The first arc folds the first two: 40 * X + Y, X at most 2.
            const std::uint64_t top = arc < 40 ? 0 : arc < 80 ? 1 : 2;
            text += static_cast<char>('0' + top);
            arc -= 40 * top;
            first = false;
        }
        text += '.';
        text.append(digits, std::to_chars(digits, digits + sizeof digits, arc).ptr);
    }
    return text;
}

std::optional<std::string> DecodeObjectId(ByteView der) {
    decode::Cursor cursor(der);
    std::string oid;
    if (!decode::ReadOid(cursor, oid) || !cursor.Finish()) {
        return std::nullopt;
    }
    return oid;
}

}  // namespace velmora::platform
