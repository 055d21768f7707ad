// Decoders of the structures that certificate and request extensions hold.
// Each takes the extension's value (the DER of its structure), requires it to
// fill the input exactly, and gives nullopt with an ASN.1 last-error code on
// failure (kAsn1BadTag, kAsn1Corrupt, kAsn1Large), as decode_values.h says.
#pragma once

#include "crypto/platform/asn1/decode_values.h"
#include "encoding/bytes.h"
#include "encoding/date_time.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace velmora::platform {

// The platform's GeneralName choice numbers.
namespace alt_name {
inline constexpr std::uint32_t kOtherName = 1;
inline constexpr std::uint32_t kRfc822Name = 2;
inline constexpr std::uint32_t kDnsName = 3;
inline constexpr std::uint32_t kX400Address = 4;
inline constexpr std::uint32_t kDirectoryName = 5;
inline constexpr std::uint32_t kEdiPartyName = 6;
inline constexpr std::uint32_t kUrl = 7;
inline constexpr std::uint32_t kIpAddress = 8;
inline constexpr std::uint32_t kRegisteredId = 9;
}  // namespace alt_name

// One GeneralName. Only the fields of its choice are filled:
// - kOtherName: otherNameOid, and otherNameValue, the DER of the value inside
//   its [0] EXPLICIT wrapper (for example a BMPString element);
// - kRfc822Name, kDnsName, kUrl: text (the IA5String's characters);
// - kDirectoryName: directoryName, the DER of the Name;
// - kIpAddress: ipAddress, the octets (4 for IPv4, 16 for IPv6);
// - kRegisteredId: registeredId, the dotted OID;
// - kX400Address, kEdiPartyName: raw, the DER of the whole choice element.
struct AltNameEntry {
    std::uint32_t choice = 0;
    std::string otherNameOid;
    Bytes otherNameValue;
    std::string text;
    Bytes directoryName;
    Bytes ipAddress;
    std::string registeredId;
    Bytes raw;

    bool operator==(const AltNameEntry&) const = default;
};

// GeneralNames, in encoded order.
struct AltNameInfo {
    std::vector<AltNameEntry> entries;

    bool operator==(const AltNameInfo&) const = default;
};

// A private key usage period; a time that is absent is 0.
struct PrivateKeyUsagePeriod {
    FileTime notBefore = 0;
    FileTime notAfter = 0;

    bool operator==(const PrivateKeyUsagePeriod&) const = default;
};

// Key attributes (2.5.29.2): every part optional; an absent key identifier
// or usage is empty, an absent period nullopt.
struct KeyAttributes {
    Bytes keyId;
    BitString intendedKeyUsage;
    std::optional<PrivateKeyUsagePeriod> privateKeyUsagePeriod;

    bool operator==(const KeyAttributes&) const = default;
};

// Basic constraints (2.5.29.19): the CA flag and the optional path length.
struct BasicConstraints {
    bool ca = false;
    bool hasPathLen = false;
    std::uint32_t pathLen = 0;

    bool operator==(const BasicConstraints&) const = default;
};

// Authority key identifier (2.5.29.35): each part empty when absent; the
// serial number is the INTEGER's content bytes least significant first, a
// leading sign byte kept.
struct AuthorityKeyId {
    Bytes keyId;
    AltNameInfo issuer;
    Bytes serialNumber;

    bool operator==(const AuthorityKeyId&) const = default;
};

// One CRL distribution point (2.5.29.31).
struct CrlDistPoint {
    // How the point is named: none, its full name, or a name relative to the
    // CRL issuer (the RDN's DER is then in relativeName).
    enum NameChoice : int { kNoName = 0, kFullName = 1, kRelativeName = 2 };
    int nameChoice = kNoName;
    AltNameInfo fullName;
    Bytes relativeName;
    BitString reasonFlags;
    AltNameInfo crlIssuer;

    bool operator==(const CrlDistPoint&) const = default;
};

// Certificate policies (2.5.29.32): the policy OIDs in order; qualifiers are
// checked for form but not kept.
std::optional<std::vector<std::string>> DecodeCertPolicies(ByteView der);

// GeneralNames: subject and issuer alternative names (2.5.29.17, 2.5.29.18).
std::optional<AltNameInfo> DecodeAltNames(ByteView der);

// Key attributes (2.5.29.2): SEQUENCE { keyIdentifier OCTET STRING OPTIONAL,
// intendedKeyUsage BIT STRING OPTIONAL, privateKeyUsagePeriod OPTIONAL }.
std::optional<KeyAttributes> DecodeKeyAttributes(ByteView der);

// Key usage (2.5.29.15): the bit string.
std::optional<BitString> DecodeKeyUsage(ByteView der);

// Extended key usage (2.5.29.37): the purpose OIDs in order.
std::optional<std::vector<std::string>> DecodeEnhancedKeyUsage(ByteView der);

// Basic constraints (2.5.29.19); a negative path length is malformed and one
// above 32 bits kAsn1Large.
std::optional<BasicConstraints> DecodeBasicConstraints(ByteView der);

// Private key usage period (2.5.29.16): SEQUENCE { notBefore [0]
// GeneralizedTime OPTIONAL, notAfter [1] GeneralizedTime OPTIONAL }, read
// directly from its two optional times.
std::optional<PrivateKeyUsagePeriod> DecodePrivateKeyUsagePeriod(ByteView der);

// Authority key identifier (2.5.29.35).
std::optional<AuthorityKeyId> DecodeAuthorityKeyId(ByteView der);

// Subject key identifier (2.5.29.14): the OCTET STRING's content.
std::optional<Bytes> DecodeSubjectKeyId(ByteView der);

// CRL distribution points (2.5.29.31), in order.
std::optional<std::vector<CrlDistPoint>> DecodeCrlDistPoints(ByteView der);

}  // namespace velmora::platform
