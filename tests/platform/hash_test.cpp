#include "crypto/platform/system/hash.h"

#include "crypto/platform/system/gost_engine.h"
#include "crypto/platform/system/last_error.h"
#include "crypto/platform/system/system_info.h"
#include "platform/decode_test_util.h"

#include "support/lower_hex.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <utility>

namespace velmora::platform {
namespace {

std::string Digest(HashAlgorithm algorithm, ByteView data) {
    const std::optional<Bytes> digest = HashBytes(algorithm, data);
    return digest ? LowerHex(*digest) : "failed: " + LastErrorText();
}

struct Vector {
    HashAlgorithm algorithm;
    std::string message;
    const char* digest;
};

// The GOST R 34.11-2012 standard's example messages M1 (63 ASCII digits) and
// M2 (72 bytes of Windows-1251 text), as bytes in hashing order.
const std::string kM1 = "012345678901234567890123456789012345678901234567890123456789012";
const Bytes kM2 = testing::Hex(
    "d1e520e2e5f2f0e82c20d1f2f0e8e1eee6e820e2edf3f6e82c20e2e5fef2fa20f120eceef0ff20f1f2f0e5ebe0ece8"
    "20ede020f5f0e0e1f0fbff20efebfaeafb20c8e3eef0e5e2fb");

TEST(Hash, PublishedVectors) {
    ASSERT_TRUE(StartGostEngine()) << GostEngineFailureText();
    EXPECT_TRUE(StartGostEngine());  // a second start changes nothing
    EXPECT_EQ(GostEngineFailureText(), "");
    const Vector vectors[] = {
        // FIPS 180 examples.
        {HashAlgorithm::kSha1, "", "da39a3ee5e6b4b0d3255bfef95601890afd80709"},
        {HashAlgorithm::kSha1, "abc", "a9993e364706816aba3e25717850c26c9cd0d89d"},
        {HashAlgorithm::kSha1, "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "84983e441c3bd26ebaae4aa1f95129e5e54670f1"},
        // The published GOST R 34.11-94 vectors for the CryptoPro parameter set.
        {HashAlgorithm::kGost94, "",
         "981e5f3ca30c841487830f84fb433e13ac1101569b9c13584ac483234cd656c0"},
        {HashAlgorithm::kGost94, "a",
         "e74c52dd282183bf37af0079c9f78055715a103f17e3133ceff1aacf2f403011"},
        {HashAlgorithm::kGost94, "abc",
         "b285056dbf18d7392d7677369524dd14747459ed8143997e163b2986f92fd42c"},
        {HashAlgorithm::kGost94, "message digest",
         "bc6041dd2aa401ebfa6e9886734174febdb4729aa972d60f549ac39b29721ba0"},
        {HashAlgorithm::kGost94, "This is message, length=32 bytes",
         "2cefc2f7b7bdc514e18ea57fa74ff357e7fa17d652c75f69cb1be7893ede48eb"},
        {HashAlgorithm::kGost94, "Suppose the original message has length = 50 bytes",
         "c3730c5cbccacf915ac292676f21e8bd4ef75331d9405e5f1a61dc3130a65011"},
        {HashAlgorithm::kGost94, std::string(1000000, 'a'),
         "8693287aa62f9478f7cb312ec0866b6c4e4a0f11160441e8f4ffcd2715dd554f"},
        // GOST R 34.11-2012, the standard's examples.
        {HashAlgorithm::kStreebog512, kM1,
         "1b54d01a4af5b9d5cc3d86d68d285462b19abc2475222f35c085122be4ba1ffa"
         "00ad30f8767b3a82384c6574f024c311e2a481332b08ef7f41797891c1646f48"},
        {HashAlgorithm::kStreebog256, kM1,
         "9d151eefd8590b89daa6ba6cb74af9275dd051026bb149a452fd84e5e57b5500"},
        {HashAlgorithm::kStreebog512, AsText(kM2),
         "1e88e62226bfca6f9994f1f2d51569e0daf8475a3b0fe61a5300eee46d961376"
         "035fe83549ada2b8620fcd7c496ce5b33f0cb9dddc2b6460143b03dabac9fb28"},
        {HashAlgorithm::kStreebog256, AsText(kM2),
         "9dd2fe4e90409e5da87f53976d7405b0c0cac628fc669a741d50063c557e8f50"},
    };
    for (const Vector& v : vectors) {
        EXPECT_EQ(Digest(v.algorithm, AsBytes(v.message)), v.digest)
            << "message of " << v.message.size() << " bytes: " << v.message.substr(0, 40);
    }
}

TEST(Hash, IncrementalEqualsOneShotForAnyChunking) {
    std::string message;
    for (int i = 0; i < 3001; ++i) {
        message += static_cast<char>((i * 131 + 7) % 256);
    }
    for (const HashAlgorithm algorithm :
         {HashAlgorithm::kSha1, HashAlgorithm::kGost94, HashAlgorithm::kStreebog256,
          HashAlgorithm::kStreebog512}) {
        const std::string whole = Digest(algorithm, AsBytes(message));
        ASSERT_EQ(whole.size(), HashSize(algorithm) * 2);
        for (const std::size_t chunk : {1u, 7u, 31u, 32u, 33u, 63u, 64u, 65u, 1000u}) {
            std::optional<HashObject> hash = HashObject::Create(algorithm);
            ASSERT_TRUE(hash);
            for (std::size_t at = 0; at < message.size(); at += chunk) {
                ASSERT_TRUE(hash->Update(
                    AsBytes(message).subspan(at).first(std::min(chunk, message.size() - at))));
                ASSERT_TRUE(hash->Update({}));  // empty pieces change nothing
            }
            const std::optional<Bytes> digest = hash->Finish();
            ASSERT_TRUE(digest);
            EXPECT_EQ(LowerHex(*digest), whole) << "chunk " << chunk;
        }
    }
    // No bytes at all through empty updates still give the published GOST
    // R 34.11-94 value of the empty message; a single zero byte does not.
    std::optional<HashObject> hash = HashObject::Create(HashAlgorithm::kGost94);
    ASSERT_TRUE(hash);
    EXPECT_TRUE(hash->Update({}));
    EXPECT_EQ(LowerHex(hash->Finish().value_or(Bytes{})),
              "981e5f3ca30c841487830f84fb433e13ac1101569b9c13584ac483234cd656c0");
    EXPECT_NE(Digest(HashAlgorithm::kGost94, Bytes{0}),
              "981e5f3ca30c841487830f84fb433e13ac1101569b9c13584ac483234cd656c0");
}

TEST(Hash, FinishedAndMovedFromObjectsRefuseFurtherUse) {
    std::optional<HashObject> hash = HashObject::Create(HashAlgorithm::kStreebog256);
    ASSERT_TRUE(hash);
    ASSERT_TRUE(hash->Update(AsBytes("abc")));
    HashObject moved = std::move(*hash);
    SetLastError(error::kSuccess);
    EXPECT_FALSE(hash->Update(AsBytes("x")));
    EXPECT_EQ(GetLastError(), error::kBadHash);
    EXPECT_FALSE(hash->Finish());
    EXPECT_EQ(moved.Algorithm(), HashAlgorithm::kStreebog256);
    const std::optional<Bytes> digest = moved.Finish();
    ASSERT_TRUE(digest);
    EXPECT_EQ(LowerHex(*digest), Digest(HashAlgorithm::kStreebog256, AsBytes("abc")));
    SetLastError(error::kSuccess);
    EXPECT_FALSE(moved.Finish());
    EXPECT_EQ(GetLastError(), error::kBadHash);
    EXPECT_FALSE(moved.Update(AsBytes("abc")));
}

// Runs in a fresh process whose OpenSSL cannot find the GOST engine.
TEST(HashDeathTest, WithoutTheGostEngineGostHashesFailCleanly) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            setenv("OPENSSL_ENGINES", "/nonexistent/velmora-engines", 1);
            SetLastError(error::kSuccess);
            const bool refused = !HashObject::Create(HashAlgorithm::kStreebog256) &&
                                 GetLastError() == error::kProviderDllFail &&
                                 !HashBytes(HashAlgorithm::kGost94, AsBytes("abc")) &&
                                 !GostEngineFailureText().empty();
            const std::optional<Bytes> sha1 = HashBytes(HashAlgorithm::kSha1, AsBytes("abc"));
            const bool sha1_works =
                sha1 && LowerHex(*sha1) == "a9993e364706816aba3e25717850c26c9cd0d89d";
            std::exit(refused && sha1_works ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace velmora::platform
