#include "crypto/platform/certs/name.h"

#include "crypto/platform/asn1/decode_internal.h"

namespace velmora::platform {
namespace {

struct TypeTag {
    std::uint32_t type;
    std::uint8_t tag;
};

constexpr TypeTag kTypeTags[] = {
    {rdn_type::kOctetString, 0x04},     {rdn_type::kNumericString, 0x12},
    {rdn_type::kPrintableString, 0x13}, {rdn_type::kTeletexString, 0x14},
    {rdn_type::kVideotexString, 0x15},  {rdn_type::kIa5String, 0x16},
    {rdn_type::kGraphicString, 0x19},   {rdn_type::kVisibleString, 0x1A},
    {rdn_type::kGeneralString, 0x1B},   {rdn_type::kUniversalString, 0x1C},
    {rdn_type::kBmpString, 0x1E},       {rdn_type::kUtf8String, 0x0C},
};

bool ReadAttribute(const DerElement& element, RdnAttribute& attribute) {
    decode::Cursor cursor(element.content);
    DerElement value;
    if (!decode::ReadOid(cursor, attribute.oid) || !cursor.Next(value) || !cursor.Finish()) {
        return false;
    }
    attribute.valueType = decode::ReadRdnValue(value, attribute.value);
    return true;
}

}  // namespace

std::uint32_t RdnValueTypeOfTag(std::uint8_t tag) {
    for (const TypeTag& entry : kTypeTags) {
        if (entry.tag == tag) {
            return entry.type;
        }
    }
    return rdn_type::kEncodedBlob;
}

std::uint32_t decode::ReadRdnValue(const DerElement& element, Bytes& value) {
    const std::uint32_t type = RdnValueTypeOfTag(element.tag);
    const ByteView bytes = type == rdn_type::kEncodedBlob ? element.encoded : element.content;
    value.assign(bytes.begin(), bytes.end());
    return type;
}

std::optional<std::uint8_t> TagOfRdnValueType(std::uint32_t value_type) {
    for (const TypeTag& entry : kTypeTags) {
        if (entry.type == value_type) {
            return entry.tag;
        }
    }
    return std::nullopt;
}

std::optional<NameInfo> DecodeName(ByteView der) {
    DerElement sequence;
    if (!decode::ReadWhole(der, der::kSequence, sequence)) {
        return std::nullopt;
    }
    NameInfo name;
    decode::Cursor rdns(sequence.content);
    DerElement set, element;
    while (!rdns.AtEnd()) {
        if (!rdns.Read(der::kSet, set)) {
            return std::nullopt;
        }
        Rdn rdn;
        decode::Cursor attributes(set.content);
        // A relative distinguished name holds at least one attribute.
        if (attributes.AtEnd()) {
            SetLastError(error::kAsn1Corrupt);
            return std::nullopt;
        }
        while (!attributes.AtEnd()) {
            RdnAttribute attribute;
            if (!attributes.Read(der::kSequence, element) || !ReadAttribute(element, attribute)) {
                return std::nullopt;
            }
            rdn.attributes.push_back(std::move(attribute));
        }
        name.rdns.push_back(std::move(rdn));
    }
    return name;
}

const RdnAttribute* FindRdnAttr(const NameInfo& name, std::string_view oid) {
    for (const Rdn& rdn : name.rdns) {
        for (const RdnAttribute& attribute : rdn.attributes) {
            if (attribute.oid == oid) {
                return &attribute;
            }
        }
    }
    return nullptr;
}

}  // namespace velmora::platform
