// Algorithm identifiers and public key information, decoded from their DER.
#pragma once

#include "encoding/bytes.h"

#include <cstdint>
#include <optional>
#include <string>

namespace velmora::platform {

// An AlgorithmIdentifier: the algorithm's OID in dotted form and the DER of
// its parameters as they stand in the encoding (05 00 for NULL parameters,
// empty when the parameters are absent).
struct AlgorithmIdentifier {
    std::string oid;
    Bytes parameters;

    bool operator==(const AlgorithmIdentifier&) const = default;
};

// A SubjectPublicKeyInfo. `publicKey` is the content of the key's BIT STRING
// after its unused-bits byte (for a 256-bit GOST key: 04 40 and 64 bytes of
// the key), `unusedBits` that byte. `encoded` is the DER of the whole
// SubjectPublicKeyInfo as it stood in the input (empty for a value assembled
// by hand; EncodePublicKeyInfo rebuilds it from the other fields).
struct PublicKeyInfo {
    AlgorithmIdentifier algorithm;
    Bytes publicKey;
    std::uint8_t unusedBits = 0;
    Bytes encoded;
};

// Decodes one AlgorithmIdentifier that fills the input exactly. Malformed
// DER, a wrong tag or bytes after the element give nullopt and an ASN.1
// last-error code (kAsn1BadTag, kAsn1Corrupt, kAsn1Eod).
std::optional<AlgorithmIdentifier> DecodeAlgorithmIdentifier(ByteView der);

// Decodes one SubjectPublicKeyInfo that fills the input exactly; failures as
// DecodeAlgorithmIdentifier.
std::optional<PublicKeyInfo> DecodePublicKeyInfo(ByteView der);

}  // namespace velmora::platform
