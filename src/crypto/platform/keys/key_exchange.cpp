// CryptExportKey and CryptImportKey: public keys of ephemeral and container
// key pairs, agreement keys, and a container's private key carried to
// another container under a key the two agree on.
//
// A public key blob is "VPUB", a version byte 1 and the key's
// SubjectPublicKeyInfo. A private key blob is "VPRV", a version byte 1, the
// 8-byte UKM, the 8-byte IV and the wrapped key: the two sides' agreement
// keys give one 32-byte key with the UKM (VKO), KDF_TREE turns it into a MAC
// key and an encryption key (label "kexp15", the UKM as seed), and KExp15
// with Kuznyechik wraps SEQUENCE { INTEGER keySpec, OCTET STRING PKCS#8
// PrivateKeyInfo, Extensions } (the container extensions travel with the key).
// The UKM is fresh for every export, so no two exports share a key.
#include "crypto/platform/keys/crypt_state.h"

#include "crypto/platform/asn1/decode_internal.h"
#include "crypto/platform/asn1/der_reader.h"
#include "crypto/platform/asn1/encode_der.h"
#include "crypto/platform/asn1/encode_values.h"
#include "crypto/platform/keys/key_wrap.h"
#include "crypto/platform/system/last_error.h"

#include <array>
#include <cstring>

namespace velmora::platform {
namespace {

constexpr std::array<std::uint8_t, 4> kPublicMagic = {'V', 'P', 'U', 'B'};
constexpr std::array<std::uint8_t, 4> kPrivateMagic = {'V', 'P', 'R', 'V'};
constexpr std::uint8_t kBlobVersion = 1;
constexpr std::size_t kUkmSize = 8;
constexpr WrapCipher kWrapCipher = WrapCipher::Kuznyechik;
constexpr std::string_view kWrapLabel = "kexp15";

Bytes BlobHeader(const std::array<std::uint8_t, 4>& magic) {
    Bytes blob(magic.begin(), magic.end());
    blob.push_back(kBlobVersion);
    return blob;
}

// The blob's content after its header, when the header is the one given.
std::optional<ByteView> BlobBody(ByteView blob, const std::array<std::uint8_t, 4>& magic) {
    if (blob.size() < magic.size() + 1 || !std::equal(magic.begin(), magic.end(), blob.begin()) ||
        blob[magic.size()] != kBlobVersion) {
        return Fail(error::kBadType, std::optional<ByteView>{});
    }
    return blob.subspan(magic.size() + 1);
}

// The MAC and encryption keys of an agreement key for one UKM.
std::optional<WipedBytes> WrapKeys(const CryptKeyState& agreement, ByteView ukm) {
    auto agreed = AgreeKey(agreement.own.get(), agreement.peer.get(), ukm);
    if (!agreed) {
        return std::nullopt;
    }
    return KdfTree256(agreed->view(), AsBytes(kWrapLabel), ukm, 64);
}

bool IsExportAgreement(const CryptKey* key) {
    return key != nullptr && key->IsValid() && key->State().kind == KeyKind::Agreement &&
           key->State().algId == kCalgProExport;
}

// SEQUENCE { INTEGER keySpec, OCTET STRING PrivateKeyInfo, Extensions }, in
// one buffer reserved up front so that no copy of the key is left behind.
std::optional<WipedBytes> TransportContent(const CryptKeyState& key, EVP_PKEY* private_key) {
    auto pkcs8 = PrivateKeyInfoDer(private_key);
    auto extensions = EncodeExtensions(key.file.extensions);
    if (!pkcs8 || !extensions) {
        return std::nullopt;
    }
    const std::uint8_t spec_value[] = {static_cast<std::uint8_t>(key.keySpec)};
    const Bytes key_spec = Der(der::kInteger, spec_value);
    WipedBytes content;
    content.bytes().reserve(pkcs8->bytes().size() + extensions->size() + 32);
    content.bytes().insert(content.bytes().end(), key_spec.begin(), key_spec.end());
    AppendDer(content.bytes(), der::kOctetString, pkcs8->view());
    content.bytes().insert(content.bytes().end(), extensions->begin(), extensions->end());
    WipedBytes whole;
    whole.bytes().reserve(content.bytes().size() + 8);
    AppendDer(whole.bytes(), der::kSequence, content.view());
    return whole;
}

std::optional<Bytes> ExportPrivateKey(CryptKeyState& key, const CryptKey* wrap_key) {
    if (key.kind != KeyKind::Pair) {
        return Fail(error::kBadKeyState, std::optional<Bytes>{});
    }
    // A private key leaves its container only wrapped, and only when it was
    // made exportable; nothing a caller passes changes that.
    if (!key.file.exportable) {
        return Fail(error::kBadKeyState, std::optional<Bytes>{});
    }
    if (wrap_key == nullptr) {
        return Fail(error::kPerm, std::optional<Bytes>{});
    }
    if (!IsExportAgreement(wrap_key)) {
        return Fail(error::kBadKey, std::optional<Bytes>{});
    }
    EVP_PKEY* private_key = UnlockPrivateKey(key);
    if (private_key == nullptr) {
        return std::nullopt;
    }
    const auto content = TransportContent(key, private_key);
    std::uint8_t ukm[kUkmSize];
    std::uint8_t iv[8];
    if (!content || !RandomBytes(ukm, sizeof ukm) || !RandomBytes(iv, sizeof iv)) {
        return std::nullopt;
    }
    const auto keys = WrapKeys(wrap_key->State(), ukm);
    if (!keys) {
        return std::nullopt;
    }
    const ByteView mac_key = keys->view().first(32);
    const ByteView cipher_key = keys->view().subspan(32, 32);
    const auto wrapped = KExp15(kWrapCipher, content->view(), mac_key, cipher_key, iv);
    if (!wrapped) {
        return std::nullopt;
    }
    Bytes blob = BlobHeader(kPrivateMagic);
    blob.insert(blob.end(), ukm, ukm + sizeof ukm);
    blob.insert(blob.end(), iv, iv + sizeof iv);
    blob.insert(blob.end(), wrapped->begin(), wrapped->end());
    return blob;
}

std::optional<CryptKey> ImportAgreementKey(ByteView body, const CryptKey* own) {
    if (own == nullptr || !own->IsValid() || own->State().kind != KeyKind::Ephemeral ||
        own->State().pending) {
        return Fail(error::kBadKey, std::optional<CryptKey>{});
    }
    const CryptKeyState& ephemeral = own->State();
    ossl::EvpPkey peer = PublicKeyOfInfo(body);
    // Agreement needs both keys on one curve: the other side's key must be of
    // the same family and parameter set.
    if (!peer || FamilyOfKey(peer.get()) != ephemeral.family ||
        ParamsetOfPublicKeyInfo(body) != ephemeral.paramset) {
        return Fail(error::kBadPublicKey, std::optional<CryptKey>{});
    }
    auto agreement = std::make_unique<CryptKeyState>();
    agreement->kind = KeyKind::Agreement;
    agreement->family = ephemeral.family;
    agreement->paramset = ephemeral.paramset;
    agreement->own = ossl::UpRef(ephemeral.ephemeral.get());
    agreement->peer = std::move(peer);
    agreement->algId = kCalgG28147;
    return MakeKey(std::move(agreement));
}

// The parts of a transported key, read from the unwrapped content.
struct Transported {
    std::uint32_t keySpec = 0;
    ByteView privateKeyInfo;
    std::vector<Extension> extensions;
};

std::optional<Transported> ReadTransported(ByteView content) {
    DerElement sequence;
    if (!decode::ReadWhole(content, der::kSequence, sequence)) {
        return Fail(error::kBadData, std::optional<Transported>{});
    }
    DerReader reader(sequence.content);
    DerElement key_spec;
    DerElement pkcs8;
    DerElement extensions;
    if (!reader.Read(der::kInteger, key_spec) || !reader.Read(der::kOctetString, pkcs8) ||
        !reader.Read(der::kSequence, extensions) || !reader.AtEnd() ||
        key_spec.content.size() != 1 ||
        (key_spec.content[0] != kAtKeyExchange && key_spec.content[0] != kAtSignature)) {
        return Fail(error::kBadData, std::optional<Transported>{});
    }
    auto decoded = DecodeExtensions(extensions.encoded);
    if (!decoded) {
        return Fail(error::kBadData, std::optional<Transported>{});
    }
    return Transported{key_spec.content[0], pkcs8.content, std::move(*decoded)};
}

std::optional<CryptKey> ImportPrivateKey(CryptProvider& provider, ByteView body,
                                         const CryptKey* unwrap_key, std::uint32_t flags) {
    if (!provider.State().container) {
        return Fail(error::kPerm, std::optional<CryptKey>{});
    }
    if (!IsExportAgreement(unwrap_key)) {
        return Fail(error::kBadKey, std::optional<CryptKey>{});
    }
    if ((flags & ~kCryptExportable) != 0) {
        return Fail(error::kBadFlags, std::optional<CryptKey>{});
    }
    if (body.size() < kUkmSize + 8) {
        return Fail(error::kBadData, std::optional<CryptKey>{});
    }
    const ByteView ukm = body.first(kUkmSize);
    const ByteView iv = body.subspan(kUkmSize, 8);
    const auto keys = WrapKeys(unwrap_key->State(), ukm);
    if (!keys) {
        return std::nullopt;
    }
    const auto content = KImp15(kWrapCipher, body.subspan(kUkmSize + 8), keys->view().first(32),
                                keys->view().subspan(32, 32), iv);
    if (!content) {
        return std::nullopt;
    }
    const auto transported = ReadTransported(content->view());
    if (!transported) {
        return std::nullopt;
    }
    ossl::EvpPkey key = KeyOfPrivateKeyInfo(transported->privateKeyInfo);
    if (!key) {
        return std::nullopt;
    }
    const auto family = FamilyOfKey(key.get());
    const auto& container = provider.State().container;
    if (!family || !ProviderHandles(container->provider, *family)) {
        return Fail(error::kBadAlgId, std::optional<CryptKey>{});
    }
    return StoreKeyPair(container, transported->keySpec, std::move(key),
                        (flags & kCryptExportable) != 0, transported->extensions);
}

}  // namespace

std::optional<Bytes> ExportKey(const CryptKey& key, const CryptKey* wrap_key,
                               std::uint32_t blob_type) {
    if (!key.IsValid()) {
        return Fail(error::kInvalidParameter, std::optional<Bytes>{});
    }
    CryptKeyState& state = key.State();
    if (blob_type == kPrivateKeyBlob) {
        return ExportPrivateKey(state, wrap_key);
    }
    if (blob_type != kPublicKeyBlob) {
        return Fail(error::kBadType, std::optional<Bytes>{});
    }
    std::optional<Bytes> public_key;
    switch (state.kind) {
        case KeyKind::Pair:
            public_key = state.file.publicKeyInfo;
            break;
        case KeyKind::Ephemeral:
            if (state.pending) {
                return Fail(error::kBadKeyState, std::optional<Bytes>{});
            }
            public_key = PublicKeyInfoDer(state.ephemeral.get());
            break;
        case KeyKind::Agreement:
            return Fail(error::kBadKeyState, std::optional<Bytes>{});
    }
    if (!public_key) {
        return std::nullopt;
    }
    Bytes blob = BlobHeader(kPublicMagic);
    blob.insert(blob.end(), public_key->begin(), public_key->end());
    return blob;
}

std::optional<CryptKey> ImportKey(CryptProvider& provider, ByteView blob,
                                  const CryptKey* unwrap_key, std::uint32_t flags) {
    if (!provider.IsOpen()) {
        return Fail(error::kInvalidParameter, std::optional<CryptKey>{});
    }
    if (auto body = BlobBody(blob, kPublicMagic)) {
        return ImportAgreementKey(*body, unwrap_key);
    }
    if (auto body = BlobBody(blob, kPrivateMagic)) {
        return ImportPrivateKey(provider, *body, unwrap_key, flags);
    }
    return Fail(error::kBadType, std::optional<CryptKey>{});
}

}  // namespace velmora::platform
