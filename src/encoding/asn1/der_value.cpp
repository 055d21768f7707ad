#include "encoding/asn1/der_value.h"

#include "encoding/asn1/asn1_tag.h"
#include "encoding/asn1/der_reader.h"
#include "encoding/asn1/value_text.h"
#include "encoding/asn1_time.h"
#include "encoding/hex_lines.h"
#include "encoding/unicode.h"

#include <algorithm>
#include <cstdint>
#include <string>

namespace velmora {

namespace {

std::string BitStringText(ByteView content) {
    if (content.empty()) {
        return {};
    }
    std::string text = "Неиспользуемых бит - " + std::to_string(content[0]) + " : ";
    for (const std::uint8_t byte : content.subspan(1)) {
        AppendHexByte(text, byte);
    }
    return text;
}

std::string ValueText(std::uint8_t identifier, ByteView content) {
    if ((identifier & 0xC0) == 0x80) {
        return "(" + std::to_string(identifier & 0x1F) + ")" + AsnHexText(content);
    }
    if ((identifier & 0xC0) != 0x00) {
        return AsnHexText(content);
    }
    const std::string_view chars = {reinterpret_cast<const char*>(content.data()), content.size()};
    switch (identifier & 0x1F) {
        case 1:  // BOOLEAN
            return content.empty() ? std::string() : content.back() == 0 ? "нет" : "да";
        case 3:  // BIT_STRING
            return BitStringText(content);
        case 6:  // OBJECT_IDENTIFIER
            return OidText(content);
        case 12:  // UTF8_STRING
            return AsnDisplayText(Utf8ToAnsi(content));
        case 18:  // NUMERIC_STRING
        case 19:  // PRINTABLE_STRING
        case 22:  // IA5_STRING
            return AsnDisplayText(chars);
        case 23:  // UTC_TIME
            return AsnDisplayText(chars) + "(" + AsnDisplayText(UtcTimeText(chars)) + ")";
        case 24:  // GENERALIZED_TIME
            return AsnDisplayText(chars) + "(" + AsnDisplayText(GeneralizedTimeText(chars)) + ")";
        case 30:  // BMPSTRING
            return AsnDisplayText(BmpToAnsi(content));
        default:
            return AsnHexText(content);
    }
}

}  // namespace

void DecodeDerValue(ByteView bytes, std::size_t start, std::size_t limit, AsnNode& node) {
    if (start >= bytes.size()) {
        node.text.clear();
        return;
    }
    limit = std::min(limit, bytes.size() - 1);
    const std::uint8_t identifier = bytes[start];
    std::size_t pos = start + 1;
    std::size_t length = 0;
    ByteView content;
    if (ReadDerLength(bytes, pos, length, limit)) {
        content = bytes.subspan(pos + 1, length);
    } else if (pos <= limit) {
        content = bytes.subspan(pos + 1, limit - pos);
    }
    node.text = std::string(AsnTagName(identifier)) + ": " + ValueText(identifier, content);
}

}  // namespace velmora
