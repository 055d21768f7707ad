// Distinguished names: every relative distinguished name with every
// attribute (OID, value type, value bytes) in encoded order.
#pragma once

#include "encoding/bytes.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::platform {

// Value types of name attributes, with the platform's numbers.
namespace rdn_type {
inline constexpr std::uint32_t kAny = 0;          // never decoded; no encoder takes it
inline constexpr std::uint32_t kEncodedBlob = 1;  // not a string: value = whole DER of it
inline constexpr std::uint32_t kOctetString = 2;
inline constexpr std::uint32_t kNumericString = 3;
inline constexpr std::uint32_t kPrintableString = 4;
inline constexpr std::uint32_t kTeletexString = 5;  // T61String
inline constexpr std::uint32_t kVideotexString = 6;
inline constexpr std::uint32_t kIa5String = 7;
inline constexpr std::uint32_t kGraphicString = 8;
inline constexpr std::uint32_t kVisibleString = 9;  // ISO646String
inline constexpr std::uint32_t kGeneralString = 10;
inline constexpr std::uint32_t kUniversalString = 11;  // UCS-4, big-endian
inline constexpr std::uint32_t kBmpString = 12;        // UTF-16, big-endian
inline constexpr std::uint32_t kUtf8String = 13;
}  // namespace rdn_type

// The value type of a DER identifier byte: the string types and the octet
// string by their tag, every other identifier kEncodedBlob.
std::uint32_t RdnValueTypeOfTag(std::uint8_t tag);

// The DER identifier byte of a string value type (or the octet string);
// nullopt for kAny, kEncodedBlob and unknown numbers.
std::optional<std::uint8_t> TagOfRdnValueType(std::uint32_t value_type);

// One attribute. `value` holds the content bytes of the value as they stand
// in the DER (a BMPString's UTF-16 big-endian bytes, a UTF8String's UTF-8
// bytes), except for kEncodedBlob, where it holds the whole DER of the value.
struct RdnAttribute {
    std::string oid;
    std::uint32_t valueType = rdn_type::kEncodedBlob;
    Bytes value;

    bool operator==(const RdnAttribute&) const = default;
};

// One relative distinguished name: its attributes in encoded order.
struct Rdn {
    std::vector<RdnAttribute> attributes;

    bool operator==(const Rdn&) const = default;
};

// A decoded Name: the RDNs in encoded order (the first encoded one first).
struct NameInfo {
    std::vector<Rdn> rdns;

    bool operator==(const NameInfo&) const = default;
};

// Decodes a Name (SEQUENCE OF SET OF AttributeTypeAndValue) that fills the
// input exactly (the platform's X509_NAME). An empty SEQUENCE gives a name
// without RDNs; an empty SET is malformed. Failures give nullopt and an ASN.1
// last-error code.
std::optional<NameInfo> DecodeName(ByteView der);

// The first attribute with the OID, walking the RDNs and their attributes in
// encoded order (CertFindRDNAttr); nullptr when there is none. The pointer
// lives as long as the name.
const RdnAttribute* FindRdnAttr(const NameInfo& name, std::string_view oid);

}  // namespace velmora::platform
