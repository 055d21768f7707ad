// The SHA-1 hashes the reports show: of a certificate and of public key
// information.
#pragma once

#include "crypto/platform/asn1/decode_public_key.h"
#include "encoding/bytes.h"

#include <optional>

namespace velmora::platform {

// SHA-1 of the encoded certificate (CryptHashCertificate with CALG_SHA1):
// the thumbprint. 20 bytes.
Bytes HashCertificateSha1(ByteView encoded);

// SHA-1 of the DER SubjectPublicKeyInfo rebuilt from the fields of the
// public key information (CryptHashPublicKeyInfo with CALG_SHA1); nullopt
// and the encoder's last error when the fields cannot be encoded (an OID that
// is no OID).
std::optional<Bytes> HashPublicKeyInfoSha1(const PublicKeyInfo& info);

}  // namespace velmora::platform
