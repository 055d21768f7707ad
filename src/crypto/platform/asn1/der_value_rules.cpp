#include "crypto/platform/asn1/der_value_rules.h"

#include <cstdint>

namespace velmora::platform::der_rules {
namespace {

// Universal types by tag number.
constexpr std::uint8_t kUtf8String = 0x0C;
constexpr std::uint8_t kNumericString = 0x12;
constexpr std::uint8_t kPrintableString = 0x13;
constexpr std::uint8_t kT61String = 0x14;
constexpr std::uint8_t kIa5String = 0x16;
constexpr std::uint8_t kUniversalString = 0x1C;
constexpr std::uint8_t kBmpString = 0x1E;

constexpr std::uint8_t kConstructed = 0x20;
constexpr std::uint8_t kClassMask = 0xC0;

bool UnicodeOk(std::uint32_t value) {
    return value <= 0x10FFFF && (value < 0xD800 || value > 0xDFFF);
}

// Well-formed UTF-8: no overlong forms, no surrogates, nothing past U+10FFFF.
bool Utf8Ok(ByteView text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const std::uint8_t lead = text[i];
        std::size_t more = 0;
        std::uint32_t value = 0;
        std::uint32_t least = 0;
        if (lead < 0x80) {
            ++i;
            continue;
        }
        if ((lead & 0xE0) == 0xC0) {
            more = 1, value = lead & 0x1F, least = 0x80;
        } else if ((lead & 0xF0) == 0xE0) {
            more = 2, value = lead & 0x0F, least = 0x800;
        } else if ((lead & 0xF8) == 0xF0) {
            more = 3, value = lead & 0x07, least = 0x10000;
        } else {
            return false;
        }
        if (text.size() - i - 1 < more) {
            return false;
        }
        for (std::size_t k = 1; k <= more; ++k) {
            if ((text[i + k] & 0xC0) != 0x80) {
                return false;
            }
            value = (value << 6) | (text[i + k] & 0x3F);
        }
        if (value < least || !UnicodeOk(value)) {
            return false;
        }
        i += more + 1;
    }
    return true;
}

// Fixed-width big-endian code units of 2 (BMP) or 4 (Universal) bytes.
bool WideOk(ByteView text, std::size_t width) {
    if (text.size() % width != 0) {
        return false;
    }
    for (std::size_t i = 0; i < text.size(); i += width) {
        std::uint32_t value = 0;
        for (std::size_t k = 0; k < width; ++k) {
            value = (value << 8) | text[i + k];
        }
        if (!UnicodeOk(value)) {
            return false;
        }
    }
    return true;
}

// The value of one name attribute: one of the string types OpenSSL allows
// there, with the text rules of those it converts to compare names.
bool NameValueOk(const DerElement& value) {
    switch (value.tag) {
        case kUtf8String:
            return Utf8Ok(value.content);
        case kBmpString:
            return WideOk(value.content, 2);
        case kUniversalString:
            return WideOk(value.content, 4);
        case der::kBitString:
            return BitStringContentOk(value.content);
        case kNumericString:
        case kPrintableString:
        case kT61String:
        case kIa5String:
        case der::kSequence:
        // Types OpenSSL keeps as they are: object descriptor, external,
        // real, and the tag numbers no type is assigned to.
        case 0x07:
        case 0x08:
        case 0x09:
        case 0x0B:
        case 0x0D:
        case 0x0E:
        case 0x0F:
        case 0x1D:
            return true;
        default:
            return false;
    }
}

}  // namespace

bool IntegerContentOk(ByteView content) {
    if (content.empty()) {
        return false;
    }
    return content.size() == 1 || !((content[0] == 0x00 && (content[1] & 0x80) == 0) ||
                                    (content[0] == 0xFF && (content[1] & 0x80) != 0));
}

bool OidContentOk(ByteView content) {
    if (content.empty() || (content.back() & 0x80) != 0) {
        return false;
    }
    for (std::size_t i = 0; i < content.size(); ++i) {
        if (content[i] == 0x80 && (i == 0 || (content[i - 1] & 0x80) == 0)) {
            return false;
        }
    }
    return true;
}

bool BitStringContentOk(ByteView content) {
    return !content.empty() && content[0] <= 7;
}

bool AnyValueOk(const DerElement& element) {
    const std::uint8_t tag = element.tag;
    if ((tag & kClassMask) != 0) {
        return true;  // not universal: kept as it is
    }
    if ((tag & kConstructed) != 0) {
        return tag == der::kSequence || tag == der::kSet;
    }
    switch (tag) {
        case 0x00:
            return false;  // the end-of-contents marker is no value
        case der::kBoolean:
            return element.content.size() == 1;
        case der::kNull:
            return element.content.empty();
        case der::kInteger:
        case der::kEnumerated:
            return IntegerContentOk(element.content);
        case der::kOid:
            return OidContentOk(element.content);
        case der::kBitString:
            return BitStringContentOk(element.content);
        case kBmpString:
            return element.content.size() % 2 == 0;
        case kUniversalString:
            return element.content.size() % 4 == 0;
        case 0x10:
        case 0x11:
            return false;  // SEQUENCE and SET are always constructed
        default:
            return true;
    }
}

bool AlgorithmIdentifierOk(ByteView content) {
    DerReader reader(content);
    DerElement oid;
    DerElement parameters;
    if (!reader.Read(der::kOid, oid) || !OidContentOk(oid.content)) {
        return false;
    }
    if (reader.AtEnd()) {
        return true;
    }
    return reader.Next(parameters) && AnyValueOk(parameters) && reader.AtEnd();
}

bool NameOk(const DerElement& name) {
    if (name.tag != der::kSequence) {
        return false;
    }
    DerReader rdns(name.content);
    DerElement rdn;
    while (!rdns.AtEnd()) {
        if (!rdns.Read(der::kSet, rdn)) {
            return false;
        }
        DerReader attributes(rdn.content);
        DerElement attribute;
        while (!attributes.AtEnd()) {
            if (!attributes.Read(der::kSequence, attribute)) {
                return false;
            }
            DerReader fields(attribute.content);
            DerElement oid;
            DerElement value;
            if (!fields.Read(der::kOid, oid) || !OidContentOk(oid.content) || !fields.Next(value) ||
                !fields.AtEnd() || !NameValueOk(value)) {
                return false;
            }
        }
    }
    return true;
}

}  // namespace velmora::platform::der_rules
