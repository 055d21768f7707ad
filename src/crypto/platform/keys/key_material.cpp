#include "crypto/platform/keys/key_material.h"

#include "crypto/platform/asn1/decode_public_key.h"
#include "crypto/platform/asn1/decode_values.h"
#include "crypto/platform/asn1/der_reader.h"
#include "crypto/platform/keys/secret.h"
#include "crypto/platform/system/gost_engine.h"
#include "crypto/platform/system/last_error.h"

#include <openssl/err.h>
#include <openssl/objects.h>
#include <openssl/pkcs12.h>
#include <openssl/rand.h>
#include <openssl/x509.h>

#include <climits>

namespace velmora::platform {
namespace {

using Pkcs8Info = ossl::Ptr<PKCS8_PRIV_KEY_INFO, PKCS8_PRIV_KEY_INFO_free>;
using X509Sig = ossl::Ptr<X509_SIG, X509_SIG_free>;
using X509Algor = ossl::Ptr<X509_ALGOR, X509_ALGOR_free>;
using Pbe2Param = ossl::Ptr<PBE2PARAM, PBE2PARAM_free>;
using Pbkdf2Param = ossl::Ptr<PBKDF2PARAM, PBKDF2PARAM_free>;

int NidOfFamily(KeyFamily family) {
    return family == KeyFamily::Gost2001 ? NID_id_GostR3410_2001 : NID_id_GostR3410_2012_256;
}

// The DER of an OpenSSL object through its i2d function.
template <typename T>
std::optional<Bytes> DerOf(const T* object, int (*i2d)(const T*, unsigned char**)) {
    const int size = i2d(object, nullptr);
    if (size <= 0) {
        return std::nullopt;
    }
    Bytes der(static_cast<std::size_t>(size));
    unsigned char* at = der.data();
    if (i2d(object, &at) != size) {
        return std::nullopt;
    }
    return der;
}

}  // namespace

WipedBytes& WipedBytes::operator=(WipedBytes&& other) noexcept {
    if (this != &other) {
        WipeMemory(bytes_.data(), bytes_.capacity());
        bytes_ = std::move(other.bytes_);
    }
    return *this;
}

WipedBytes::~WipedBytes() {
    WipeMemory(bytes_.data(), bytes_.capacity());
}

std::optional<KeyFamily> FamilyOfAlgorithmOid(std::string_view oid) {
    if (oid == kGost2001KeyOid) {
        return KeyFamily::Gost2001;
    }
    if (oid == kGost2012_256KeyOid) {
        return KeyFamily::Gost2012_256;
    }
    return std::nullopt;
}

std::optional<KeyFamily> FamilyOfKey(const EVP_PKEY* key) {
    switch (EVP_PKEY_get_base_id(key)) {
        case NID_id_GostR3410_2001:
            return KeyFamily::Gost2001;
        case NID_id_GostR3410_2012_256:
            return KeyFamily::Gost2012_256;
        default:
            return std::nullopt;
    }
}

ossl::EvpPkey GenerateKeyPair(KeyFamily family, std::string_view paramset_oid) {
    if (!StartGostEngine()) {
        return nullptr;
    }
    ossl::EvpPkeyCtx ctx(EVP_PKEY_CTX_new_id(NidOfFamily(family), nullptr));
    const std::string paramset(paramset_oid);
    EVP_PKEY* key = nullptr;
    if (!ctx || EVP_PKEY_keygen_init(ctx.get()) <= 0 ||
        EVP_PKEY_CTX_ctrl_str(ctx.get(), "paramset", paramset.c_str()) <= 0) {
        ERR_clear_error();
        return Fail(error::kBadAlgId, ossl::EvpPkey{});
    }
    if (EVP_PKEY_keygen(ctx.get(), &key) <= 0) {
        ERR_clear_error();
        return Fail(error::kFail, ossl::EvpPkey{});
    }
    return ossl::EvpPkey(key);
}

std::optional<Bytes> PublicKeyInfoDer(const EVP_PKEY* key) {
    auto der = DerOf<EVP_PKEY>(key, i2d_PUBKEY);
    if (!der) {
        ERR_clear_error();
        return Fail(error::kBadKey, std::optional<Bytes>{});
    }
    return der;
}

ossl::EvpPkey PublicKeyOfInfo(ByteView der) {
    if (!StartGostEngine()) {
        return nullptr;
    }
    const unsigned char* at = der.data();
    ossl::EvpPkey key(d2i_PUBKEY(nullptr, &at, static_cast<long>(der.size())));
    if (!key || at != der.data() + der.size() || !FamilyOfKey(key.get())) {
        ERR_clear_error();
        return Fail(error::kBadPublicKey, ossl::EvpPkey{});
    }
    return key;
}

std::optional<std::string> ParamsetOfPublicKeyInfo(ByteView der) {
    const auto info = DecodePublicKeyInfo(der);
    if (!info) {
        return std::nullopt;
    }
    DerReader outer(info->algorithm.parameters);
    DerElement sequence;
    DerElement oid;
    if (!outer.Read(der::kSequence, sequence)) {
        return Fail(error::kBadPublicKey, std::optional<std::string>{});
    }
    DerReader inner(sequence.content);
    if (!inner.Read(der::kOid, oid)) {
        return Fail(error::kBadPublicKey, std::optional<std::string>{});
    }
    return DecodeObjectId(oid.encoded);
}

bool KeyMatchesPublicKeyInfo(const EVP_PKEY* key, ByteView der) {
    const auto own = PublicKeyInfoDer(key);
    const auto own_info = own ? DecodePublicKeyInfo(*own) : std::nullopt;
    const auto other = DecodePublicKeyInfo(der);
    return own_info && other && own_info->algorithm.oid == other->algorithm.oid &&
           own_info->publicKey == other->publicKey;
}

std::optional<WipedBytes> PrivateKeyInfoDer(const EVP_PKEY* key) {
    Pkcs8Info info(EVP_PKEY2PKCS8(key));
    if (!info) {
        ERR_clear_error();
        return Fail(error::kBadKey, std::optional<WipedBytes>{});
    }
    const int size = i2d_PKCS8_PRIV_KEY_INFO(info.get(), nullptr);
    if (size <= 0) {
        ERR_clear_error();
        return Fail(error::kBadKey, std::optional<WipedBytes>{});
    }
    WipedBytes der{Bytes(static_cast<std::size_t>(size))};
    unsigned char* at = der.bytes().data();
    if (i2d_PKCS8_PRIV_KEY_INFO(info.get(), &at) != size) {
        ERR_clear_error();
        return Fail(error::kBadKey, std::optional<WipedBytes>{});
    }
    return der;
}

ossl::EvpPkey KeyOfPrivateKeyInfo(ByteView der) {
    if (!StartGostEngine()) {
        return nullptr;
    }
    const unsigned char* at = der.data();
    Pkcs8Info info(d2i_PKCS8_PRIV_KEY_INFO(nullptr, &at, static_cast<long>(der.size())));
    ossl::EvpPkey key(info && at == der.data() + der.size() ? EVP_PKCS82PKEY(info.get()) : nullptr);
    if (!key) {
        ERR_clear_error();
        return Fail(error::kBadKey, ossl::EvpPkey{});
    }
    return key;
}

std::optional<Bytes> EncryptPrivateKey(const EVP_PKEY* key, std::string_view password) {
    if (password.size() > INT_MAX) {
        return Fail(error::kInvalidParameter, std::optional<Bytes>{});
    }
    Pkcs8Info info(EVP_PKEY2PKCS8(key));
    const EVP_CIPHER* cipher = EVP_get_cipherbyname("gost89");
    unsigned char salt[16];
    if (!info || cipher == nullptr || !RandomBytes(salt, sizeof salt)) {
        ERR_clear_error();
        return Fail(error::kFail, std::optional<Bytes>{});
    }
    X509Algor scheme(PKCS5_pbe2_set_iv(cipher, kPasswordIterations, salt, sizeof salt, nullptr,
                                       NID_id_tc26_hmac_gost_3411_2012_512));
    if (!scheme) {
        ERR_clear_error();
        return Fail(error::kFail, std::optional<Bytes>{});
    }
    X509Sig encrypted(PKCS8_set0_pbe(password.data(), static_cast<int>(password.size()), info.get(),
                                     scheme.get()));
    if (!encrypted) {
        ERR_clear_error();
        return Fail(error::kFail, std::optional<Bytes>{});
    }
    scheme.release();  // now owned by the encrypted key
    auto der = DerOf<X509_SIG>(encrypted.get(), i2d_X509_SIG);
    if (!der) {
        ERR_clear_error();
        return Fail(error::kFail, std::optional<Bytes>{});
    }
    return der;
}

bool IsOpenableEncryptedKey(ByteView der) {
    const unsigned char* at = der.data();
    X509Sig encrypted(d2i_X509_SIG(nullptr, &at, static_cast<long>(der.size())));
    if (!encrypted || at != der.data() + der.size()) {
        ERR_clear_error();
        return false;
    }
    const X509_ALGOR* scheme = nullptr;
    X509_SIG_get0(encrypted.get(), &scheme, nullptr);
    if (OBJ_obj2nid(scheme->algorithm) != NID_pbes2) {
        return false;
    }
    Pbe2Param pbes2(static_cast<PBE2PARAM*>(
        ASN1_TYPE_unpack_sequence(ASN1_ITEM_rptr(PBE2PARAM), scheme->parameter)));
    if (!pbes2 || OBJ_obj2nid(pbes2->keyfunc->algorithm) != NID_id_pbkdf2) {
        ERR_clear_error();
        return false;
    }
    Pbkdf2Param kdf(static_cast<PBKDF2PARAM*>(
        ASN1_TYPE_unpack_sequence(ASN1_ITEM_rptr(PBKDF2PARAM), pbes2->keyfunc->parameter)));
    std::int64_t iterations = 0;
    if (!kdf || ASN1_INTEGER_get_int64(&iterations, kdf->iter) != 1) {
        ERR_clear_error();
        return false;
    }
    return iterations > 0 && iterations <= kMaxPasswordIterations;
}

ossl::EvpPkey DecryptPrivateKey(ByteView der, std::string_view password) {
    if (!StartGostEngine()) {
        return nullptr;
    }
    if (!IsOpenableEncryptedKey(der) || password.size() > INT_MAX) {
        return Fail(error::kKeysetEntryBad, ossl::EvpPkey{});
    }
    const unsigned char* at = der.data();
    X509Sig encrypted(d2i_X509_SIG(nullptr, &at, static_cast<long>(der.size())));
    Pkcs8Info info(encrypted ? PKCS8_decrypt(encrypted.get(), password.data(),
                                             static_cast<int>(password.size()))
                             : nullptr);
    ossl::EvpPkey key(info ? EVP_PKCS82PKEY(info.get()) : nullptr);
    ERR_clear_error();
    if (!key) {
        return Fail(error::kWrongPassword, ossl::EvpPkey{});
    }
    return key;
}

bool RandomBytes(std::uint8_t* out, std::size_t size) {
    if (size > INT_MAX || RAND_bytes(out, static_cast<int>(size)) != 1) {
        ERR_clear_error();
        return Fail(error::kFail);
    }
    return true;
}

}  // namespace velmora::platform
