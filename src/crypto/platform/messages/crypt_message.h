// Signed messages (PKCS#7 / CMS SignedData, the platform's HCRYPTMSG):
// signing with one signer, decoding (DER, BER with indefinite lengths, base64
// or PEM text), the signers and their information, verification of one
// signer, adding a signer and its certificate, the encoded message and its
// content. Every call that fails returns false, nullopt or nullptr and sets
// the last-error code.
//
// Content is read through a ByteSource in pieces, so detached signatures of
// files larger than memory are made and checked without holding the file.
#pragma once

#include "crypto/platform/certs/cert_context.h"
#include "crypto/platform/keys/crypt_provider.h"
#include "encoding/byte_source.h"
#include "encoding/bytes.h"
#include "encoding/date_time.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace velmora::platform {

// X509_ASN_ENCODING | PKCS_7_ASN_ENCODING.
inline constexpr std::uint32_t kMsgEncoding = 0x00010001;
// CMSG_DETACHED_FLAG: the content travels outside the message.
inline constexpr std::uint32_t kCmsgDetachedFlag = 0x00000004;

// The object identifier of the signing-time attribute.
inline constexpr const char* kSigningTimeOid = "1.2.840.113549.1.9.5";

class MessageSignerState;

// A signer ready to sign: the certificate and its private key, unlocked, with
// the hash of the key's family (GOST R 34.11-94 for GOST R 34.10-2001 keys,
// GOST R 34.11-2012 of the key's length for GOST R 34.10-2012 keys: a
// signature must carry the hash its key is defined with, or no other GOST
// software verifies it). Move-only.
class MessageSigner {
  public:
    MessageSigner();
    ~MessageSigner();
    MessageSigner(MessageSigner&&) noexcept;
    MessageSigner& operator=(MessageSigner&&) noexcept;
    MessageSigner(const MessageSigner&) = delete;
    MessageSigner& operator=(const MessageSigner&) = delete;

    // The certificate's private key, reached through its key-provider
    // property (or through a key the caller already acquired for it); the
    // container's password is asked for here when it has one.
    static std::optional<MessageSigner> Create(const CertContext& certificate,
                                               CertificatePrivateKey* acquired = nullptr);

    const CertContext& Certificate() const;
    // The hash algorithm identifier the signature carries.
    std::string HashOid() const;

    MessageSignerState& State() const { return *state_; }

  private:
    explicit MessageSigner(std::unique_ptr<MessageSignerState> state);
    std::unique_ptr<MessageSignerState> state_;
};

// CryptSignMessage with one signer: the signer's certificate as the only
// certificate, no CRLs, no signed or unsigned attributes, content type data.
// The content is read once (detached) or twice (attached: hashed, then
// copied into the message) and the DER message goes to the sink in pieces,
// the same bytes whatever the piece sizes. A source that changes its length
// between the two readings fails with kInvalidData.
bool SignMessage(const MessageSigner& signer, bool detached, ByteSource& content,
                 const ByteSink& out);

// What a signer information holds (CMSG_SIGNER_INFO).
struct MessageAttribute {
    std::string oid;
    std::vector<Bytes> values;  // DER of each value
};

struct MessageSignerInfo {
    Bytes issuer;        // DER of the issuer Name; empty when the signer is named by key identifier
    Bytes serialNumber;  // least significant byte first, as the platform holds integers
    Bytes keyIdentifier;  // when the signer is named by subject key identifier
    std::string hashOid;
    std::string signatureOid;
    std::vector<MessageAttribute> authAttributes;
    std::vector<MessageAttribute> unauthAttributes;
};

// The signing time of a signer (the first value of its signing-time
// attribute); nullopt with CRYPT_E_NOT_FOUND without one, an ASN.1 code when
// it does not decode.
std::optional<FileTime> SignerSigningTime(const MessageSignerInfo& info);

class CryptMessageState;

// A message opened for decoding. Move-only.
class CryptMessage {
  public:
    CryptMessage();
    ~CryptMessage();
    CryptMessage(CryptMessage&&) noexcept;
    CryptMessage& operator=(CryptMessage&&) noexcept;
    CryptMessage(const CryptMessage&) = delete;
    CryptMessage& operator=(const CryptMessage&) = delete;

    explicit CryptMessage(std::unique_ptr<CryptMessageState> state);
    CryptMessageState& State() const { return *state_; }

  private:
    std::unique_ptr<CryptMessageState> state_;
};

// CryptMsgOpenToDecode: kMsgEncoding only (else ERROR_INVALID_PARAMETER);
// flags 0 or kCmsgDetachedFlag.
std::optional<CryptMessage> MsgOpenToDecode(std::uint32_t encoding, std::uint32_t flags);

// CryptMsgUpdate with the whole message as the final block: DER, BER, or
// base64 text with or without PEM armour. Anything else than one signed
// message fails (an ASN.1 code, or CRYPT_E_INVALID_MSG_TYPE for another kind
// of message).
bool MsgUpdate(CryptMessage& message, ByteView encoded);

// CryptMsgUpdate with the content of a detached message, given as a source
// that is read when a signature is checked or added; the source must outlive
// the message's use. Fails for a message opened without kCmsgDetachedFlag.
bool MsgUpdateContent(CryptMessage& message, ByteSource& content);

// CMSG_SIGNER_COUNT_PARAM.
std::optional<std::uint32_t> MsgSignerCount(const CryptMessage& message);

// CMSG_SIGNER_INFO_PARAM: the signer at the index, in the message's encoded
// order (CRYPT_E_INVALID_INDEX past the last).
std::optional<MessageSignerInfo> MsgSignerInfo(const CryptMessage& message, std::uint32_t index);

// Checks the signer at the index with the certificate the message carries
// for it: the signature over the content (or over the signed attributes, with
// the content's hash among them). Gives that certificate; nullptr on failure
// (CRYPT_E_SIGNER_NOT_FOUND without the certificate, NTE_BAD_SIGNATURE for a
// signature that does not match, CRYPT_E_HASH_VALUE for a content hash that
// does not, CRYPT_E_NO_SIGNER past the last signer).
CertContext MsgVerifySigner(CryptMessage& message, std::uint32_t index);

// CMSG_CTRL_ADD_SIGNER: a new signer without attributes, signed over the
// message's content.
bool MsgAddSigner(CryptMessage& message, const MessageSigner& signer);

// CMSG_CTRL_ADD_CERT: the certificate is added unless the message already
// holds it (a message never carries one certificate twice).
bool MsgAddCert(CryptMessage& message, const CertContext& certificate);

// CMSG_ENCODED_MESSAGE: the message as DER; a detached message without its
// content.
std::optional<Bytes> MsgEncoded(const CryptMessage& message);

// CMSG_CONTENT_PARAM: the content of an attached message, to the sink
// (CRYPT_E_INVALID_MSG_TYPE for a message that carries none).
bool MsgContent(const CryptMessage& message, const ByteSink& out);

// CryptGetMessageSignerCount: -1 (and the last error) when the bytes are no
// signed message.
int GetMessageSignerCount(std::uint32_t encoding, ByteView encoded);

}  // namespace velmora::platform
