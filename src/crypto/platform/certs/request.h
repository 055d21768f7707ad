// Certificate requests (PKCS#10): the decoded to-be-signed part.
#pragma once

#include "crypto/platform/asn1/decode_public_key.h"
#include "encoding/bytes.h"

#include <optional>
#include <string>
#include <vector>

namespace velmora::platform {

// One request attribute: its OID and the DER of each of its values in
// encoded order. The extension request 1.2.840.113549.1.9.14 holds one value,
// an Extensions SEQUENCE for DecodeExtensions (extension.h).
struct RequestAttribute {
    std::string oid;
    std::vector<Bytes> values;

    bool operator==(const RequestAttribute&) const = default;
};

// The decoded CertificationRequestInfo (X509_CERT_REQUEST_TO_BE_SIGNED).
struct RequestInfo {
    int version = 0;
    Bytes subject;  // DER of the subject Name
    PublicKeyInfo publicKey;
    std::vector<RequestAttribute> attributes;  // in encoded order
};

// The OID of the extension request attribute.
inline constexpr char kExtensionRequestOid[] = "1.2.840.113549.1.9.14";

// Decodes the to-be-signed part of a request (the toBeSigned of
// DecodeSignedContent). A missing attribute set is taken as an empty one.
// Failures give nullopt and an ASN.1 last-error code.
std::optional<RequestInfo> DecodeRequestToBeSigned(ByteView der);

}  // namespace velmora::platform
