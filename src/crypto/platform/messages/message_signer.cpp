// Signers: the private key of a certificate, unlocked, with the hash of the
// key's family.
#include "crypto/platform/keys/crypt_state.h"
#include "crypto/platform/messages/message_state.h"
#include "crypto/platform/system/gost_engine.h"
#include "crypto/platform/system/last_error.h"

#include <openssl/err.h>
#include <openssl/objects.h>

namespace velmora::platform {
namespace {

// GOST R 34.10-2001 keys sign GOST R 34.11-94 hashes, GOST R 34.10-2012 keys
// Streebog hashes of their own length; a key of another family is refused.
const EVP_MD* DigestOfKey(const EVP_PKEY* key) {
    switch (EVP_PKEY_get_base_id(key)) {
        case NID_id_GostR3410_2001:
            return EVP_get_digestbyname("md_gost94");
        case NID_id_GostR3410_2012_256:
            return EVP_get_digestbyname("md_gost12_256");
        case NID_id_GostR3410_2012_512:
            return EVP_get_digestbyname("md_gost12_512");
        default:
            return nullptr;
    }
}

}  // namespace

MessageSigner::MessageSigner() = default;
MessageSigner::~MessageSigner() = default;
MessageSigner::MessageSigner(MessageSigner&&) noexcept = default;
MessageSigner& MessageSigner::operator=(MessageSigner&&) noexcept = default;
MessageSigner::MessageSigner(std::unique_ptr<MessageSignerState> state)
    : state_(std::move(state)) {}

const CertContext& MessageSigner::Certificate() const {
    return state_->certificate;
}

std::string MessageSigner::HashOid() const {
    return OidText(OBJ_nid2obj(EVP_MD_get_type(state_->md)));
}

std::optional<MessageSigner> MessageSigner::Create(const CertContext& certificate,
                                                   CertificatePrivateKey* acquired) {
    if (!certificate) {
        return Fail(error::kInvalidParameter, std::optional<MessageSigner>{});
    }
    if (!StartGostEngine()) {
        return Fail(error::kProviderDllFail, std::optional<MessageSigner>{});
    }
    std::optional<CertificatePrivateKey> own;
    if (acquired == nullptr) {
        own = AcquireCertificatePrivateKey(certificate);
        if (!own) {
            return std::nullopt;
        }
        acquired = &*own;
    }
    auto key = GetUserKey(acquired->provider, acquired->keySpec);
    if (!key) {
        return std::nullopt;
    }
    EVP_PKEY* private_key = UnlockPrivateKey(key->State());
    if (private_key == nullptr) {
        return std::nullopt;
    }
    auto state = std::make_unique<MessageSignerState>();
    state->md = DigestOfKey(private_key);
    if (state->md == nullptr) {
        return Fail(error::kBadAlgId, std::optional<MessageSigner>{});
    }
    state->x509 = X509OfContext(certificate);
    if (!state->x509) {
        return std::nullopt;
    }
    state->key = ossl::UpRef(private_key);
    state->certificate = certificate;
    return MessageSigner(std::move(state));
}

}  // namespace velmora::platform
