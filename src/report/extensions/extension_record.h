// The decoded extensions of a certificate or request: one record per
// extension, tagged with the kind that says which of its parts is filled.
#pragma once

#include "report/extensions/key_usage.h"
#include "report/names/name_list.h"

#include <cstdint>
#include <string>
#include <vector>

namespace velmora {

// What kind of extension a record holds, by the OID that selects it.
enum class ExtensionKind : int {
    kPolicies = 0,          // 2.5.29.32 certificate policies
    kSubjectAltName = 1,    // 2.5.29.17
    kKeyAttributes = 2,     // 2.5.29.2
    kKeyUsage = 3,          // 2.5.29.15
    kExtendedKeyUsage = 4,  // 2.5.29.37
    kSubjectSignTool = 5,   // 1.2.643.100.111
    kIssuerSignTools = 6,   // 1.2.643.100.112
    kUnknown = 7,           // any other: hex and ASN.1 dump
    kBasicConstraints = 8,  // 2.5.29.19
    kPrivateKeyPeriod = 9,  // 2.5.29.16
    kAuthorityKeyId = 10,   // 2.5.29.35
    kSubjectKeyId = 11,     // 2.5.29.14
    kCrlDistPoints = 12,    // 2.5.29.31
    kCaVersion = 13,        // 1.3.6.1.4.1.311.21.1
    kPreviousCaHash = 14,   // 1.3.6.1.4.1.311.21.2
};

// The general name choices, as the platform numbers them.
enum class AltNameChoice : int {
    kOtherName = 1,
    kRfc822Name = 2,
    kDnsName = 3,
    kX400Address = 4,
    kDirectoryName = 5,
    kEdiPartyName = 6,
    kUrl = 7,
    kIpAddress = 8,
    kRegisteredId = 9,
};

// One general name; only the fields of its choice are filled, each text at
// most 255 characters. X.400 addresses and EDI party names keep only their
// choice.
struct TALTERNATE_NAME {
    AltNameChoice Choice = AltNameChoice::kOtherName;
    std::string OtherNameOid;
    std::string OtherNameValue;
    std::string OtherNameLabel;
    std::string Email;
    std::string DnsName;
    TDataOidsValue DirectoryName;
    std::string Url;
    std::string IpAddress;
    std::string RegisteredId;

    bool operator==(const TALTERNATE_NAME&) const = default;
};

struct TALTERNATE_NAMES {
    std::vector<TALTERNATE_NAME> Items;

    std::uint32_t Count() const { return static_cast<std::uint32_t>(Items.size()); }
    bool operator==(const TALTERNATE_NAMES&) const = default;
};

// Key attributes (2.5.29.2): the intended usage, the key identifier and the
// private key usage period.
struct CERT_KEY_ATTRIBUTES_INFO_STR {
    TKEY_USAGE_STR KeyUsage;
    std::string KeyId;      // HexSpacedText
    std::string NotBefore;  // FileTimeText, empty when absent
    std::string NotAfter;

    bool operator==(const CERT_KEY_ATTRIBUTES_INFO_STR&) const = default;
};

struct TBASIC_CONSTRAINTS {
    int IsCa = 0;
    int PathLenPresent = 0;  // filled only for a CA
    int MaxPathLen = 0;      // filled only for a CA

    bool operator==(const TBASIC_CONSTRAINTS&) const = default;
};

// Private key usage period (2.5.29.16); a missing time is an empty text.
struct TUSAGE_PERIOD {
    std::string NotBefore;
    std::string NotAfter;

    bool operator==(const TUSAGE_PERIOD&) const = default;
};

struct TAUTHORITY_KEY_IDENTIFIER {
    std::string SerialNumber;  // HexReversedSpacedText of the platform's serial bytes
    std::string KeyId;         // HexSpacedText
    TALTERNATE_NAMES Issuer;

    bool operator==(const TAUTHORITY_KEY_IDENTIFIER&) const = default;
};

struct TCRL_DIST_POINT {
    TALTERNATE_NAMES CrlIssuer;
    std::string ReasonFlags;  // HexSpacedText of the bit string's bytes
    TALTERNATE_NAMES FullName;

    bool operator==(const TCRL_DIST_POINT&) const = default;
};

struct TCRL_DIST_POINTS {
    std::vector<TCRL_DIST_POINT> Items;

    std::uint32_t Count() const { return static_cast<std::uint32_t>(Items.size()); }
    bool operator==(const TCRL_DIST_POINTS&) const = default;
};

// One decoded extension. Every part is present; only the part of its kind is
// filled. The critical flag is not kept.
struct TCERT_EXTENSION_STR {
    ExtensionKind Kind = ExtensionKind::kUnknown;
    std::string Oid;
    TDataOidsValue Policies;                     // 0: OID and label, no value
    TALTERNATE_NAMES AltNames;                   // 1
    CERT_KEY_ATTRIBUTES_INFO_STR KeyAttributes;  // 2
    TKEY_USAGE_STR KeyUsage;                     // 3
    TDataOidsValue Purposes;                     // 4: OID and friendly name
    std::string SubjectToolText;                 // 5
    std::string SignToolName;                    // 6: first item
    std::string SignToolCertificate;             // 6: third item
    std::string CaToolName;                      // 6: second item
    std::string CaToolCertificate;               // 6: fourth item
    std::string ValueHex;                        // 7
    TBASIC_CONSTRAINTS BasicConstraints;         // 8
    TUSAGE_PERIOD UsagePeriod;                   // 9
    TAUTHORITY_KEY_IDENTIFIER AuthorityKeyId;    // 10
    std::string SubjectKeyIdText;                // 11
    TCRL_DIST_POINTS DistPoints;                 // 12
    std::string CaVersionText;                   // 13
    std::string PreviousCaHashText;              // 14
    std::vector<std::string> Asn1Dump;           // 7

    bool operator==(const TCERT_EXTENSION_STR&) const = default;
};

// The decoded extensions in input order. The header texts name the request
// attribute that carried them; a certificate leaves them empty.
struct CERT_EXTENSIONS_STR {
    std::string HeaderName;
    std::string HeaderOid;
    std::vector<TCERT_EXTENSION_STR> Items;

    std::uint32_t Count() const { return static_cast<std::uint32_t>(Items.size()); }
    bool operator==(const CERT_EXTENSIONS_STR&) const = default;
};

}  // namespace velmora
