// A private key carried from one container to another under an agreed key:
// the published vectors of the primitives, and what the transfer refuses.
#include "crypto/platform/keys/container_store.h"
#include "crypto/platform/keys/crypt_provider.h"
#include "crypto/platform/keys/key_wrap.h"
#include "crypto/platform/keys/providers.h"
#include "crypto/platform/system/last_error.h"
#include "crypto/platform/system/system_info.h"
#include "encoding/atomic_file.h"
#include "encoding/base64.h"
#include "platform/decode_test_util.h"
#include "support/key_folder.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace velmora::platform {
namespace {

using testing::Hex;
using velmora::testing::ScopedKeyFolder;

constexpr const char* kProvider = kCryptoPro2012Name;

// R 1323565.1.017-2018, the KExp15 example with Magma.
TEST(KeyWrapTest, PublishedVectors) {
    const Bytes key = Hex("8899AABBCCDDEEFF0011223344556677FEDCBA98765432100123456789ABCDEF");
    const Bytes cipher_key =
        Hex("202122232425262728292A2B2C2D2E2F38393A3B3C3D3E3F3031323334353637");
    const Bytes mac_key = Hex("08090A0B0C0D0E0F0001020304050607101112131415161718191A1B1C1D1E1F");
    const Bytes iv = Hex("67BED654");
    const Bytes expected =
        Hex("CFD5A12D5B81B6E1E99C916D07900C6AC12703FB3ABDED55567BF3742C899C755DAFE7B42E3A8BD9");
    EXPECT_EQ(KExp15(WrapCipher::Magma, key, mac_key, cipher_key, iv), expected);
    const auto back = KImp15(WrapCipher::Magma, expected, mac_key, cipher_key, iv);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->bytes(), key);
    Bytes damaged = expected;
    damaged[5] ^= 0x80;
    EXPECT_FALSE(KImp15(WrapCipher::Magma, damaged, mac_key, cipher_key, iv));
    EXPECT_EQ(GetLastError(), error::kBadData);

    // R 50.1.113-2016, KDF_TREE_GOSTR3411_2012_256 with 512 bits out.
    Bytes kdf_key(32);
    for (std::size_t i = 0; i < kdf_key.size(); ++i) {
        kdf_key[i] = static_cast<std::uint8_t>(i);
    }
    const auto derived = KdfTree256(kdf_key, Hex("26BDB878"), Hex("AF21434145656378"), 64);
    ASSERT_TRUE(derived);
    EXPECT_EQ(derived->bytes(),
              Hex("22B6837845C6BEF65EA71672B265831086D3C76AEBE6DAE91CAD51D83F79D16B"
                  "074C9330599D7F8D712FCA54392F4DDDE93751206B3584C8F43F9E6DC51531F9"));

    // Kuznyechik over a key of any length goes there and back.
    const Bytes long_key(77, 0x5A);
    const Bytes half_block = Hex("0102030405060708");
    const auto wrapped = KExp15(WrapCipher::Kuznyechik, long_key, mac_key, cipher_key, half_block);
    ASSERT_TRUE(wrapped);
    EXPECT_EQ(wrapped->size(), long_key.size() + 16);
    EXPECT_EQ(KImp15(WrapCipher::Kuznyechik, *wrapped, mac_key, cipher_key, half_block)->bytes(),
              long_key);
}

// Two containers' ends of a transfer: each side's ephemeral key and the
// agreement key it makes from the other side's public key, as a copy makes them.
struct Transfer {
    CryptProvider source;
    CryptProvider target;
    CryptKey sourceEphemeral;
    CryptKey targetEphemeral;
    CryptKey sourceAgreement;
    CryptKey targetAgreement;
};

Transfer Prepare(const std::string& source, const std::string& target) {
    Transfer t;
    EXPECT_TRUE(AcquireContext(t.target, target, "", kProvGost2012, kCryptNewKeyset));
    EXPECT_TRUE(AcquireContext(t.source, source, kProvider, kProvGost2012, 0));
    t.sourceEphemeral = *GenKey(t.source, kCalgDhElEphem, kCryptExportable);
    t.targetEphemeral = *GenKey(t.target, kCalgDhElEphem, kCryptExportable | kCryptPregen);
    EXPECT_FALSE(ExportKey(t.targetEphemeral, nullptr, kPublicKeyBlob));  // not made yet
    EXPECT_TRUE(
        SetKeyParam(t.targetEphemeral, kKpDhOid, *GetKeyParam(t.sourceEphemeral, kKpDhOid)));
    EXPECT_TRUE(SetKeyParam(t.targetEphemeral, kKpX, {}));
    t.targetAgreement = *ImportKey(t.target, *ExportKey(t.sourceEphemeral, nullptr, kPublicKeyBlob),
                                   &t.targetEphemeral, 0);
    t.sourceAgreement = *ImportKey(t.source, *ExportKey(t.targetEphemeral, nullptr, kPublicKeyBlob),
                                   &t.sourceEphemeral, 0);
    const Bytes export_alg = {0x1F, 0x66, 0x00, 0x00};
    EXPECT_TRUE(SetKeyParam(t.sourceAgreement, kKpAlgId, export_alg));
    EXPECT_TRUE(SetKeyParam(t.targetAgreement, kKpAlgId, export_alg));
    return t;
}

class KeyTransferTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(ImportContainerKey("источник", kProvider, kProvGost2012,
                                       ReadFixtureKey("ee-256"), nullptr, true));
        ASSERT_TRUE(ImportContainerKey("закрытый", kProvider, kProvGost2012,
                                       ReadFixtureKey("intermediate"), nullptr, false));
    }
    static Bytes ReadFixtureKey(const std::string& name) {
        return testing::ReadFixture("keys/" + name + ".key");
    }

    ScopedKeyFolder folder_;
};

TEST_F(KeyTransferTest, ThePrivateKeyTravelsOnlyWrapped) {
    Transfer t = Prepare("источник", "копия");
    auto exchange = GetUserKey(t.source, kAtKeyExchange);
    ASSERT_TRUE(exchange);
    EXPECT_FALSE(ExportKey(*exchange, nullptr, kPrivateKeyBlob));
    EXPECT_EQ(GetLastError(), error::kPerm);
    // An agreement key not yet set for export does not wrap.
    CryptKey plain_agreement = *ImportKey(
        t.source, *ExportKey(t.targetEphemeral, nullptr, kPublicKeyBlob), &t.sourceEphemeral, 0);
    EXPECT_FALSE(ExportKey(*exchange, &plain_agreement, kPrivateKeyBlob));
    EXPECT_EQ(GetLastError(), error::kBadKey);

    const auto blob = ExportKey(*exchange, &t.sourceAgreement, kPrivateKeyBlob);
    ASSERT_TRUE(blob) << LastErrorText();
    // The key's 32 secret bytes (the end of the unencrypted PKCS#8) are not in the blob.
    const std::string pem = AsText(ReadFixtureKey("ee-256"));
    const Bytes pkcs8 =
        *Base64Decode(pem.substr(pem.find('\n') + 1, pem.find("-----END") - pem.find('\n') - 1));
    const Bytes secret(pkcs8.end() - 32, pkcs8.end());
    EXPECT_EQ(std::search(blob->begin(), blob->end(), secret.begin(), secret.end()), blob->end());

    // A damaged blob, or one made for another agreement, is refused, and the
    // target stays without a key.
    Bytes damaged = *blob;
    damaged[damaged.size() - 20] ^= 1;
    EXPECT_FALSE(ImportKey(t.target, damaged, &t.targetAgreement, 0));
    EXPECT_EQ(GetLastError(), error::kBadData);
    Transfer other = Prepare("источник", "другая");
    EXPECT_FALSE(ImportKey(other.target, *blob, &other.targetAgreement, 0));
    EXPECT_EQ(GetLastError(), error::kBadData);
    EXPECT_FALSE(GetUserKey(t.target, kAtKeyExchange));

    const auto imported = ImportKey(t.target, *blob, &t.targetAgreement, 0);
    ASSERT_TRUE(imported) << LastErrorText();
    EXPECT_TRUE(ComparePublicKeyInfo(*ExportPublicKeyInfo(t.target, kAtKeyExchange),
                                     *ExportPublicKeyInfo(t.source, kAtKeyExchange)));
    // Imported without kCryptExportable, the copy cannot be exported in turn.
    Transfer onward = Prepare("копия", "копия копии");
    EXPECT_FALSE(ExportKey(*GetUserKey(onward.source, kAtKeyExchange), &onward.sourceAgreement,
                           kPrivateKeyBlob));
    EXPECT_EQ(GetLastError(), error::kBadKeyState);
}

TEST_F(KeyTransferTest, ANonExportableKeyNeverLeaves) {
    Transfer t = Prepare("закрытый", "копия закрытого");
    // The ephemeral keys follow the source key's parameter set (TC26 A here).
    EXPECT_EQ(AsText(*GetKeyParam(t.targetEphemeral, kKpDhOid)),
              std::string("1.2.643.7.1.2.1.1.1", 20));
    auto exchange = GetUserKey(t.source, kAtKeyExchange);
    EXPECT_FALSE(ExportKey(*exchange, &t.sourceAgreement, kPrivateKeyBlob));
    EXPECT_EQ(LastErrorText(), "Ключ не может быть использован в указанном состоянии.");
    EXPECT_FALSE(ExportKey(*exchange, nullptr, kPrivateKeyBlob));
    EXPECT_EQ(GetLastError(), error::kBadKeyState);
}

}  // namespace
}  // namespace velmora::platform
