// Steps shared by signing, co-signing and verification.
#include "crypto/platform/messages/message_state.h"
#include "crypto/platform/system/last_error.h"

#include <openssl/err.h>
#include <openssl/objects.h>

namespace velmora::platform {

std::optional<Bytes> DigestOfSource(const EVP_MD* md, ByteSource& source) {
    ossl::EvpMdCtx ctx(EVP_MD_CTX_new());
    if (md == nullptr || !ctx || EVP_DigestInit_ex(ctx.get(), md, nullptr) != 1) {
        ERR_clear_error();
        return Fail(error::kBadAlgId, std::optional<Bytes>{});
    }
    const bool read = ForEachPiece(source, [&](ByteView piece) {
        return EVP_DigestUpdate(ctx.get(), piece.data(), piece.size()) == 1;
    });
    if (!read) {
        ERR_clear_error();
        return Fail(error::kInvalidData, std::optional<Bytes>{});
    }
    Bytes digest(static_cast<std::size_t>(EVP_MD_get_size(md)));
    unsigned int length = 0;
    if (EVP_DigestFinal_ex(ctx.get(), digest.data(), &length) != 1) {
        ERR_clear_error();
        return Fail(error::kFail, std::optional<Bytes>{});
    }
    digest.resize(length);
    return digest;
}

const EVP_MD* DigestOfAlgorithm(const X509_ALGOR* algorithm) {
    const ASN1_OBJECT* object = nullptr;
    X509_ALGOR_get0(&object, nullptr, nullptr, algorithm);
    if (const EVP_MD* md = EVP_get_digestbyobj(object)) {
        return md;
    }
    int md_nid = NID_undef;
    if (OBJ_find_sigid_algs(OBJ_obj2nid(object), &md_nid, nullptr) == 1) {
        return EVP_get_digestbynid(md_nid);
    }
    return nullptr;
}

std::optional<Bytes> SignDigest(EVP_PKEY* key, const EVP_MD* md, ByteView digest) {
    ossl::EvpPkeyCtx ctx(EVP_PKEY_CTX_new(key, nullptr));
    std::size_t size = 0;
    if (!ctx || EVP_PKEY_sign_init(ctx.get()) <= 0 ||
        EVP_PKEY_CTX_set_signature_md(ctx.get(), md) <= 0 ||
        EVP_PKEY_sign(ctx.get(), nullptr, &size, digest.data(), digest.size()) <= 0) {
        ERR_clear_error();
        return Fail(error::kBadKey, std::optional<Bytes>{});
    }
    Bytes signature(size);
    if (EVP_PKEY_sign(ctx.get(), signature.data(), &size, digest.data(), digest.size()) <= 0) {
        ERR_clear_error();
        return Fail(error::kFail, std::optional<Bytes>{});
    }
    signature.resize(size);
    return signature;
}

std::optional<Bytes> MessageContentDigest(CryptMessageState& state, const EVP_MD* md) {
    const int nid = EVP_MD_get_type(md);
    if (const auto known = state.contentDigests.find(nid); known != state.contentDigests.end()) {
        return known->second;
    }
    std::optional<Bytes> digest;
    if (state.content != nullptr) {
        digest = DigestOfSource(md, *state.content);
    } else {
        ASN1_OCTET_STRING** content = CMS_get0_content(state.cms.get());
        if (content == nullptr || *content == nullptr) {
            return Fail(error::kInvalidMsgType, std::optional<Bytes>{});
        }
        MemorySource source(ByteView(ASN1_STRING_get0_data(*content),
                                     static_cast<std::size_t>(ASN1_STRING_length(*content))));
        digest = DigestOfSource(md, source);
    }
    if (digest) {
        state.contentDigests.emplace(nid, *digest);
    }
    return digest;
}

std::string OidText(const ASN1_OBJECT* object) {
    char text[128];
    const int length = OBJ_obj2txt(text, sizeof text, object, 1);
    if (length <= 0 || static_cast<std::size_t>(length) >= sizeof text) {
        return {};
    }
    return std::string(text, static_cast<std::size_t>(length));
}

}  // namespace velmora::platform
