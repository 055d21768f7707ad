#include "crypto/platform/certs/name_text.h"

#include "crypto/platform/asn1/decode_values.h"
#include "crypto/platform/certs/name.h"
#include "crypto/platform/system/last_error.h"
#include "encoding/cp1251.h"
#include "encoding/hex_lines.h"
#include "encoding/unicode.h"
#include "encoding/utf8.h"

#include <algorithm>

namespace velmora::platform {
namespace {

std::string HashHexText(ByteView bytes) {
    std::string text = "#";
    for (const std::uint8_t byte : bytes) {
        AppendHexByte(text, byte);
    }
    return text;
}

// Single-byte string types: systems that write Cyrillic into them write
// either UTF-8 or Windows-1251; well-formed UTF-8 (plain ASCII included) is
// read as such, anything else byte by byte as Windows-1251.
std::string SingleByteText(ByteView value) {
    const std::string_view raw(reinterpret_cast<const char*>(value.data()), value.size());
    if (IsValidUtf8(raw)) {
        return Utf8ToAnsi(value);
    }
    std::string text = Cp1251ToUtf8(value);
    std::erase(text, '\0');
    return text;
}

std::string UniversalText(ByteView value) {
    std::string text;
    std::size_t pos = 0;
    for (; pos + 4 <= value.size(); pos += 4) {
        const char32_t code = (char32_t{value[pos]} << 24) | (char32_t{value[pos + 1]} << 16) |
                              (char32_t{value[pos + 2]} << 8) | value[pos + 3];
        if (code != 0) {
            AppendUtf8(text, code);  // no character: "?"
        }
    }
    if (pos != value.size()) {
        text.push_back('?');  // a cut-off last character
    }
    return text;
}

bool NeedsQuotes(std::string_view value) {
    if (value.empty() || value.front() == ' ' || value.back() == ' ') {
        return true;
    }
    return value.find_first_of(",+=\"<>#;\r\n") != std::string_view::npos;
}

void AppendQuoted(std::string& out, std::string_view value) {
    if (!NeedsQuotes(value)) {
        out += value;
        return;
    }
    out.push_back('"');
    for (char c : value) {
        if (c == '"') {
            out.push_back('"');
        }
        out.push_back(c);
    }
    out.push_back('"');
}

}  // namespace

std::string RdnValueToStr(std::uint32_t value_type, ByteView value) {
    switch (value_type) {
        case rdn_type::kUtf8String:
            return Utf8ToAnsi(value);
        case rdn_type::kBmpString:
            return BmpToAnsi(value);
        case rdn_type::kUniversalString:
            return UniversalText(value);
        case rdn_type::kNumericString:
        case rdn_type::kPrintableString:
        case rdn_type::kTeletexString:
        case rdn_type::kVideotexString:
        case rdn_type::kIa5String:
        case rdn_type::kGraphicString:
        case rdn_type::kVisibleString:
        case rdn_type::kGeneralString:
            return SingleByteText(value);
        case rdn_type::kOctetString:
        case rdn_type::kEncodedBlob:
            return HashHexText(value);
        default:
            return {};
    }
}

std::string RdnValueTextOfEncoded(ByteView der) {
    std::optional<NameValue> value = DecodeNameValue(der);
    if (!value) {
        return {};
    }
    return RdnValueToStr(value->valueType, value->value);
}

std::string NameToSimpleStr(ByteView der) {
    std::optional<NameInfo> name = DecodeName(der);
    if (!name) {
        return {};
    }
    std::string text;
    for (std::size_t i = 0; i < name->rdns.size(); ++i) {
        if (i > 0) {
            text += ", ";
        }
        const std::vector<RdnAttribute>& attributes = name->rdns[i].attributes;
        for (std::size_t j = 0; j < attributes.size(); ++j) {
            if (j > 0) {
                text += " + ";
            }
            AppendQuoted(text, RdnValueToStr(attributes[j].valueType, attributes[j].value));
        }
    }
    return text;
}

}  // namespace velmora::platform
