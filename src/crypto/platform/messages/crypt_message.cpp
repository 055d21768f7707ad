// Decoded signed messages: their signers, verification, co-signing, the
// encoded message and its content.
#include "crypto/platform/asn1/base64_armour.h"
#include "crypto/platform/asn1/decode_values.h"
#include "crypto/platform/messages/message_der.h"
#include "crypto/platform/messages/message_state.h"
#include "crypto/platform/system/gost_engine.h"
#include "crypto/platform/system/last_error.h"

#include <openssl/err.h>
#include <openssl/objects.h>

#include <algorithm>

namespace velmora::platform {
namespace {

// A DER (or BER) message, or the same as base64 text with or without PEM
// armour, as other GOST programs write their signature files.
ossl::Cms DecodeContentInfo(ByteView encoded) {
    Bytes decoded;
    ByteView der = encoded;
    if (encoded.empty()) {
        return Fail(error::kAsn1Eod, ossl::Cms{});
    }
    if (encoded[0] != 0x30) {
        auto text = StringToBinary(AsText(encoded), StringFormat::kBase64Any);
        if (!text || text->empty() || (*text)[0] != 0x30) {
            return Fail(error::kAsn1BadTag, ossl::Cms{});
        }
        decoded = std::move(*text);
        der = decoded;
    }
    const unsigned char* p = der.data();
    ossl::Cms cms(d2i_CMS_ContentInfo(nullptr, &p, static_cast<long>(der.size())));
    if (!cms) {
        // OpenSSL says only that the encoding is wrong; the commonest cause
        // of a wrong encoding in a file is its end.
        const unsigned long reason = ERR_GET_REASON(ERR_peek_last_error());
        ERR_clear_error();
        const bool short_data = reason == ASN1_R_TOO_LONG || reason == ASN1_R_HEADER_TOO_LONG ||
                                reason == ASN1_R_NOT_ENOUGH_DATA;
        return Fail(short_data ? error::kAsn1Eod : error::kAsn1BadTag, ossl::Cms{});
    }
    if (p != der.data() + der.size()) {
        return Fail(error::kAsn1Corrupt, ossl::Cms{});
    }
    if (OBJ_obj2nid(CMS_get0_type(cms.get())) != NID_pkcs7_signed) {
        return Fail(error::kInvalidMsgType, ossl::Cms{});
    }
    return cms;
}

STACK_OF(CMS_SignerInfo) * SignersOf(const CryptMessageState& state) {
    return state.cms ? CMS_get0_SignerInfos(state.cms.get()) : nullptr;
}

CMS_SignerInfo* SignerAt(const CryptMessageState& state, std::uint32_t index) {
    STACK_OF(CMS_SignerInfo)* signers = SignersOf(state);
    if (signers == nullptr) {
        return Fail(error::kInvalidMsgType, static_cast<CMS_SignerInfo*>(nullptr));
    }
    if (index >= static_cast<std::uint32_t>(sk_CMS_SignerInfo_num(signers))) {
        return Fail(error::kNoSigner, static_cast<CMS_SignerInfo*>(nullptr));
    }
    return sk_CMS_SignerInfo_value(signers, static_cast<int>(index));
}

Bytes DerOfType(const ASN1_TYPE* value) {
    Bytes der;
    const int size = i2d_ASN1_TYPE(value, nullptr);
    if (size > 0) {
        der.resize(static_cast<std::size_t>(size));
        unsigned char* p = der.data();
        i2d_ASN1_TYPE(value, &p);
    }
    return der;
}

template <typename Count, typename Get>
std::vector<MessageAttribute> AttributesOf(const CMS_SignerInfo* signer, Count count, Get get) {
    std::vector<MessageAttribute> attributes;
    for (int i = 0; i < count(signer); ++i) {
        X509_ATTRIBUTE* attribute = get(signer, i);
        MessageAttribute item;
        item.oid = OidText(X509_ATTRIBUTE_get0_object(attribute));
        for (int j = 0; j < X509_ATTRIBUTE_count(attribute); ++j) {
            item.values.push_back(DerOfType(X509_ATTRIBUTE_get0_type(attribute, j)));
        }
        attributes.push_back(std::move(item));
    }
    return attributes;
}

// The INTEGER's content bytes, least significant first.
Bytes IntegerBytes(const ASN1_INTEGER* value) {
    Bytes der;
    const int size = i2d_ASN1_INTEGER(value, nullptr);
    if (size <= 2) {
        return der;
    }
    der.resize(static_cast<std::size_t>(size));
    unsigned char* p = der.data();
    i2d_ASN1_INTEGER(value, &p);
    std::size_t header = 2;
    if ((der[1] & 0x80) != 0) {
        header += der[1] & 0x7F;
    }
    Bytes content(der.begin() + static_cast<std::ptrdiff_t>(header), der.end());
    std::reverse(content.begin(), content.end());
    return content;
}

// The certificate the message carries for the signer.
ossl::X509Ptr SignerCertificate(const CryptMessageState& state, CMS_SignerInfo* signer) {
    ossl::X509Stack certificates(CMS_get1_certs(state.cms.get()));
    for (int i = 0; i < sk_X509_num(certificates.get()); ++i) {
        X509* candidate = sk_X509_value(certificates.get(), i);
        if (CMS_SignerInfo_cert_cmp(signer, candidate) == 0) {
            return ossl::UpRef(candidate);
        }
    }
    return nullptr;
}

bool VerifyWithAttributes(CryptMessageState& state, CMS_SignerInfo* signer, const EVP_MD* md) {
    const auto digest = MessageContentDigest(state, md);
    if (!digest) {
        return false;
    }
    const ASN1_OCTET_STRING* claimed =
        static_cast<const ASN1_OCTET_STRING*>(CMS_signed_get0_data_by_OBJ(
            signer, OBJ_nid2obj(NID_pkcs9_messageDigest), -3, V_ASN1_OCTET_STRING));
    if (claimed == nullptr) {
        return Fail(error::kHashValue);
    }
    const ByteView claimed_bytes(ASN1_STRING_get0_data(claimed),
                                 static_cast<std::size_t>(ASN1_STRING_length(claimed)));
    if (!std::ranges::equal(claimed_bytes, *digest)) {
        return Fail(error::kHashValue);
    }
    if (CMS_SignerInfo_verify(signer) != 1) {
        ERR_clear_error();
        return Fail(error::kBadSignature);
    }
    return true;
}

bool VerifyContentSignature(CryptMessageState& state, CMS_SignerInfo* signer, X509* certificate,
                            const EVP_MD* md) {
    const auto digest = MessageContentDigest(state, md);
    if (!digest) {
        return false;
    }
    const ASN1_OCTET_STRING* signature = CMS_SignerInfo_get0_signature(signer);
    ossl::EvpPkeyCtx ctx(EVP_PKEY_CTX_new(X509_get0_pubkey(certificate), nullptr));
    if (!ctx || EVP_PKEY_verify_init(ctx.get()) <= 0 ||
        EVP_PKEY_CTX_set_signature_md(ctx.get(), md) <= 0) {
        ERR_clear_error();
        return Fail(error::kBadAlgId);
    }
    if (EVP_PKEY_verify(ctx.get(), ASN1_STRING_get0_data(signature),
                        static_cast<std::size_t>(ASN1_STRING_length(signature)), digest->data(),
                        digest->size()) != 1) {
        ERR_clear_error();
        return Fail(error::kBadSignature);
    }
    return true;
}

}  // namespace

CryptMessage::CryptMessage() = default;
CryptMessage::~CryptMessage() = default;
CryptMessage::CryptMessage(CryptMessage&&) noexcept = default;
CryptMessage& CryptMessage::operator=(CryptMessage&&) noexcept = default;
CryptMessage::CryptMessage(std::unique_ptr<CryptMessageState> state) : state_(std::move(state)) {}

std::optional<CryptMessage> MsgOpenToDecode(std::uint32_t encoding, std::uint32_t flags) {
    if (encoding != kMsgEncoding || (flags & ~kCmsgDetachedFlag) != 0) {
        return Fail(error::kInvalidParameter, std::optional<CryptMessage>{});
    }
    if (!StartGostEngine()) {
        return Fail(error::kProviderDllFail, std::optional<CryptMessage>{});
    }
    auto state = std::make_unique<CryptMessageState>();
    state->flags = flags;
    return CryptMessage(std::move(state));
}

bool MsgUpdate(CryptMessage& message, ByteView encoded) {
    CryptMessageState& state = message.State();
    if (state.cms) {
        return Fail(error::kMsgError);
    }
    state.cms = DecodeContentInfo(encoded);
    return state.cms != nullptr;
}

bool MsgUpdateContent(CryptMessage& message, ByteSource& content) {
    CryptMessageState& state = message.State();
    if ((state.flags & kCmsgDetachedFlag) == 0 || !state.cms) {
        return Fail(error::kMsgError);
    }
    state.content = &content;
    state.contentDigests.clear();
    return true;
}

std::optional<std::uint32_t> MsgSignerCount(const CryptMessage& message) {
    STACK_OF(CMS_SignerInfo)* signers = SignersOf(message.State());
    if (signers == nullptr) {
        return Fail(error::kInvalidMsgType, std::optional<std::uint32_t>{});
    }
    return static_cast<std::uint32_t>(sk_CMS_SignerInfo_num(signers));
}

std::optional<MessageSignerInfo> MsgSignerInfo(const CryptMessage& message, std::uint32_t index) {
    CMS_SignerInfo* signer = SignerAt(message.State(), index);
    if (signer == nullptr) {
        if (GetLastError() == error::kNoSigner) {
            SetLastError(error::kInvalidIndex);
        }
        return std::nullopt;
    }
    MessageSignerInfo info;
    ASN1_OCTET_STRING* key_id = nullptr;
    X509_NAME* issuer = nullptr;
    ASN1_INTEGER* serial = nullptr;
    if (CMS_SignerInfo_get0_signer_id(signer, &key_id, &issuer, &serial) != 1) {
        ERR_clear_error();
        return Fail(error::kAsn1Corrupt, std::optional<MessageSignerInfo>{});
    }
    if (issuer != nullptr) {
        unsigned char* der = nullptr;
        const int size = i2d_X509_NAME(issuer, &der);
        if (size > 0) {
            info.issuer.assign(der, der + size);
        }
        OPENSSL_free(der);
    }
    if (serial != nullptr) {
        info.serialNumber = IntegerBytes(serial);
    }
    if (key_id != nullptr) {
        const unsigned char* data = ASN1_STRING_get0_data(key_id);
        info.keyIdentifier.assign(data, data + ASN1_STRING_length(key_id));
    }
    X509_ALGOR* digest = nullptr;
    X509_ALGOR* signature = nullptr;
    CMS_SignerInfo_get0_algs(signer, nullptr, nullptr, &digest, &signature);
    const ASN1_OBJECT* object = nullptr;
    X509_ALGOR_get0(&object, nullptr, nullptr, digest);
    info.hashOid = OidText(object);
    X509_ALGOR_get0(&object, nullptr, nullptr, signature);
    info.signatureOid = OidText(object);
    info.authAttributes = AttributesOf(signer, CMS_signed_get_attr_count, CMS_signed_get_attr);
    info.unauthAttributes =
        AttributesOf(signer, CMS_unsigned_get_attr_count, CMS_unsigned_get_attr);
    return info;
}

std::optional<FileTime> SignerSigningTime(const MessageSignerInfo& info) {
    for (const MessageAttribute& attribute : info.authAttributes) {
        if (attribute.oid == kSigningTimeOid && !attribute.values.empty()) {
            return DecodeChoiceOfTime(attribute.values.front());
        }
    }
    return Fail(error::kNotFound, std::optional<FileTime>{});
}

CertContext MsgVerifySigner(CryptMessage& message, std::uint32_t index) {
    CryptMessageState& state = message.State();
    CMS_SignerInfo* signer = SignerAt(state, index);
    if (signer == nullptr) {
        return nullptr;
    }
    ossl::X509Ptr certificate = SignerCertificate(state, signer);
    if (!certificate) {
        return Fail(error::kSignerNotFound, CertContext{});
    }
    X509_ALGOR* digest_algorithm = nullptr;
    CMS_SignerInfo_get0_algs(signer, nullptr, nullptr, &digest_algorithm, nullptr);
    const EVP_MD* md = DigestOfAlgorithm(digest_algorithm);
    if (md == nullptr) {
        return Fail(error::kUnknownAlgo, CertContext{});
    }
    CMS_SignerInfo_set1_signer_cert(signer, certificate.get());
    const bool good = CMS_signed_get_attr_count(signer) > 0
                          ? VerifyWithAttributes(state, signer, md)
                          : VerifyContentSignature(state, signer, certificate.get(), md);
    if (!good) {
        return nullptr;
    }
    return ContextOfX509(certificate.get());
}

bool MsgAddSigner(CryptMessage& message, const MessageSigner& signer) {
    CryptMessageState& state = message.State();
    if (!state.cms) {
        return Fail(error::kMsgError);
    }
    const MessageSignerState& own = signer.State();
    const auto digest = MessageContentDigest(state, own.md);
    if (!digest) {
        return false;
    }
    bool present = false;
    ossl::X509Stack certificates(CMS_get1_certs(state.cms.get()));
    for (int i = 0; i < sk_X509_num(certificates.get()); ++i) {
        present = present || X509_cmp(sk_X509_value(certificates.get(), i), own.x509.get()) == 0;
    }
    // OpenSSL refuses to add a certificate the message already holds.
    CMS_SignerInfo* info = CMS_add1_signer(state.cms.get(), own.x509.get(), own.key.get(), own.md,
                                           CMS_NOATTR | CMS_BINARY | (present ? CMS_NOCERTS : 0));
    if (info == nullptr) {
        ERR_clear_error();
        return Fail(error::kMsgError);
    }
    const auto signature = SignDigest(own.key.get(), own.md, *digest);
    if (!signature) {
        return false;
    }
    if (ASN1_STRING_set(CMS_SignerInfo_get0_signature(info), signature->data(),
                        static_cast<int>(signature->size())) != 1) {
        ERR_clear_error();
        return Fail(error::kNoMemory);
    }
    return true;
}

bool MsgAddCert(CryptMessage& message, const CertContext& certificate) {
    CryptMessageState& state = message.State();
    if (!state.cms) {
        return Fail(error::kInvalidParameter);
    }
    ossl::X509Ptr x509 = X509OfContext(certificate);
    if (!x509) {
        return false;
    }
    ossl::X509Stack certificates(CMS_get1_certs(state.cms.get()));
    for (int i = 0; i < sk_X509_num(certificates.get()); ++i) {
        if (X509_cmp(sk_X509_value(certificates.get(), i), x509.get()) == 0) {
            return true;
        }
    }
    if (CMS_add1_cert(state.cms.get(), x509.get()) != 1) {
        ERR_clear_error();
        return Fail(error::kMsgError);
    }
    return true;
}

std::optional<Bytes> MsgEncoded(const CryptMessage& message) {
    const CryptMessageState& state = message.State();
    if (!state.cms) {
        return Fail(error::kMsgError, std::optional<Bytes>{});
    }
    const int size = i2d_CMS_ContentInfo(state.cms.get(), nullptr);
    if (size <= 0) {
        ERR_clear_error();
        return Fail(error::kBadEncode, std::optional<Bytes>{});
    }
    Bytes der(static_cast<std::size_t>(size));
    unsigned char* p = der.data();
    i2d_CMS_ContentInfo(state.cms.get(), &p);
    auto complete = CompleteDigestAlgorithms(der);
    // OpenSSL re-encodes some damaged attribute values that it accepted
    // into bytes it cannot read back; such a message is never handed out to
    // be written over a signature file.
    const ossl::Cms again = complete ? DecodeContentInfo(*complete) : ossl::Cms{};
    if (!again || sk_CMS_SignerInfo_num(CMS_get0_SignerInfos(again.get())) !=
                      sk_CMS_SignerInfo_num(SignersOf(state))) {
        return Fail(error::kBadEncode, std::optional<Bytes>{});
    }
    return complete;
}

bool MsgContent(const CryptMessage& message, const ByteSink& out) {
    const CryptMessageState& state = message.State();
    ASN1_OCTET_STRING** content = state.cms ? CMS_get0_content(state.cms.get()) : nullptr;
    if (content == nullptr || *content == nullptr) {
        return Fail(error::kInvalidMsgType);
    }
    const ByteView bytes(ASN1_STRING_get0_data(*content),
                         static_cast<std::size_t>(ASN1_STRING_length(*content)));
    return out(bytes) || Fail(error::kWriteFault);
}

int GetMessageSignerCount(std::uint32_t encoding, ByteView encoded) {
    auto message = MsgOpenToDecode(encoding, 0);
    if (!message || !MsgUpdate(*message, encoded)) {
        return -1;
    }
    const auto count = MsgSignerCount(*message);
    return count ? static_cast<int>(*count) : -1;
}

}  // namespace velmora::platform
