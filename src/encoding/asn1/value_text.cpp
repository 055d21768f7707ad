#include "encoding/asn1/value_text.h"

#include "encoding/asn1/der_reader.h"
#include "encoding/hex_lines.h"
#include "encoding/utf8.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace velmora {

namespace {

// Longest sub-identifier (in bytes after leading zero groups) written in full.
constexpr std::size_t kLongArcBytes = 128;

bool IsReadableAscii(std::uint8_t c) {
    return (c >= '.' && c <= ':') || (c >= 'A' && c <= 'Z') || c == '\\' || (c >= 'a' && c <= 'z');
}

// Ё (D0 81), А..п (D0 90..D0 BF), р..я (D1 80..D1 8F), ё (D1 91).
bool IsReadableCyrillic(std::uint8_t lead, std::uint8_t trail) {
    if (lead == 0xD0) {
        return trail == 0x81 || (trail >= 0x90 && trail <= 0xBF);
    }
    if (lead == 0xD1) {
        return trail == 0x91 || (trail >= 0x80 && trail <= 0x8F);
    }
    return false;
}

bool IsControl(char32_t code) {
    return code < 0x20 || (code >= 0x7F && code <= 0x9F);
}

// Decimal text of a base-128 number (the low 7 bits of each byte) minus
// `minus`, which the number is known to exceed. Limbs of 10^9, least
// significant first.
std::string LongArcText(ByteView arc, std::uint32_t minus) {
    constexpr std::uint64_t kBase = 1000000000;
    std::vector<std::uint32_t> limbs;
    for (const std::uint8_t byte : arc) {
        std::uint64_t carry = byte & 0x7F;
        for (std::uint32_t& limb : limbs) {
            const std::uint64_t v = std::uint64_t{limb} * 128 + carry;
            limb = static_cast<std::uint32_t>(v % kBase);
            carry = v / kBase;
        }
        while (carry != 0) {
            limbs.push_back(static_cast<std::uint32_t>(carry % kBase));
            carry /= kBase;
        }
    }
    std::uint32_t borrow = minus;
    for (std::uint32_t& limb : limbs) {
        if (borrow == 0) {
            break;
        }
        if (limb >= borrow) {
            limb -= borrow;
            borrow = 0;
        } else {
            limb = static_cast<std::uint32_t>(limb + kBase - borrow);
            borrow = 1;
        }
    }
    while (limbs.size() > 1 && limbs.back() == 0) {
        limbs.pop_back();
    }
    if (limbs.empty()) {
        return "0";
    }
    std::string text = std::to_string(limbs.back());
    for (std::size_t i = limbs.size() - 1; i-- > 0;) {
        const std::string part = std::to_string(limbs[i]);
        text.append(9 - part.size(), '0');
        text += part;
    }
    return text;
}

// The text of one sub-identifier whose bytes run from `from` to `pos`
// (inclusive), `value` being what ReadBase128 gave for it.
std::string ArcText(ByteView content, std::size_t from, std::size_t pos,
                    std::optional<std::uint64_t> value, std::uint32_t minus) {
    if (value) {
        return std::to_string(*value - minus);
    }
    if ((content[pos] & 0x80) != 0) {
        return "?";  // cut off by the end of the content
    }
    while (from < pos && content[from] == 0x80) {
        ++from;  // leading zero groups add nothing
    }
    const std::size_t size = pos - from + 1;
    return size <= kLongArcBytes ? LongArcText(content.subspan(from, size), minus) : "?";
}

}  // namespace

bool IsReadableContent(ByteView content) {
    for (std::size_t i = 0; i < content.size(); ++i) {
        if (IsReadableAscii(content[i])) {
            continue;
        }
        if (i + 1 < content.size() && IsReadableCyrillic(content[i], content[i + 1])) {
            ++i;
            continue;
        }
        return false;
    }
    return true;
}

std::string AsnHexText(ByteView content) {
    std::string text;
    text.reserve(3 * content.size() + 2);
    for (const std::uint8_t byte : content) {
        AppendHexByte(text, byte);
        text += ' ';
    }
    if (IsReadableContent(content)) {
        text += '(';
        text += AsText(content);
        text += ')';
    }
    return text;
}

std::string AsnDisplayText(std::string_view content) {
    std::string text;
    text.reserve(content.size());
    std::size_t pos = 0;
    while (pos < content.size()) {
        const std::size_t from = pos;
        const char32_t code = DecodeUtf8(content, pos);
        if (code == kMalformedUtf8 || IsControl(code)) {
            text += '?';
        } else {
            text.append(content.substr(from, pos - from));
        }
    }
    return text;
}

std::string OidText(ByteView content) {
    std::string text;
    std::size_t pos = 0;
    while (pos < content.size()) {
        const std::size_t from = pos;
        const std::optional<std::uint64_t> value = ReadBase128(content, pos);
        if (from == 0) {
            // The first sub-identifier holds the first two arcs.
            if (value && *value < 40) {
                text = "0." + ArcText(content, from, pos, value, 0);
            } else if (value && *value < 80) {
                text = "1." + ArcText(content, from, pos, value, 40);
            } else if (!value && (content[pos] & 0x80) != 0) {
                text = "?";
            } else {
                text = "2." + ArcText(content, from, pos, value, 80);
            }
        } else {
            text += '.';
            text += ArcText(content, from, pos, value, 0);
        }
        ++pos;
    }
    return text;
}

}  // namespace velmora
