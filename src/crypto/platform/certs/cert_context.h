// Certificate contexts: a certificate's encoded bytes, its decoded
// information and its properties, shared and immutable.
#pragma once

#include "crypto/platform/asn1/decode_public_key.h"
#include "crypto/platform/certs/extension.h"
#include "encoding/bytes.h"
#include "encoding/date_time.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace velmora::platform {

// The decoded to-be-signed part of a certificate (CERT_INFO).
struct CertInfo {
    int version = 0;  // 0 for v1, 1 for v2, 2 for v3
    // The INTEGER's content bytes least significant first, a leading 00 sign
    // byte kept: 02 02 00 E8 gives E8 00.
    Bytes serialNumber;
    AlgorithmIdentifier signatureAlgorithm;  // the one inside the signed part
    Bytes issuer;                            // DER of the issuer Name
    FileTime notBefore = 0;
    FileTime notAfter = 0;
    Bytes subject;  // DER of the subject Name
    PublicKeyInfo publicKey;
    std::vector<Extension> extensions;  // in encoded order; empty for v1/v2
};

// The key-provider property of a certificate (CERT_KEY_PROV_INFO_PROP_ID):
// where the private key of the certificate lives.
struct KeyProvInfo {
    std::string containerName;
    std::string providerName;
    std::uint32_t providerType = 0;
    std::uint32_t keySpec = 0;

    bool operator==(const KeyProvInfo&) const = default;
};

class Certificate;
// A certificate context: shared, immutable, freed with its last owner.
using CertContext = std::shared_ptr<const Certificate>;

class Certificate {
  public:
    // The certificate's DER, exactly the bytes it was created from.
    const Bytes& Encoded() const { return encoded_; }
    const CertInfo& Info() const { return info_; }
    // The signature algorithm of the outer signature, and the signature
    // bytes least significant first (as DecodeSignedContent gives them).
    const AlgorithmIdentifier& SignatureAlgorithm() const { return signature_algorithm_; }
    const Bytes& Signature() const { return signature_; }

    // The key-provider property; nullopt when the certificate has none (a
    // certificate created from bytes never has one).
    const std::optional<KeyProvInfo>& KeyProv() const { return key_prov_; }

    // A new context for the same certificate with the key-provider property
    // set (or removed, with nullopt); this one is unchanged.
    CertContext WithKeyProv(std::optional<KeyProvInfo> key_prov) const;

  private:
    friend CertContext CreateCertificateContext(ByteView der);
    Certificate() = default;

    Bytes encoded_;
    CertInfo info_;
    AlgorithmIdentifier signature_algorithm_;
    Bytes signature_;
    std::optional<KeyProvInfo> key_prov_;
};

// Decodes the to-be-signed part of a certificate (X509_CERT_TO_BE_SIGNED).
// Failures give nullopt and an ASN.1 last-error code; validity times that
// are no times are kAsn1Corrupt.
std::optional<CertInfo> DecodeCertificateToBeSigned(ByteView der);

// Creates a context from the DER of exactly one certificate
// (CertCreateCertificateContext). Bytes after the certificate, malformed
// DER, and a certificate that OpenSSL's own parser refuses are rejected:
// nullptr and an ASN.1 last-error code.
CertContext CreateCertificateContext(ByteView der);

}  // namespace velmora::platform
