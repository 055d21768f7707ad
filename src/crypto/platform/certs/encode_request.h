// Encoding a certificate request: its to-be-signed part, and the signed
// request around it once the signature is made.
#pragma once

#include "crypto/platform/asn1/decode_signed_content.h"
#include "crypto/platform/certs/request.h"
#include "encoding/bytes.h"

#include <optional>

namespace velmora::platform {

// CertificationRequestInfo (X509_CERT_REQUEST_TO_BE_SIGNED): the version, the
// subject (one DER Name), the public key information (rebuilt from its fields)
// and the attributes ([0] IMPLICIT SET, always written, empty when there are
// none; each value one DER element). Failures give nullopt and
// kInvalidParameter (or the encoder's code).
std::optional<Bytes> EncodeRequestToBeSigned(const RequestInfo& request);

// SEQUENCE { toBeSigned, AlgorithmIdentifier, BIT STRING }. The signature is
// taken least significant byte first, as SignedContent holds it, and written
// in the reverse (encoded) order, so that DecodeSignedContent of the result
// gives the same value back. toBeSigned must be one DER element.
std::optional<Bytes> EncodeSignedContent(const SignedContent& content);

}  // namespace velmora::platform
