// What a signer and a decoded message hold inside the boundary, and the steps
// that signing, co-signing and verification share. Boundary-internal.
#pragma once

#include "crypto/platform/certs/x509_convert.h"
#include "crypto/platform/messages/crypt_message.h"
#include "crypto/platform/ossl_ptr.h"

#include <map>

namespace velmora::platform {

class MessageSignerState {
  public:
    CertContext certificate;
    ossl::X509Ptr x509;
    ossl::EvpPkey key;  // the unlocked private key
    const EVP_MD* md = nullptr;
};

class CryptMessageState {
  public:
    std::uint32_t flags = 0;
    ossl::Cms cms;                        // null until the message is given
    ByteSource* content = nullptr;        // the detached content, borrowed
    std::map<int, Bytes> contentDigests;  // by digest NID, once computed
};

// The digest of everything the source gives, read in pieces.
std::optional<Bytes> DigestOfSource(const EVP_MD* md, ByteSource& source);

// The hash algorithm a signer's digest algorithm identifier names. Signature
// algorithm identifiers that imply a hash (1.2.643.2.2.3 and the like, as
// some programs write them) give that hash.
const EVP_MD* DigestOfAlgorithm(const X509_ALGOR* algorithm);

// The raw signature of a digest with a GOST key (no attributes: the digest
// of the content itself is signed).
std::optional<Bytes> SignDigest(EVP_PKEY* key, const EVP_MD* md, ByteView digest);

// The digest of a decoded message's content: the detached source, else the
// content it carries. Cached per algorithm, so signers of one algorithm read
// the content once.
std::optional<Bytes> MessageContentDigest(CryptMessageState& state, const EVP_MD* md);

// The text of an object identifier.
std::string OidText(const ASN1_OBJECT* object);

}  // namespace velmora::platform
