// GOST key pairs through the engine: generation, their public and private
// encodings, and password protection of the private key (PKCS#8 with PBES2:
// PBKDF2 with HMAC-Streebog-512 and GOST 28147-89, the scheme of
// R 50.1.111-2016, which `openssl pkcs8 -engine gost` reads). Boundary-internal.
#pragma once

#include "crypto/platform/asn1/decode_public_key.h"
#include "crypto/platform/keys/providers.h"
#include "crypto/platform/ossl_ptr.h"
#include "encoding/bytes.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace velmora::platform {

// PBKDF2 iterations of a container password: one unlock was measured at
// about 160 ms of processor time on the development machine, enough to slow
// guessing without making an unlock feel slow.
inline constexpr int kPasswordIterations = 50000;
// The most iterations a key file may ask for; more would let a damaged or
// hostile file stall the program.
inline constexpr long kMaxPasswordIterations = 5'000'000;

// Bytes that are wiped when they go (a private key's encodings).
class WipedBytes {
  public:
    WipedBytes() = default;
    explicit WipedBytes(Bytes bytes) : bytes_(std::move(bytes)) {}
    WipedBytes(WipedBytes&& other) noexcept : bytes_(std::move(other.bytes_)) {}
    WipedBytes& operator=(WipedBytes&& other) noexcept;
    WipedBytes(const WipedBytes&) = delete;
    WipedBytes& operator=(const WipedBytes&) = delete;
    ~WipedBytes();

    Bytes& bytes() { return bytes_; }
    const Bytes& bytes() const { return bytes_; }
    ByteView view() const { return bytes_; }

  private:
    Bytes bytes_;
};

// The public-key algorithm OIDs.
inline constexpr const char* kGost2001KeyOid = "1.2.643.2.2.19";
inline constexpr const char* kGost2012_256KeyOid = "1.2.643.7.1.1.1.1";
// The key parameter set of new key pairs: CryptoPro-A.
inline constexpr const char* kCryptoProAParamset = "1.2.643.2.2.35.1";

std::optional<KeyFamily> FamilyOfAlgorithmOid(std::string_view oid);
std::optional<KeyFamily> FamilyOfKey(const EVP_PKEY* key);

// A key pair of the family on the parameter set; nullptr with NTE_BAD_ALGID
// for a parameter set the engine does not know, NTE_PROVIDER_DLL_FAIL
// without the engine.
ossl::EvpPkey GenerateKeyPair(KeyFamily family, std::string_view paramset_oid);

// The DER of the key's SubjectPublicKeyInfo.
std::optional<Bytes> PublicKeyInfoDer(const EVP_PKEY* key);
// The public key of a SubjectPublicKeyInfo; nullptr with NTE_BAD_PUBLIC_KEY
// for one that is no GOST key of a handled family.
ossl::EvpPkey PublicKeyOfInfo(ByteView der);
// The key parameter set OID of a GOST public key (the first OID of its
// algorithm parameters).
std::optional<std::string> ParamsetOfPublicKeyInfo(ByteView der);
// True when the key pair's public key is the one of the SubjectPublicKeyInfo.
bool KeyMatchesPublicKeyInfo(const EVP_PKEY* key, ByteView der);

// The unencrypted PKCS#8 PrivateKeyInfo of a key pair.
std::optional<WipedBytes> PrivateKeyInfoDer(const EVP_PKEY* key);
// The key pair of an unencrypted PrivateKeyInfo; nullptr with NTE_BAD_KEY.
ossl::EvpPkey KeyOfPrivateKeyInfo(ByteView der);

// The EncryptedPrivateKeyInfo (PKCS#8) of a key pair under the password.
std::optional<Bytes> EncryptPrivateKey(const EVP_PKEY* key, std::string_view password);
// Whether the DER is an EncryptedPrivateKeyInfo that a password can open:
// PBES2 with PBKDF2 and at most kMaxPasswordIterations iterations.
bool IsOpenableEncryptedKey(ByteView der);
// The key pair of an EncryptedPrivateKeyInfo; nullptr when the password does
// not open it (kWrongPassword).
ossl::EvpPkey DecryptPrivateKey(ByteView der, std::string_view password);

// Random bytes from OpenSSL's generator.
bool RandomBytes(std::uint8_t* out, std::size_t size);

}  // namespace velmora::platform
