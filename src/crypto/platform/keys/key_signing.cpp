// Signing with a container's key pair (CryptSignAndEncodeCertificate) and
// the key pair of a certificate (CryptAcquireCertificatePrivateKey).
#include "crypto/platform/keys/crypt_state.h"

#include "crypto/platform/asn1/der_reader.h"
#include "crypto/platform/asn1/encode_der.h"
#include "crypto/platform/asn1/encode_values.h"
#include "crypto/platform/system/last_error.h"

#include <openssl/err.h>

namespace velmora::platform {
namespace {

struct SignatureScheme {
    const char* oid;
    KeyFamily family;
    const char* digest;
};

// The signature algorithms of the key families: GOST R 34.10-2001 with
// GOST R 34.11-94, GOST R 34.10-2012 with Streebog-256.
constexpr SignatureScheme kSchemes[] = {
    {"1.2.643.2.2.3", KeyFamily::Gost2001, "md_gost94"},
    {"1.2.643.7.1.1.3.2", KeyFamily::Gost2012_256, "md_gost12_256"},
};

std::optional<Bytes> Sign(EVP_PKEY* key, const char* digest, ByteView data) {
    const EVP_MD* md = EVP_get_digestbyname(digest);
    ossl::EvpMdCtx ctx(EVP_MD_CTX_new());
    std::size_t size = 0;
    if (md == nullptr || !ctx || EVP_DigestSignInit(ctx.get(), nullptr, md, nullptr, key) <= 0 ||
        EVP_DigestSign(ctx.get(), nullptr, &size, data.data(), data.size()) <= 0) {
        ERR_clear_error();
        return Fail(error::kFail, std::optional<Bytes>{});
    }
    Bytes signature(size);
    if (EVP_DigestSign(ctx.get(), signature.data(), &size, data.data(), data.size()) <= 0) {
        ERR_clear_error();
        return Fail(error::kFail, std::optional<Bytes>{});
    }
    signature.resize(size);
    return signature;
}

}  // namespace

std::optional<Bytes> SignAndEncode(CryptProvider& provider, std::uint32_t key_spec,
                                   ByteView to_be_signed, const AlgorithmIdentifier& algorithm) {
    const SignatureScheme* scheme = nullptr;
    for (const SignatureScheme& candidate : kSchemes) {
        if (algorithm.oid == candidate.oid) {
            scheme = &candidate;
        }
    }
    DerReader reader(to_be_signed);
    DerElement element;
    if (scheme == nullptr) {
        return Fail(error::kBadAlgId, std::optional<Bytes>{});
    }
    if (!reader.Read(der::kSequence, element) || !reader.AtEnd()) {
        return Fail(error::kInvalidParameter, std::optional<Bytes>{});
    }
    auto key = GetUserKey(provider, key_spec);
    if (!key) {
        return std::nullopt;
    }
    EVP_PKEY* private_key = UnlockPrivateKey(key->State());
    if (private_key == nullptr) {
        return std::nullopt;
    }
    if (FamilyOfKey(private_key) != scheme->family) {
        return Fail(error::kBadAlgId, std::optional<Bytes>{});
    }
    const auto signature = Sign(private_key, scheme->digest, to_be_signed);
    const auto algorithm_der = EncodeAlgorithmIdentifier(algorithm);
    if (!signature || !algorithm_der) {
        return std::nullopt;
    }
    Bytes bits{0};
    bits.insert(bits.end(), signature->begin(), signature->end());
    return DerOf(der::kSequence, {to_be_signed, *algorithm_der, Der(der::kBitString, bits)});
}

std::optional<CertificatePrivateKey> AcquireCertificatePrivateKey(const CertContext& certificate) {
    if (!certificate || !certificate->KeyProv()) {
        return Fail(error::kNoKeyProperty, std::optional<CertificatePrivateKey>{});
    }
    const KeyProvInfo& where = *certificate->KeyProv();
    CertificatePrivateKey result;
    result.keySpec = where.keySpec;
    if (!AcquireContext(result.provider, where.containerName, where.providerName,
                        where.providerType, 0)) {
        return std::nullopt;
    }
    const auto own = ExportPublicKeyInfo(result.provider, where.keySpec);
    if (!own) {
        return std::nullopt;
    }
    if (!ComparePublicKeyInfo(*own, certificate->Info().publicKey)) {
        return Fail(error::kBadPublicKey, std::optional<CertificatePrivateKey>{});
    }
    return result;
}

}  // namespace velmora::platform
