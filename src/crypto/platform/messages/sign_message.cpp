// CryptSignMessage with one signer and no attributes. The message is built
// without its content by OpenSSL; an attached message is then written around
// the content as it is read, so a file of any size passes through a fixed
// buffer. The result is the DER OpenSSL itself writes for that message.
#include "crypto/platform/asn1/der_reader.h"
#include "crypto/platform/messages/message_state.h"
#include "crypto/platform/system/last_error.h"

#include <openssl/err.h>

namespace velmora::platform {
namespace {

// A DER identifier and length for content of that many bytes.
Bytes DerHeader(std::uint8_t tag, std::uint64_t length) {
    Bytes header{tag};
    if (length < 0x80) {
        header.push_back(static_cast<std::uint8_t>(length));
        return header;
    }
    int bytes = 0;
    for (std::uint64_t rest = length; rest != 0; rest >>= 8) {
        ++bytes;
    }
    header.push_back(static_cast<std::uint8_t>(0x80 | bytes));
    for (int i = bytes - 1; i >= 0; --i) {
        header.push_back(static_cast<std::uint8_t>(length >> (8 * i)));
    }
    return header;
}

std::uint64_t EncodedSize(std::uint64_t content) {
    return DerHeader(0, content).size() + content;
}

void Append(Bytes& out, ByteView bytes) {
    out.insert(out.end(), bytes.begin(), bytes.end());
}

// The parts of a message without content around which the content goes:
// everything up to the content octets, and everything after them.
struct AttachedParts {
    Bytes head;
    Bytes tail;
};

// ContentInfo { contentType, [0] SignedData { version, digestAlgorithms,
// encapContentInfo { eContentType }, certificates, signerInfos } } becomes
// the same with encapContentInfo { eContentType, [0] OCTET STRING content }.
std::optional<AttachedParts> SplitAround(ByteView detached, std::uint64_t content_size) {
    DerReader outer(detached);
    DerElement info, type, explicit0, signed_data;
    if (!outer.Read(der::kSequence, info)) {
        return std::nullopt;
    }
    DerReader info_reader(info.content);
    if (!info_reader.Read(der::kOid, type) ||
        !info_reader.Read(der::ContextConstructed(0), explicit0)) {
        return std::nullopt;
    }
    DerReader explicit_reader(explicit0.content);
    if (!explicit_reader.Read(der::kSequence, signed_data)) {
        return std::nullopt;
    }
    DerReader fields(signed_data.content);
    DerElement version, digests, encap, encap_type;
    if (!fields.Read(der::kInteger, version) || !fields.Read(der::kSet, digests) ||
        !fields.Read(der::kSequence, encap)) {
        return std::nullopt;
    }
    DerReader encap_reader(encap.content);
    if (!encap_reader.Read(der::kOid, encap_type) || !encap_reader.AtEnd()) {
        return std::nullopt;
    }
    const ByteView rest = signed_data.content.subspan(
        static_cast<std::size_t>(encap.encoded.data() + encap.encoded.size() -
                                 signed_data.content.data()));

    const std::uint64_t octets = EncodedSize(content_size);
    const std::uint64_t explicit_content = octets;
    const std::uint64_t encap_content = encap_type.encoded.size() + EncodedSize(explicit_content);
    const std::uint64_t signed_content = version.encoded.size() + digests.encoded.size() +
                                         EncodedSize(encap_content) + rest.size();
    const std::uint64_t explicit0_content = EncodedSize(signed_content);
    const std::uint64_t info_content = type.encoded.size() + EncodedSize(explicit0_content);

    AttachedParts parts;
    Append(parts.head, DerHeader(der::kSequence, info_content));
    Append(parts.head, type.encoded);
    Append(parts.head, DerHeader(der::ContextConstructed(0), explicit0_content));
    Append(parts.head, DerHeader(der::kSequence, signed_content));
    Append(parts.head, version.encoded);
    Append(parts.head, digests.encoded);
    Append(parts.head, DerHeader(der::kSequence, encap_content));
    Append(parts.head, encap_type.encoded);
    Append(parts.head, DerHeader(der::ContextConstructed(0), explicit_content));
    Append(parts.head, DerHeader(der::kOctetString, content_size));
    Append(parts.tail, rest);
    return parts;
}

// The message without content, signed over the content's digest.
std::optional<Bytes> DetachedMessage(const MessageSignerState& signer, ByteView digest) {
    ossl::Cms cms(CMS_sign(nullptr, nullptr, nullptr, nullptr,
                           CMS_PARTIAL | CMS_BINARY | CMS_DETACHED));
    CMS_SignerInfo* info =
        cms ? CMS_add1_signer(cms.get(), signer.x509.get(), signer.key.get(), signer.md,
                              CMS_NOATTR | CMS_BINARY)
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
