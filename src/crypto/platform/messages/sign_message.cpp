// CryptSignMessage with one signer and no attributes. The message is built
// without its content by OpenSSL; an attached message is then written around
// the content as it is read, so a file of any size passes through a fixed
// buffer. The result is the DER OpenSSL itself writes for that message.
#include "crypto/platform/messages/message_der.h"
#include "crypto/platform/messages/message_state.h"
#include "crypto/platform/system/last_error.h"

#include <openssl/err.h>

namespace velmora::platform {
namespace {

// The message without content, signed over the content's digest.
std::optional<Bytes> DetachedMessage(const MessageSignerState& signer, ByteView digest) {
    ossl::Cms cms(
        CMS_sign(nullptr, nullptr, nullptr, nullptr, CMS_PARTIAL | CMS_BINARY | CMS_DETACHED));
    CMS_SignerInfo* info = cms ? CMS_add1_signer(cms.get(), signer.x509.get(), signer.key.get(),
                                                 signer.md, CMS_NOATTR | CMS_BINARY)
                               : nullptr;
    if (info == nullptr) {
        ERR_clear_error();
        return Fail(error::kFail, std::optional<Bytes>{});
    }
    const auto signature = SignDigest(signer.key.get(), signer.md, digest);
    if (!signature) {
        return std::nullopt;
    }
    ASN1_OCTET_STRING* value = CMS_SignerInfo_get0_signature(info);
    if (ASN1_STRING_set(value, signature->data(), static_cast<int>(signature->size())) != 1) {
        ERR_clear_error();
        return Fail(error::kNoMemory, std::optional<Bytes>{});
    }
    const int size = i2d_CMS_ContentInfo(cms.get(), nullptr);
    if (size <= 0) {
        ERR_clear_error();
        return Fail(error::kBadEncode, std::optional<Bytes>{});
    }
    Bytes der(static_cast<std::size_t>(size));
    unsigned char* p = der.data();
    i2d_CMS_ContentInfo(cms.get(), &p);
    return der;
}

}  // namespace

bool SignMessage(const MessageSigner& signer, bool detached, ByteSource& content,
                 const ByteSink& out) {
    const MessageSignerState& state = signer.State();
    if (detached) {
        const auto digest = DigestOfSource(state.md, content);
        const auto message = digest ? DetachedMessage(state, *digest) : std::nullopt;
        return message && (out(*message) || Fail(error::kWriteFault));
    }
    // The content is read once: the part before it is laid out with a
    // stand-in signature of the same length (GOST signatures have a fixed
    // length), the content is hashed while it is copied, and the real
    // signature then completes the part after it.
    const std::uint64_t size = content.Size();
    const auto stand_in = DetachedMessage(state, Bytes(EVP_MD_get_size(state.md), 0));
    const auto layout = stand_in ? SplitAround(*stand_in, size) : std::nullopt;
    if (!layout) {
        return stand_in && Fail(error::kBadEncode);
    }
    ossl::EvpMdCtx ctx(EVP_MD_CTX_new());
    if (!ctx || EVP_DigestInit_ex(ctx.get(), state.md, nullptr) != 1) {
        ERR_clear_error();
        return Fail(error::kFail);
    }
    if (!out(layout->head)) {
        return Fail(error::kWriteFault);
    }
    std::uint64_t copied = 0;
    bool written = true;
    const bool read = ForEachPiece(content, [&](ByteView piece) {
        copied += piece.size();
        // A source that grew since its size was taken: stop before writing
        // past the length the header announces.
        if (copied > size) {
            return false;
        }
        EVP_DigestUpdate(ctx.get(), piece.data(), piece.size());
        written = out(piece);
        return written;
    });
    if (!written) {
        return Fail(error::kWriteFault);
    }
    if (!read || copied != size) {
        return Fail(error::kInvalidData);
    }
    Bytes digest(EVP_MD_get_size(state.md));
    unsigned int length = 0;
    if (EVP_DigestFinal_ex(ctx.get(), digest.data(), &length) != 1) {
        ERR_clear_error();
        return Fail(error::kFail);
    }
    const auto message = DetachedMessage(state, digest);
    const auto parts = message ? SplitAround(*message, size) : std::nullopt;
    if (!parts) {
        return message && Fail(error::kBadEncode);
    }
    if (parts->head != layout->head) {
        return Fail(error::kFail);
    }
    return out(parts->tail) || Fail(error::kWriteFault);
}

}  // namespace velmora::platform
