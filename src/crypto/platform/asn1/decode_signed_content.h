// The outer form shared by certificates, requests and CRLs: a to-be-signed
// part, the signature algorithm and the signature (the platform's X509_CERT).
#pragma once

#include "crypto/platform/asn1/decode_public_key.h"
#include "encoding/bytes.h"

#include <optional>

namespace velmora::platform {

// `toBeSigned` is the DER of the signed part exactly as it stands in the
// input (the bytes the signature covers). `signature` holds the content of
// the signature BIT STRING in REVERSED order, least significant byte first,
// as the platform gives it when it decodes X509_CERT; reverse it again for
// the order in which it stands in the encoding.
struct SignedContent {
    Bytes toBeSigned;
    AlgorithmIdentifier signatureAlgorithm;
    Bytes signature;
};

// Decodes SEQUENCE { toBeSigned, AlgorithmIdentifier, BIT STRING } that fills
// the input exactly. The to-be-signed part is only required to be one
// well-formed SEQUENCE; its fields are not looked at. Failures give nullopt
// and an ASN.1 last-error code.
std::optional<SignedContent> DecodeSignedContent(ByteView der);

}  // namespace velmora::platform
