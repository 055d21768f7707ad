#include "crypto/platform/certs/signature_check.h"

#include "crypto/platform/asn1/decode_internal.h"
#include "crypto/platform/asn1/decode_signed_content.h"
#include "crypto/platform/asn1/encode_values.h"
#include "crypto/platform/ossl_ptr.h"
#include "crypto/platform/system/gost_engine.h"

#include <openssl/err.h>
#include <openssl/objects.h>

namespace velmora::platform {
namespace {

// The GOST algorithms all live under the Russian arc.
bool IsGostOid(std::string_view oid) {
    return oid.starts_with("1.2.643.");
}

int NidOfOid(const std::string& oid) {
    ossl::Asn1Object object(OBJ_txt2obj(oid.c_str(), 1));
    return object ? OBJ_obj2nid(object.get()) : NID_undef;
}

bool Refuse(std::uint32_t code) {
    ERR_clear_error();
    SetLastError(code);
    return false;
}

}  // namespace

bool VerifyCertificateSignature(ByteView signed_der, const PublicKeyInfo& public_key) {
    std::optional<SignedContent> content = DecodeSignedContent(signed_der);
    if (!content) {
        return false;
    }
    const std::string& signature_oid = content->signatureAlgorithm.oid;
    if ((IsGostOid(signature_oid) || IsGostOid(public_key.algorithm.oid)) && !StartGostEngine()) {
        return false;  // StartGostEngine has set the error
    }
    int digest_nid = NID_undef;
    int key_nid = NID_undef;
    const int signature_nid = NidOfOid(signature_oid);
    if (signature_nid == NID_undef ||
        OBJ_find_sigid_algs(signature_nid, &digest_nid, &key_nid) != 1) {
        return Refuse(error::kUnknownAlgo);
    }
    // Only the schemes with the hash inside the key's own algorithm (Ed25519,
    // Ed448) go without a digest; RSA-PSS needs its parameters, which this
    // check does not read.
    const EVP_MD* digest = nullptr;
    if (digest_nid == NID_undef && key_nid != NID_ED25519 && key_nid != NID_ED448) {
        return Refuse(error::kUnknownAlgo);
    }
    if (digest_nid != NID_undef) {
        digest = EVP_get_digestbynid(digest_nid);
        if (digest == nullptr) {
            return Refuse(error::kUnknownAlgo);
        }
    }

    std::optional<Bytes> key_der = EncodePublicKeyInfo(public_key);
    if (!key_der) {
        return Refuse(error::kBadKey);
    }
    const unsigned char* p = key_der->data();
    ossl::EvpPkey key(d2i_PUBKEY(nullptr, &p, static_cast<long>(key_der->size())));
    if (!key || EVP_PKEY_get_base_id(key.get()) != EVP_PKEY_type(key_nid)) {
        return Refuse(error::kBadKey);
    }

    ossl::EvpMdCtx context(EVP_MD_CTX_new());
    if (!context) {
        return Refuse(error::kNoMemory);
    }
    if (EVP_DigestVerifyInit(context.get(), nullptr, digest, nullptr, key.get()) != 1) {
        return Refuse(error::kBadKey);
    }
    // The signature stands in the encoding most significant byte first.
    const Bytes signature = decode::Reversed(content->signature);
    const int verified = EVP_DigestVerify(context.get(), signature.data(), signature.size(),
                                          content->toBeSigned.data(), content->toBeSigned.size());
    if (verified != 1) {
        return Refuse(error::kBadSignature);
    }
    return true;
}

}  // namespace velmora::platform
