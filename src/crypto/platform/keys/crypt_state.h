// What a provider context and a key hold inside the boundary, and the steps
// shared by the files that implement crypt_provider.h. Boundary-internal.
#pragma once

#include "crypto/platform/keys/container_files.h"
#include "crypto/platform/keys/container_store.h"
#include "crypto/platform/keys/crypt_provider.h"
#include "crypto/platform/keys/key_material.h"
#include "crypto/platform/keys/providers.h"
#include "crypto/platform/ossl_ptr.h"

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace velmora::platform {

// An open container, shared by its context and the keys taken from it, so a
// key stays usable after its context is released.
struct OpenContainer {
    ProviderDescription provider;
    StoredContainer stored;
    bool silent = false;  // CRYPT_SILENT: no password is asked for
};

// An enumeration of GetProvParam in progress: its entries and the next one.
struct Enumeration {
    std::vector<Bytes> entries;
    std::size_t next = 0;
};

class CryptProviderState {
  public:
    ProviderDescription provider;
    bool silent = false;
    std::shared_ptr<OpenContainer> container;  // null for a verify context
    std::map<std::uint32_t, Enumeration> enumerations;
};

enum class KeyKind {
    Pair,       // the container's exchange or signature key pair
    Ephemeral,  // an ephemeral agreement key (kCalgDhElEphem), in memory only
    Agreement,  // an ephemeral key together with the other side's public key
};

class CryptKeyState {
  public:
    ~CryptKeyState();

    KeyKind kind = KeyKind::Pair;

    // Pair: where it lives and its key file as read (the private key still
    // encrypted when the container has a password).
    std::shared_ptr<OpenContainer> container;
    std::uint32_t keySpec = kAtKeyExchange;
    KeyFileContent file;
    ossl::EvpPkey privateKey;  // once unlocked

    // Ephemeral: its family and parameter set; `pending` until kKpX completes
    // a key made with kCryptPregen.
    KeyFamily family = KeyFamily::Gost2001;
    std::string paramset;
    bool pending = false;
    ossl::EvpPkey ephemeral;

    // Agreement: the own ephemeral key pair, the other side's public key and
    // the algorithm set with kKpAlgId.
    ossl::EvpPkey own;
    ossl::EvpPkey peer;
    std::uint32_t algId = 0;
};

// The key pair of that kind as stored in the container, private
// key still locked; NTE_NO_KEY when the container has none, NTE_KEYSET_ENTRY_BAD
// when its key file is damaged.
std::optional<CryptKey> LoadKeyPair(const std::shared_ptr<OpenContainer>& container,
                                    std::uint32_t key_spec);

// The private key of a pair, unlocked with the container's password when it
// has one (asked through the password prompt, a few attempts). Null with the
// last error (kWrongPassword, ERROR_CANCELLED, NTE_SILENT_CONTEXT) otherwise.
EVP_PKEY* UnlockPrivateKey(CryptKeyState& key);

// The bytes of a key file for a key pair: a new password is asked for the
// container when a prompt is installed and the context is not silent.
std::optional<WipedBytes> NewKeyFileBytes(const EVP_PKEY* key, bool exportable,
                                          const std::vector<Extension>& extensions,
                                          const std::string& container_name, bool silent);

// Writes a new key pair into an open container (NTE_EXISTS when it already
// holds one of that kind: a key pair is never replaced) and gives it
// as a key, unlocked.
std::optional<CryptKey> StoreKeyPair(const std::shared_ptr<OpenContainer>& container,
                                     std::uint32_t key_spec, ossl::EvpPkey key, bool exportable,
                                     const std::vector<Extension>& extensions);

// The private-key validity extension of a key made now: from now to now plus
// one year and three months less one day (nullopt for a clock beyond 9998).
std::optional<Extension> NewPrivateKeyValidity();

// A CryptKey around a state.
CryptKey MakeKey(std::unique_ptr<CryptKeyState> state);

// The provider parameters of a new container, by the family of its provider.
const char* DefaultHashOid(KeyFamily family);
const char* DefaultCipherOid(KeyFamily family);

// The container's own name from what the caller gave: a plain name, or a
// fully qualified "\\.\HDIMAGE\name". nullopt (NTE_BAD_KEYSET) for another reader.
std::optional<std::string> ContainerNameOf(std::string_view container);

// The algorithm of an agreement key until kKpAlgId sets another: GOST 28147-89.
inline constexpr std::uint32_t kCalgG28147 = 0x661E;

// Parameter values: a text and its NUL, a 32-bit number little endian.
void AppendText(Bytes& out, std::string_view text);
void AppendUint32(Bytes& out, std::uint32_t value);
Bytes TextValue(std::string_view text);
Bytes Uint32Value(std::uint32_t value);
// The OID of a value holding its text, optionally followed by one NUL;
// ERROR_INVALID_PARAMETER for anything else.
std::optional<std::string> OidTextOfValue(ByteView value);

}  // namespace velmora::platform
