// Encoders of names, string values, public key information and the structures
// of the extensions a request carries (CryptEncodeObject). Each gives the DER
// or nullopt with the last error: kInvalidParameter for an OID that is no
// OID or a field out of range, and the string-type codes below for a value
// its type cannot hold.
#pragma once

#include "crypto/platform/asn1/decode_public_key.h"
#include "crypto/platform/asn1/decode_values.h"
#include "crypto/platform/certs/extension.h"
#include "crypto/platform/certs/extension_values.h"
#include "crypto/platform/certs/name.h"
#include "encoding/bytes.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace velmora::platform {

// One string value (X509_NAME_VALUE) of the type given, from its content
// bytes (as RdnAttribute holds them). The characters are checked against the
// type: NumericString digits and blank (kInvalidNumericString),
// PrintableString A-Z a-z 0-9 blank ' ( ) + , - . / : = ? (kInvalidPrintableString),
// IA5String bytes below 0x80 (kInvalidIa5String), UTF8String well-formed
// UTF-8, BMPString an even number of bytes, UniversalString a multiple of
// four (kBadEncode for those three). kEncodedBlob takes the value as one
// whole DER element and writes it unchanged; kAny is kNotCharString.
std::optional<Bytes> EncodeNameValue(std::uint32_t value_type, ByteView value);

// A Name (X509_NAME): the RDNs and their attributes in the order given (no
// sorting inside an RDN); every value through EncodeNameValue's checks.
std::optional<Bytes> EncodeName(const NameInfo& name);

// An AlgorithmIdentifier; non-empty parameters must be one DER element.
std::optional<Bytes> EncodeAlgorithmIdentifier(const AlgorithmIdentifier& algorithm);

// A SubjectPublicKeyInfo from the algorithm, the key bytes and the unused
// bits (`encoded` is not read).
std::optional<Bytes> EncodePublicKeyInfo(const PublicKeyInfo& info);

// A BIT STRING (X509_BITS, X509_KEY_USAGE) as given: no trailing bits are
// trimmed. unusedBits above 7, unused bits in an empty string, and unused
// bits that are not zero are kInvalidParameter.
std::optional<Bytes> EncodeBitString(const BitString& bits);

// GeneralNames (X509_ALTERNATE_NAME) from the fields each choice uses (see
// AltNameEntry): an other name's value must be one DER element; rfc822, DNS
// and URL texts must be IA5 (kInvalidIa5String); X.400 and EDI names are
// written from `raw`, which must be one element with the choice's identifier.
std::optional<Bytes> EncodeAltNames(const AltNameInfo& names);

// Key attributes (2.5.29.2): the key identifier and the intended usage when
// not empty, the period with GeneralizedTimes when present (a zero time is
// left out).
std::optional<Bytes> EncodeKeyAttributes(const KeyAttributes& attributes);

// Extended key usage (2.5.29.37): SEQUENCE OF OID.
std::optional<Bytes> EncodeEnhancedKeyUsage(const std::vector<std::string>& oids);

// Certificate policies (2.5.29.32): one PolicyInformation per OID, without
// qualifiers.
std::optional<Bytes> EncodeCertPolicies(const std::vector<std::string>& oids);

// An Extensions SEQUENCE (X509_EXTENSIONS): critical is written only when
// true (DER leaves the default out); each value goes into its OCTET STRING as
// it is.
std::optional<Bytes> EncodeExtensions(const std::vector<Extension>& extensions);

}  // namespace velmora::platform
