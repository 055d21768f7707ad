// Provider contexts, key containers and keys (the platform's HCRYPTPROV and
// HCRYPTKEY), with the flags, parameter numbers and meanings the callers
// know them by. Containers are folders under the reader "HDIMAGE"
// (KeyFolder()); every call that fails returns false or nullopt and sets the
// last-error code.
#pragma once

#include "crypto/platform/asn1/decode_public_key.h"
#include "crypto/platform/certs/cert_context.h"
#include "encoding/bytes.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace velmora::platform {

// CryptAcquireContext flags.
inline constexpr std::uint32_t kCryptVerifyContext = 0xF0000000;
inline constexpr std::uint32_t kCryptNewKeyset = 0x00000008;
inline constexpr std::uint32_t kCryptDeleteKeyset = 0x00000010;
inline constexpr std::uint32_t kCryptSilent = 0x00000040;

// Key specifications.
inline constexpr std::uint32_t kAtKeyExchange = 1;
inline constexpr std::uint32_t kAtSignature = 2;

// Provider parameters.
inline constexpr std::uint32_t kPpEnumContainers = 2;
inline constexpr std::uint32_t kPpName = 4;
inline constexpr std::uint32_t kPpVersion = 5;
inline constexpr std::uint32_t kPpHashOid = 92;
inline constexpr std::uint32_t kPpCipherOid = 93;
inline constexpr std::uint32_t kPpEnumReaders = 114;
inline constexpr std::uint32_t kPpEnumContainerExtensions = 133;

// Enumeration flags of CryptGetProvParam.
inline constexpr std::uint32_t kCryptFirst = 1;
inline constexpr std::uint32_t kCryptNext = 2;
inline constexpr std::uint32_t kCryptUniqueName = 0x08;  // entries carry the unique name
inline constexpr std::uint32_t kCryptFqcn = 0x10;        // entries carry the fully qualified name

// Key parameters.
inline constexpr std::uint32_t kKpAlgId = 7;
inline constexpr std::uint32_t kKpX = 14;
inline constexpr std::uint32_t kKpCertificate = 26;
inline constexpr std::uint32_t kKpDhOid = 106;

// CryptGenKey flags and algorithms. The key length of a generated key
// travels in the upper 16 bits of the flags.
inline constexpr std::uint32_t kCryptExportable = 0x00000001;
inline constexpr std::uint32_t kCryptPregen = 0x00000040;
inline constexpr std::uint32_t kCalgDhElEphem = 0xAA25;  // ephemeral key-agreement key
inline constexpr std::uint32_t kCalgProExport = 0x661F;  // key export set on an agreement key

// Key blob types.
inline constexpr std::uint32_t kPublicKeyBlob = 6;
inline constexpr std::uint32_t kPrivateKeyBlob = 7;

// The private-key validity extension a container carries from key generation.
inline constexpr const char* kPrivateKeyValidityOid = "1.2.643.2.2.37.3.10";
// The structure type that decodes its value: the second 8-byte field is the
// end of the validity as a file time.
inline constexpr const char* kPrivateKeyValidityStructType =
    "{E36FC6F5-4880-4CB7-BA51-1FCD92CA1453}";

class CryptProviderState;
class CryptKeyState;

// An open provider context: a verify context (no container) or an open
// container. Move-only; released when destroyed (CryptReleaseContext).
class CryptProvider {
  public:
    CryptProvider();
    ~CryptProvider();
    CryptProvider(CryptProvider&&) noexcept;
    CryptProvider& operator=(CryptProvider&&) noexcept;
    CryptProvider(const CryptProvider&) = delete;
    CryptProvider& operator=(const CryptProvider&) = delete;

    bool IsOpen() const { return state_ != nullptr; }

    // For the boundary's own files.
    explicit CryptProvider(std::unique_ptr<CryptProviderState> state);
    CryptProviderState& State() const { return *state_; }

  private:
    std::unique_ptr<CryptProviderState> state_;
};

// A key of an open context: the exchange or signature key pair of the
// container, an ephemeral key or an agreement key. Move-only
// (CryptDestroyKey when destroyed); a key never outlives the use its
// context allows, and private key material is wiped when it goes.
class CryptKey {
  public:
    CryptKey();
    ~CryptKey();
    CryptKey(CryptKey&&) noexcept;
    CryptKey& operator=(CryptKey&&) noexcept;
    CryptKey(const CryptKey&) = delete;
    CryptKey& operator=(const CryptKey&) = delete;

    bool IsValid() const { return state_ != nullptr; }

    // For the boundary's own files.
    explicit CryptKey(std::unique_ptr<CryptKeyState> state);
    CryptKeyState& State() const { return *state_; }

  private:
    std::unique_ptr<CryptKeyState> state_;
};

// CryptEnumProviders: the name and type of the provider at that index;
// nullopt (ERROR_NO_MORE_ITEMS) past the last.
struct ProviderEntry {
    std::string name;
    std::uint32_t type = 0;
};
std::optional<ProviderEntry> EnumProviders(std::uint32_t index);

// CryptAcquireContext. `container` empty means the provider's default
// container (or none, with kCryptVerifyContext); it may also be a fully
// qualified name "\\.\HDIMAGE\name". `provider` empty means the default
// provider of the type. kCryptNewKeyset creates an empty container (fails
// with NTE_EXISTS when it exists); kCryptDeleteKeyset deletes one and leaves
// `out` closed. Container names are never used as paths: any text (slashes,
// "..", NUL, Cyrillic) names a container inside the key folder.
bool AcquireContext(CryptProvider& out, std::string_view container, std::string_view provider,
                    std::uint32_t type, std::uint32_t flags);

// CryptGetProvParam. Enumerations (kPpEnumContainers, kPpEnumReaders,
// kPpEnumContainerExtensions) start with kCryptFirst and go on with
// kCryptNext until ERROR_NO_MORE_ITEMS. Entries:
// - kPpEnumContainers with kCryptFqcn | kCryptUniqueName: the fully qualified
//   name, NUL, the unique name "HDIMAGE\<folder>", NUL; otherwise the
//   container's name, NUL.
// - kPpEnumReaders: the reader's display name, NUL, its name as it stands in
//   fully qualified container names, NUL.
// - kPpEnumContainerExtensions: a 32-bit critical flag, a 32-bit length n,
//   n bytes of the extension value, the OID text and NUL (little endian).
// - kPpName: the provider name and NUL; kPpVersion: 4 bytes, little endian.
// - kPpHashOid, kPpCipherOid: the parameter-set OID text and NUL.
std::optional<Bytes> GetProvParam(CryptProvider& provider, std::uint32_t param,
                                  std::uint32_t flags = 0);
bool SetProvParam(CryptProvider& provider, std::uint32_t param, ByteView value);

// CryptGetUserKey: the container's key pair of that kind
// (NTE_NO_KEY when it has none).
std::optional<CryptKey> GetUserKey(CryptProvider& provider, std::uint32_t key_spec);

// CryptGenKey: kAtKeyExchange or kAtSignature makes the container's key pair
// of the provider's family, written to the container at once (with the
// private-key validity extension); kCalgDhElEphem an ephemeral agreement key
// that lives only in memory. kCryptExportable allows exporting the private
// key; kCryptPregen leaves an ephemeral key's parameters to be set before
// it is completed with kKpX.
std::optional<CryptKey> GenKey(CryptProvider& provider, std::uint32_t algorithm,
                               std::uint32_t flags);

// CryptGetKeyParam / CryptSetKeyParam: kKpCertificate (the certificate's DER;
// setting it writes it to the container), kKpAlgId (4 bytes), kKpDhOid (the
// agreement parameter-set OID text and NUL), kKpX (completes a pre-generated
// ephemeral key; no value).
std::optional<Bytes> GetKeyParam(const CryptKey& key, std::uint32_t param);
bool SetKeyParam(CryptKey& key, std::uint32_t param, ByteView value);

// CryptExportKey: kPublicKeyBlob of any key pair; kPrivateKeyBlob of an
// exportable key pair, wrapped under `wrap_key` (an agreement key whose
// kKpAlgId is kCalgProExport). A private key is never exported in clear:
// without a wrap key, or from a key that is not exportable, the call fails
// with NTE_BAD_KEY_STATE / NTE_PERM.
std::optional<Bytes> ExportKey(const CryptKey& key, const CryptKey* wrap_key,
                               std::uint32_t blob_type);

// CryptImportKey: a kPublicKeyBlob together with the context's own ephemeral
// key gives an agreement key (VKO); a kPrivateKeyBlob wrapped under an
// agreement key becomes the container's key pair and is written to it.
std::optional<CryptKey> ImportKey(CryptProvider& provider, ByteView blob,
                                  const CryptKey* unwrap_key, std::uint32_t flags);

// CryptExportPublicKeyInfo: the public key of the container's key pair of
// that kind.
std::optional<PublicKeyInfo> ExportPublicKeyInfo(CryptProvider& provider, std::uint32_t key_spec);

// CertComparePublicKeyInfo: algorithm OID and key bits equal.
bool ComparePublicKeyInfo(const PublicKeyInfo& a, const PublicKeyInfo& b);

// CryptSignAndEncodeCertificate for a request: signs the DER of a
// to-be-signed part with the container's key pair and gives the DER of the
// signed object (to-be-signed part, the algorithm, the signature).
std::optional<Bytes> SignAndEncode(CryptProvider& provider, std::uint32_t key_spec,
                                   ByteView to_be_signed, const AlgorithmIdentifier& algorithm);

// CryptAcquireCertificatePrivateKey: opens the container named by the
// certificate's key-provider property (CRYPT_E_NO_KEY_PROPERTY, 0x8009200B,
// without one) and checks that its key pair belongs to the certificate
// (NTE_BAD_PUBLIC_KEY, 0x80090015, when it does not).
struct CertificatePrivateKey {
    CryptProvider provider;
    std::uint32_t keySpec = kAtKeyExchange;
};
std::optional<CertificatePrivateKey> AcquireCertificatePrivateKey(const CertContext& certificate);

// Puts a key pair made elsewhere (PKCS#8, DER or PEM, encrypted or not) into
// a new container of the provider, with the certificate when one is given.
// The key must be of a family the provider handles.
bool ImportContainerKey(std::string_view container, std::string_view provider, std::uint32_t type,
                        ByteView private_key, const CertContext& certificate, bool exportable);

}  // namespace velmora::platform
