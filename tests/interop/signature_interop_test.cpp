// Signatures checked both ways with openssl cms and the GOST engine: every
// message made here (attached, detached, co-signed; GOST 2001 and 2012-256
// keys) verifies there, and its messages verify here (the fixtures).
#include "crypto/platform/messages/crypt_message.h"
#include "crypto/platform/system/last_error.h"
#include "encoding/atomic_file.h"
#include "support/signing_keys.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace velmora::platform {
namespace {

namespace fs = std::filesystem;
using testing::ScopedSigningFolders;
using testing::SigningData;
using testing::TestData;

// openssl cms -verify against the test chain at 2025-03-01 12:00 UTC (the
// signer certificates are valid then); the content goes to `out`.
bool OpensslVerifies(const fs::path& message, const fs::path* content, const fs::path& out) {
    std::string line =
        "OPENSSL_CONF=/dev/null openssl cms -verify -engine gost -binary -inform DER -in '" +
        message.string() + "' -CAfile '" + (TestData() / "chain.pem").string() +
        "' -purpose any -attime 1740830400 -out '" + out.string() + "'";
    if (content != nullptr) {
        line += " -content '" + content->string() + "'";
    }
    return std::system((line + " >/dev/null 2>&1").c_str()) == 0;
}

Bytes SignToBytes(const MessageSigner& signer, bool detached, ByteView data) {
    MemorySource source(data);
    Bytes out;
    EXPECT_TRUE(SignMessage(signer, detached, source, [&](ByteView piece) {
        out.insert(out.end(), piece.begin(), piece.end());
        return true;
    }));
    return out;
}

TEST(SignatureInterop, OurSignaturesVerifyWithOpenssl) {
    ScopedSigningFolders folders;
    const fs::path data_file = SigningData() / "data.txt";
    const Bytes data = *ReadFileBytes(data_file);
    auto old_key = MessageSigner::Create(folders.Signer("signer-2001"));
    auto new_key = MessageSigner::Create(folders.Signer("signer-256"));
    ASSERT_TRUE(old_key && new_key);
    const fs::path message_file = folders.Root() / "message.sig";
    const fs::path out_file = folders.Root() / "content.out";
    for (const bool detached : {false, true}) {
        for (const MessageSigner* signer : {&*old_key, &*new_key}) {
            SCOPED_TRACE(std::string(detached ? "detached " : "attached ") + signer->HashOid());
            const Bytes message = SignToBytes(*signer, detached, data);
            ASSERT_TRUE(WriteFileAtomic(message_file, message));
            EXPECT_TRUE(OpensslVerifies(message_file, detached ? &data_file : nullptr, out_file));
            EXPECT_EQ(ReadFileBytes(out_file), data);

            // Co-signed with the other key.
            MemorySource content(data);
            auto decoded = MsgOpenToDecode(kMsgEncoding, detached ? kCmsgDetachedFlag : 0);
            ASSERT_TRUE(MsgUpdate(*decoded, message));
            if (detached) {
                ASSERT_TRUE(MsgUpdateContent(*decoded, content));
            }
            const MessageSigner& other = signer == &*old_key ? *new_key : *old_key;
            ASSERT_TRUE(MsgAddSigner(*decoded, other));
            ASSERT_TRUE(MsgAddCert(*decoded, other.Certificate()));
            ASSERT_TRUE(WriteFileAtomic(message_file, *MsgEncoded(*decoded)));
            EXPECT_TRUE(OpensslVerifies(message_file, detached ? &data_file : nullptr, out_file));
        }
    }
    // A message with signed attributes from openssl, co-signed here, still
    // verifies there with all its signers.
    auto three = MsgOpenToDecode(kMsgEncoding, 0);
    ASSERT_TRUE(MsgUpdate(*three, *ReadFileBytes(SigningData() / "ossl-three.sig")));
    ASSERT_TRUE(MsgAddSigner(*three, *new_key));
    ASSERT_TRUE(WriteFileAtomic(message_file, *MsgEncoded(*three)));
    EXPECT_TRUE(OpensslVerifies(message_file, nullptr, out_file));
}

}  // namespace
}  // namespace velmora::platform
