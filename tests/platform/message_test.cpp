// Signed messages through the boundary: signing in both modes with both key
// families, messages of openssl cms in every form, co-signing, and damaged
// messages.
#include "crypto/platform/messages/crypt_message.h"
#include "crypto/platform/system/last_error.h"
#include "encoding/atomic_file.h"
#include "support/signing_keys.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace velmora::platform {
namespace {

using testing::ScopedSigningFolders;
using testing::SigningData;

Bytes FileBytes(const std::string& name) {
    auto bytes = ReadFileBytes(SigningData() / name);
    EXPECT_TRUE(bytes) << name;
    return bytes.value_or(Bytes{});
}

// A source that hands out a few bytes at a time, as a slow pipe would.
class TrickleSource : public ByteSource {
  public:
    explicit TrickleSource(ByteView bytes) : bytes_(bytes) {}
    std::optional<std::size_t> Read(std::span<std::uint8_t> buffer) override {
        const std::size_t count =
            std::min({buffer.size(), bytes_.size() - position_, std::size_t{7}});
        std::copy_n(bytes_.begin() + static_cast<std::ptrdiff_t>(position_), count, buffer.begin());
        position_ += count;
        return count;
    }
    bool Rewind() override {
        position_ = 0;
        return true;
    }
    std::uint64_t Size() const override { return bytes_.size(); }

  private:
    ByteView bytes_;
    std::size_t position_ = 0;
};

std::optional<Bytes> Sign(const MessageSigner& signer, bool detached, ByteSource& content) {
    Bytes out;
    const bool ok = SignMessage(signer, detached, content, [&](ByteView piece) {
        out.insert(out.end(), piece.begin(), piece.end());
        return true;
    });
    return ok ? std::optional<Bytes>(out) : std::nullopt;
}

CryptMessage Decode(ByteView bytes, ByteSource* content = nullptr) {
    auto message = MsgOpenToDecode(kMsgEncoding, content != nullptr ? kCmsgDetachedFlag : 0);
    EXPECT_TRUE(message);
    EXPECT_TRUE(MsgUpdate(*message, bytes)) << ErrorMessageText(GetLastError());
    if (content != nullptr) {
        EXPECT_TRUE(MsgUpdateContent(*message, *content));
    }
    return std::move(*message);
}

TEST(Message, SignsInBothModesWithTheHashOfTheKeyFamily) {
    ScopedSigningFolders folders;
    const Bytes data = FileBytes("data.txt");
    for (const auto& [name, hash] : {std::pair{"signer-2001", "1.2.643.2.2.9"},
                                     std::pair{"signer-256", "1.2.643.7.1.1.2.2"}}) {
        auto signer = MessageSigner::Create(folders.Signer(name));
        ASSERT_TRUE(signer) << name << ": " << ErrorMessageText(GetLastError());
        EXPECT_EQ(signer->HashOid(), hash);
        for (const bool detached : {false, true}) {
            SCOPED_TRACE(std::string(name) + (detached ? " detached" : " attached"));
            TrickleSource trickle(data);
            const auto message = Sign(*signer, detached, trickle);
            ASSERT_TRUE(message);
            // The message is exactly the DER OpenSSL writes for it, however
            // the content arrived.
            MemorySource content(data);
            CryptMessage decoded = Decode(*message, detached ? &content : nullptr);
            EXPECT_EQ(MsgEncoded(decoded), message);
            EXPECT_EQ(MsgSignerCount(decoded), 1u);
            const auto info = MsgSignerInfo(decoded, 0);
            ASSERT_TRUE(info);
            EXPECT_EQ(info->hashOid, hash);
            EXPECT_TRUE(info->authAttributes.empty());
            EXPECT_EQ(info->serialNumber, signer->Certificate()->Info().serialNumber);
            EXPECT_FALSE(SignerSigningTime(*info));
            const CertContext verified = MsgVerifySigner(decoded, 0);
            ASSERT_TRUE(verified) << ErrorMessageText(GetLastError());
            EXPECT_EQ(verified->Encoded(), signer->Certificate()->Encoded());
            Bytes extracted;
            EXPECT_EQ(MsgContent(decoded,
                                 [&](ByteView piece) {
                                     extracted.insert(extracted.end(), piece.begin(), piece.end());
                                     return true;
                                 }),
                      !detached);
            EXPECT_EQ(extracted, detached ? Bytes{} : data);
        }
    }
}

TEST(Message, ReadsWhatOpensslWritesInEveryForm) {
    const Bytes data = FileBytes("data.txt");
    // 2025-03-01 12:00:00 UTC and 2025-04-02 08:30:00 UTC as file times.
    const FileTime march = 133853040000000000ULL;
    const FileTime april = 133880562000000000ULL;
    struct Case {
        const char* file;
        bool detached;
        std::optional<FileTime> time;
        Bytes serial;  // least significant byte first
    };
    const Bytes serial_256{0x02, 0x50};
    const Bytes serial_2001{0x01, 0x50};
    const Case cases[] = {
        {"ossl-attached.sig", false, march, serial_256},
        {"ossl-attached-pem.sig", false, march, serial_256},
        {"ossl-attached-b64.sig", false, march, serial_256},
        {"ossl-ber.sig", false, april, serial_2001},
        {"ossl-detached.sig", true, march, serial_256},
        {"ossl-detached-noattr.sig", true, std::nullopt, serial_2001},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        MemorySource content(data);
        CryptMessage message = Decode(FileBytes(c.file), c.detached ? &content : nullptr);
        EXPECT_EQ(MsgSignerCount(message), 1u);
        const auto info = MsgSignerInfo(message, 0);
        ASSERT_TRUE(info);
        EXPECT_EQ(info->serialNumber, c.serial);
        EXPECT_EQ(SignerSigningTime(*info), c.time);
        EXPECT_TRUE(MsgVerifySigner(message, 0)) << ErrorMessageText(GetLastError());
        EXPECT_FALSE(MsgVerifySigner(message, 1));
        EXPECT_EQ(GetLastError(), error::kNoSigner);
    }
    // Three signers, the second damaged: the others still verify.
    CryptMessage three = Decode(FileBytes("ossl-three.sig"));
    CryptMessage damaged = Decode(FileBytes("three-bad-second.sig"));
    EXPECT_EQ(GetMessageSignerCount(kMsgEncoding, FileBytes("ossl-three.sig")), 3);
    for (std::uint32_t i = 0; i < 3; ++i) {
        EXPECT_TRUE(MsgVerifySigner(three, i)) << i;
        EXPECT_EQ(MsgVerifySigner(damaged, i) != nullptr, i != 1) << i;
    }
}

TEST(Message, WrongContentFailsTheSignature) {
    const Bytes other = FileBytes("other.txt");
    MemorySource content(other);
    CryptMessage with_attributes = Decode(FileBytes("ossl-detached.sig"), &content);
    EXPECT_FALSE(MsgVerifySigner(with_attributes, 0));
    EXPECT_EQ(GetLastError(), error::kHashValue);
    MemorySource again(other);
    CryptMessage without = Decode(FileBytes("ossl-detached-noattr.sig"), &again);
    EXPECT_FALSE(MsgVerifySigner(without, 0));
    EXPECT_EQ(GetLastError(), error::kBadSignature);
}

TEST(Message, CoSigningAddsASignerAndKeepsTheOthers) {
    ScopedSigningFolders folders;
    const Bytes data = FileBytes("data.txt");
    auto signer = MessageSigner::Create(folders.Signer("signer-2001"));
    auto second = MessageSigner::Create(folders.Signer("signer-256"));
    ASSERT_TRUE(signer && second);
    for (const bool detached : {false, true}) {
        SCOPED_TRACE(detached ? "detached" : "attached");
        MemorySource source(data);
        const auto original = Sign(*signer, detached, source);
        ASSERT_TRUE(original);
        MemorySource content(data);
        CryptMessage message = Decode(*original, detached ? &content : nullptr);
        ASSERT_TRUE(MsgAddSigner(message, *second));
        ASSERT_TRUE(MsgAddCert(message, second->Certificate()));
        // The certificate is already there: it is not added twice.
        ASSERT_TRUE(MsgAddCert(message, second->Certificate()));
        const auto rewritten = MsgEncoded(message);
        ASSERT_TRUE(rewritten);
        MemorySource check_content(data);
        CryptMessage check = Decode(*rewritten, detached ? &check_content : nullptr);
        ASSERT_EQ(MsgSignerCount(check), 2u);
        for (std::uint32_t i = 0; i < 2; ++i) {
            EXPECT_TRUE(MsgVerifySigner(check, i)) << i << ErrorMessageText(GetLastError());
        }
    }
    // A message of openssl with signed attributes takes a signer as well.
    MemorySource content(data);
    CryptMessage message = Decode(FileBytes("ossl-three.sig"));
    ASSERT_TRUE(MsgAddSigner(message, *second));
    CryptMessage check = Decode(*MsgEncoded(message));
    ASSERT_EQ(MsgSignerCount(check), 4u);
    for (std::uint32_t i = 0; i < 4; ++i) {
        EXPECT_TRUE(MsgVerifySigner(check, i)) << i;
    }
}

TEST(Message, DamagedMessagesFailCleanly) {
    const Bytes good = FileBytes("ossl-three.sig");
    auto fails = [](ByteView bytes) {
        auto message = MsgOpenToDecode(kMsgEncoding, 0);
        if (!MsgUpdate(*message, bytes)) {
            return GetLastError() != error::kSuccess;
        }
        // What decodes must still answer every question without crashing.
        const auto count = MsgSignerCount(*message).value_or(0);
        for (std::uint32_t i = 0; i < count; ++i) {
            MsgSignerInfo(*message, i);
            MsgVerifySigner(*message, i);
        }
        return true;
    };
    EXPECT_TRUE(fails(Bytes{}));
    EXPECT_TRUE(fails(AsBytes("not a message at all")));
    EXPECT_TRUE(fails(FileBytes("signer-256.cer")));
    for (std::size_t size : {std::size_t{1}, std::size_t{10}, good.size() / 2, good.size() - 1}) {
        EXPECT_TRUE(fails(ByteView(good).first(size))) << size;
    }
    for (std::size_t at = 0; at < good.size(); at += 97) {
        Bytes flipped = good;
        flipped[at] ^= 0x41;
        EXPECT_TRUE(fails(flipped)) << at;
    }
    // A length far beyond the data.
    Bytes huge = good;
    huge[1] = 0x84;
    huge[2] = 0x7F;
    EXPECT_TRUE(fails(huge));
    auto message = MsgOpenToDecode(kMsgEncoding, 0);
    EXPECT_FALSE(MsgUpdate(*message, ByteView(good).first(good.size() - 1)));
    EXPECT_FALSE(GetMessageSignerCount(kMsgEncoding, FileBytes("signer-256.cer")) >= 0);
}

// The first signer's S/MIME capabilities cut short: the SEQUENCE gets a
// long-form length of 0 and the rest of the SET becomes loose values, one of
// them of tag 0. OpenSSL reads this but writes it back as bytes it cannot
// read; such a message is never re-encoded (co-signing it would write a file
// that no program opens).
TEST(Message, AMessageThatCannotBeReadBackIsNotEncoded) {
    Bytes damaged = FileBytes("ossl-three.sig");
    ASSERT_EQ(damaged.size(), 4913u);
    const std::uint8_t cut[] = {0x00, 0x30, 0x0b, 0x06, 0x09, 0x60, 0x86, 0xf1,
                                0x3a, 0x48, 0x00, 0xd0, 0x61, 0x00, 0x00};
    ASSERT_EQ(damaged[3159], 0x81);
    std::copy(std::begin(cut), std::end(cut), damaged.begin() + 3160);
    auto message = MsgOpenToDecode(kMsgEncoding, 0);
    ASSERT_TRUE(MsgUpdate(*message, damaged));
    EXPECT_EQ(MsgSignerCount(*message), 3u);
    EXPECT_FALSE(MsgEncoded(*message));
    EXPECT_EQ(GetLastError(), error::kBadEncode);
}

}  // namespace
}  // namespace velmora::platform
