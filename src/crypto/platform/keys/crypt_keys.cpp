// Keys of a context: CryptGetUserKey, CryptGenKey, the key parameters and
// the public key information.
#include "crypto/platform/keys/crypt_state.h"

#include "crypto/platform/asn1/encode_der.h"
#include "crypto/platform/system/last_error.h"

namespace velmora::platform {
namespace {

// The algorithm identifiers of the key pairs (KP_ALGID).
constexpr std::uint32_t kCalgDhEl = 0xAA24;         // exchange, GOST R 34.10-2001
constexpr std::uint32_t kCalgDh2012_256 = 0xAA46;   // exchange, GOST R 34.10-2012 256
constexpr std::uint32_t kCalgGr3410El = 0x2E23;     // signature, GOST R 34.10-2001
constexpr std::uint32_t kCalgGr3410_2012 = 0x2E49;  // signature, GOST R 34.10-2012 256

std::optional<std::shared_ptr<OpenContainer>> ContainerOf(CryptProvider& provider) {
    if (!provider.IsOpen()) {
        return Fail(error::kInvalidParameter, std::optional<std::shared_ptr<OpenContainer>>{});
    }
    if (!provider.State().container) {
        return Fail(error::kPerm, std::optional<std::shared_ptr<OpenContainer>>{});
    }
    return provider.State().container;
}

std::optional<KeyFamily> FamilyOfPair(const CryptKeyState& key) {
    const auto info = DecodePublicKeyInfo(key.file.publicKeyInfo);
    return info ? FamilyOfAlgorithmOid(info->algorithm.oid) : std::nullopt;
}

std::optional<Bytes> PairAlgId(const CryptKeyState& key) {
    const auto family = FamilyOfPair(key);
    if (!family) {
        return Fail(error::kKeysetEntryBad, std::optional<Bytes>{});
    }
    const bool gost2001 = *family == KeyFamily::Gost2001;
    if (key.keySpec == kAtSignature) {
        return Uint32Value(gost2001 ? kCalgGr3410El : kCalgGr3410_2012);
    }
    return Uint32Value(gost2001 ? kCalgDhEl : kCalgDh2012_256);
}

bool SetCertificate(CryptKeyState& key, ByteView value) {
    if (key.kind != KeyKind::Pair) {
        return Fail(error::kBadKeyState);
    }
    const CertContext certificate = CreateCertificateContext(value);
    if (!certificate) {
        return false;
    }
    // A certificate for another key would make the container claim a key it
    // does not hold; it is refused.
    const auto own = DecodePublicKeyInfo(key.file.publicKeyInfo);
    if (!own || !ComparePublicKeyInfo(*own, certificate->Info().publicKey)) {
        return Fail(error::kBadPublicKey);
    }
    return WriteContainerFile(key.container->stored, CertificateFileName(key.keySpec),
                              certificate->Encoded());
}

std::optional<CryptKey> NewEphemeral(CryptProvider& provider, std::uint32_t flags) {
    const CryptProviderState& state = provider.State();
    auto key = std::make_unique<CryptKeyState>();
    key->kind = KeyKind::Ephemeral;
    key->family = state.provider.family;
    key->paramset = kCryptoProAParamset;
    // An ephemeral key of a container takes the parameter set of its
    // exchange key, so that it agrees with keys made on that set.
    if (state.container) {
        if (auto pair = LoadKeyPair(state.container, kAtKeyExchange)) {
            if (auto paramset = ParamsetOfPublicKeyInfo(pair->State().file.publicKeyInfo)) {
                key->paramset = *paramset;
            }
        }
    }
    if ((flags & kCryptPregen) != 0) {
        key->pending = true;
    } else {
        key->ephemeral = GenerateKeyPair(key->family, key->paramset);
        if (!key->ephemeral) {
            return std::nullopt;
        }
    }
    return MakeKey(std::move(key));
}

}  // namespace

std::optional<CryptKey> GetUserKey(CryptProvider& provider, std::uint32_t key_spec) {
    const auto container = ContainerOf(provider);
    if (!container) {
        return std::nullopt;
    }
    if (key_spec != kAtKeyExchange && key_spec != kAtSignature) {
        return Fail(error::kBadKey, std::optional<CryptKey>{});
    }
    return LoadKeyPair(*container, key_spec);
}

std::optional<CryptKey> GenKey(CryptProvider& provider, std::uint32_t algorithm,
                               std::uint32_t flags) {
    if (!provider.IsOpen()) {
        return Fail(error::kInvalidParameter, std::optional<CryptKey>{});
    }
    // The upper 16 bits carry a key length, which GOST keys do not choose.
    const std::uint32_t own_flags = flags & 0xFFFF;
    if (algorithm == kCalgDhElEphem) {
        if ((own_flags & ~(kCryptExportable | kCryptPregen)) != 0) {
            return Fail(error::kBadFlags, std::optional<CryptKey>{});
        }
        return NewEphemeral(provider, own_flags);
    }
    if (algorithm != kAtKeyExchange && algorithm != kAtSignature) {
        return Fail(error::kBadAlgId, std::optional<CryptKey>{});
    }
    if ((own_flags & ~kCryptExportable) != 0) {
        return Fail(error::kBadFlags, std::optional<CryptKey>{});
    }
    const auto container = ContainerOf(provider);
    if (!container) {
        return std::nullopt;
    }
    ossl::EvpPkey pair = GenerateKeyPair((*container)->provider.family, kCryptoProAParamset);
    if (!pair) {
        return std::nullopt;
    }
    std::vector<Extension> extensions;
    if (auto validity = NewPrivateKeyValidity()) {
        extensions.push_back(std::move(*validity));
    }
    return StoreKeyPair(*container, algorithm, std::move(pair), (own_flags & kCryptExportable) != 0,
                        extensions);
}

std::optional<Bytes> GetKeyParam(const CryptKey& key, std::uint32_t param) {
    if (!key.IsValid()) {
        return Fail(error::kInvalidParameter, std::optional<Bytes>{});
    }
    const CryptKeyState& state = key.State();
    switch (param) {
        case kKpCertificate: {
            if (state.kind != KeyKind::Pair) {
                return Fail(error::kBadKeyState, std::optional<Bytes>{});
            }
            auto certificate =
                ReadContainerFile(state.container->stored, CertificateFileName(state.keySpec),
                                  kMaxCertificateFileSize);
            if (!certificate && GetLastError() == error::kFileNotFound) {
                return Fail(error::kNoSuchCertificate, std::optional<Bytes>{});
            }
            return certificate;
        }
        case kKpAlgId:
            switch (state.kind) {
                case KeyKind::Pair:
                    return PairAlgId(state);
                case KeyKind::Ephemeral:
                    return Uint32Value(kCalgDhElEphem);
                case KeyKind::Agreement:
                    return Uint32Value(state.algId);
            }
            break;
        case kKpDhOid:
            if (state.kind == KeyKind::Pair) {
                auto paramset = ParamsetOfPublicKeyInfo(state.file.publicKeyInfo);
                return paramset ? std::optional<Bytes>(TextValue(*paramset)) : std::nullopt;
            }
            if (state.kind == KeyKind::Ephemeral) {
                return TextValue(state.paramset);
            }
            return Fail(error::kBadKeyState, std::optional<Bytes>{});
        default:
            break;
    }
    return Fail(error::kBadType, std::optional<Bytes>{});
}

bool SetKeyParam(CryptKey& key, std::uint32_t param, ByteView value) {
    if (!key.IsValid()) {
        return Fail(error::kInvalidParameter);
    }
    CryptKeyState& state = key.State();
    switch (param) {
        case kKpCertificate:
            return SetCertificate(state, value);
        case kKpDhOid: {
            if (state.kind != KeyKind::Ephemeral || !state.pending) {
                return Fail(error::kBadKeyState);
            }
            auto oid = OidTextOfValue(value);
            if (!oid) {
                return false;
            }
            state.paramset = std::move(*oid);
            return true;
        }
        case kKpX:
            if (state.kind != KeyKind::Ephemeral || !state.pending) {
                return Fail(error::kBadKeyState);
            }
            if (!value.empty()) {
                return Fail(error::kInvalidParameter);
            }
            state.ephemeral = GenerateKeyPair(state.family, state.paramset);
            if (!state.ephemeral) {
                return false;
            }
            state.pending = false;
            return true;
        case kKpAlgId: {
            if (state.kind != KeyKind::Agreement) {
                return Fail(error::kBadKeyState);
            }
            if (value.size() != 4) {
                return Fail(error::kInvalidParameter);
            }
            const std::uint32_t alg_id = value[0] | (value[1] << 8) | (value[2] << 16) |
                                         (static_cast<std::uint32_t>(value[3]) << 24);
            if (alg_id != kCalgProExport && alg_id != kCalgG28147) {
                return Fail(error::kBadAlgId);
            }
            state.algId = alg_id;
            return true;
        }
        default:
            return Fail(error::kBadType);
    }
}

std::optional<PublicKeyInfo> ExportPublicKeyInfo(CryptProvider& provider, std::uint32_t key_spec) {
    auto key = GetUserKey(provider, key_spec);
    if (!key) {
        return std::nullopt;
    }
    return DecodePublicKeyInfo(key->State().file.publicKeyInfo);
}

bool ComparePublicKeyInfo(const PublicKeyInfo& a, const PublicKeyInfo& b) {
    return a.algorithm.oid == b.algorithm.oid && a.publicKey == b.publicKey &&
           a.unusedBits == b.unusedBits;
}

}  // namespace velmora::platform
