// Checking the signature of a signed certificate or request against a
// public key (CryptVerifyCertificateSignature).
#pragma once

#include "crypto/platform/asn1/decode_public_key.h"
#include "encoding/bytes.h"

namespace velmora::platform {

// Verifies the signature of DER signed content (a certificate, a request or
// a CRL: SEQUENCE { toBeSigned, AlgorithmIdentifier, BIT STRING }) with the
// public key: GOST R 34.10-2001 and 34.10-2012 (256 and 512 bits) through the
// GOST engine, RSA (PKCS#1 v1.5), ECDSA. The hash follows the signature
// algorithm OID. False on failure, with the last error:
// - kBadSignature: the signature does not match;
// - kUnknownAlgo: a signature algorithm the boundary does not know;
// - kBadKey: the public key cannot be read or does not fit the algorithm;
// - kProviderDllFail: a GOST algorithm while the GOST engine is missing;
// - an ASN.1 code: the signed content is malformed.
bool VerifyCertificateSignature(ByteView signed_der, const PublicKeyInfo& public_key);

}  // namespace velmora::platform
