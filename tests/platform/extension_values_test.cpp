#include "crypto/platform/certs/extension_values.h"
#include "crypto/platform/asn1/encode_der.h"
#include "crypto/platform/certs/cert_context.h"
#include "crypto/platform/certs/cert_hash.h"
#include "crypto/platform/certs/name.h"
#include "crypto/platform/system/last_error.h"
#include "platform/decode_test_util.h"

#include <gtest/gtest.h>

#include <functional>

namespace velmora::platform {
namespace {

using testing::Hex;
using testing::ReadFixture;
using testing::UtcFileTime;

// The value of the first extension with the OID in a fixture certificate.
class FixtureExtensions {
  public:
    explicit FixtureExtensions(const char* file)
        : cert_(CreateCertificateContext(ReadFixture(file))) {
        EXPECT_TRUE(cert_) << file;
    }
    Bytes Value(std::string_view oid) const {
        const Extension* extension = cert_ ? FindExtension(cert_->Info().extensions, oid) : nullptr;
        EXPECT_NE(extension, nullptr) << oid;
        return extension != nullptr ? extension->value : Bytes{};
    }
    const CertContext& Cert() const { return cert_; }

  private:
    CertContext cert_;
};

std::vector<std::uint32_t> Choices(const AltNameInfo& names) {
    std::vector<std::uint32_t> choices;
    for (const AltNameEntry& entry : names.entries) {
        choices.push_back(entry.choice);
    }
    return choices;
}

// The reports of the fixtures show most decoded values; here what they do not
// show: string types, keys computed independently, choices the report skips,
// and what is absent.
TEST(ExtensionValues, WhatTheFixtureReportsDoNotShow) {
    const FixtureExtensions ee("ee-256.cer");
    const std::optional<AltNameInfo> san = DecodeAltNames(ee.Value("2.5.29.17"));
    ASSERT_TRUE(san);
    EXPECT_EQ(Choices(*san), (std::vector<std::uint32_t>{1, 1, 1, 1, 2, 3, 7, 8, 8, 5, 9}));
    EXPECT_EQ(san->entries[1].otherNameValue, Der(0x13, AsBytes("00012345")));
    EXPECT_EQ(san->entries[3].otherNameValue[0], 0x1E);  // a BMPString
    // The key identifier of the key attributes is the SHA-1 of the public
    // key information, as the fixture script computed it with openssl.
    const std::optional<KeyAttributes> attributes = DecodeKeyAttributes(ee.Value("2.5.29.2"));
    ASSERT_TRUE(attributes);
    EXPECT_EQ(attributes->keyId, HashPublicKeyInfoSha1(ee.Cert()->Info().publicKey));
    EXPECT_EQ(DecodeBasicConstraints(ee.Value("2.5.29.19")), (BasicConstraints{false, false, 0}));
    EXPECT_EQ(DecodeBasicConstraints(FixtureExtensions("intermediate.cer").Value("2.5.29.19")),
              (BasicConstraints{true, true, 0}));
    EXPECT_EQ(DecodeBasicConstraints(FixtureExtensions("ca.cer").Value("2.5.29.19")),
              (BasicConstraints{true, false, 0}));

    const FixtureExtensions ee512("ee-512.cer");
    const std::optional<KeyAttributes> no_key_id = DecodeKeyAttributes(ee512.Value("2.5.29.2"));
    ASSERT_TRUE(no_key_id);
    EXPECT_TRUE(no_key_id->keyId.empty());
    EXPECT_EQ(no_key_id->privateKeyUsagePeriod,
              (PrivateKeyUsagePeriod{0, UtcFileTime(2025, 6, 1, 0, 0, 0)}));
    const std::optional<AuthorityKeyId> aki = DecodeAuthorityKeyId(ee512.Value("2.5.29.35"));
    ASSERT_TRUE(aki);
    EXPECT_TRUE(aki->issuer.entries.empty());
    EXPECT_TRUE(aki->serialNumber.empty());

    const FixtureExtensions ee2001("ee-2001.cer");
    const std::optional<AltNameInfo> san2001 = DecodeAltNames(ee2001.Value("2.5.29.17"));
    ASSERT_TRUE(san2001);
    EXPECT_EQ(Choices(*san2001), (std::vector<std::uint32_t>{4, 6, 9, 8, 3}));
    EXPECT_EQ(san2001->entries[0].raw.at(0), 0xA3);
    EXPECT_EQ(san2001->entries[1].raw.at(0), 0xA5);
    EXPECT_EQ(DecodeEnhancedKeyUsage(ee2001.Value("2.5.29.37")), std::vector<std::string>{});
    const std::optional<std::vector<CrlDistPoint>> points =
        DecodeCrlDistPoints(ee2001.Value("2.5.29.31"));
    ASSERT_TRUE(points);
    ASSERT_EQ(points->size(), 2u);
    EXPECT_EQ((*points)[0].nameChoice, CrlDistPoint::kRelativeName);
    // The relative name reads as a SET holding CN=CRL Partition 7.
    const std::optional<NameInfo> relative = DecodeName(Der(0x30, (*points)[0].relativeName));
    ASSERT_TRUE(relative);
    EXPECT_EQ(AsText(relative->rdns.at(0).attributes.at(0).value), "CRL Partition 7");
    EXPECT_EQ((*points)[1].nameChoice, CrlDistPoint::kNoName);

    const FixtureExtensions odd("ee-oddext.cer");
    EXPECT_EQ(DecodeKeyUsage(odd.Value("2.5.29.15")), (BitString{{}, 0}));
    SetLastError(0);
    EXPECT_FALSE(DecodeInteger(odd.Value("1.3.6.1.4.1.311.21.1")));
    EXPECT_EQ(GetLastError(), error::kAsn1BadTag);
    // Key attributes with only a key identifier have no usage period at all.
    const std::optional<KeyAttributes> key_id_only = DecodeKeyAttributes(odd.Value("2.5.29.2"));
    ASSERT_TRUE(key_id_only);
    EXPECT_EQ(key_id_only->keyId, Hex("01 02 03 04 05 06 07 08"));
    EXPECT_TRUE(key_id_only->intendedKeyUsage.bytes.empty());
    EXPECT_FALSE(key_id_only->privateKeyUsagePeriod);
}

// Every decoder takes its good vector, and refuses it with a byte more, a
// byte less, or another outer identifier.
TEST(ExtensionValues, EveryDecoderRefusesDamagedInput) {
    const Bytes period = Der(0x80, AsBytes("20240315090000Z"));
    struct Case {
        const char* name;
        Bytes good;
        std::function<bool(ByteView)> decode;
    };
    const std::vector<Case> cases = {
        {"policies", Hex("30 0A 30 08 06 06 2A 85 03 64 71 01"),
         [](ByteView d) { return DecodeCertPolicies(d).has_value(); }},
        {"alt names", Hex("30 06 87 04 0A 00 00 01"),
         [](ByteView d) { return DecodeAltNames(d).has_value(); }},
        {"key attributes", DerOf(0x30, {Hex("04 01 07 03 02 01 C0"), Der(0x30, period)}),
         [](ByteView d) { return DecodeKeyAttributes(d).has_value(); }},
        {"key usage", Hex("03 02 07 80"), [](ByteView d) { return DecodeKeyUsage(d).has_value(); }},
        {"extended key usage", Hex("30 0A 06 08 2B 06 01 05 05 07 03 02"),
         [](ByteView d) { return DecodeEnhancedKeyUsage(d).has_value(); }},
        {"basic constraints", Hex("30 06 01 01 FF 02 01 00"),
         [](ByteView d) { return DecodeBasicConstraints(d).has_value(); }},
        {"usage period", Der(0x30, period),
         [](ByteView d) { return DecodePrivateKeyUsagePeriod(d).has_value(); }},
        {"authority key id", Hex("30 07 80 01 AA 82 02 00 80"),
         [](ByteView d) { return DecodeAuthorityKeyId(d).has_value(); }},
        {"subject key id", Hex("04 02 AB CD"),
         [](ByteView d) { return DecodeSubjectKeyId(d).has_value(); }},
        {"distribution points", Hex("30 0B 30 09 A0 07 A0 05 86 03 61 3A 62"),
         [](ByteView d) { return DecodeCrlDistPoints(d).has_value(); }},
        {"integer", Hex("02 01 01"), [](ByteView d) { return DecodeInteger(d).has_value(); }},
        {"octet string", Hex("04 01 01"),
         [](ByteView d) { return DecodeOctetString(d).has_value(); }},
        {"sequence of any", Hex("30 03 0C 01 41"),
         [](ByteView d) { return DecodeSequenceOfAny(d).has_value(); }},
    };
    for (const Case& c : cases) {
        EXPECT_TRUE(c.decode(c.good)) << c.name;
        Bytes longer = c.good;
        longer.push_back(0x00);
        SetLastError(0);
        EXPECT_FALSE(c.decode(longer)) << c.name;
        EXPECT_EQ(GetLastError(), error::kAsn1Corrupt) << c.name;
        for (std::size_t size = 0; size < c.good.size(); ++size) {
            EXPECT_FALSE(c.decode(ByteView(c.good).first(size))) << c.name << " cut to " << size;
        }
        Bytes retagged = c.good;
        retagged[0] = retagged[0] == 0x31 ? 0x30 : 0x31;
        SetLastError(0);
        EXPECT_FALSE(c.decode(retagged)) << c.name;
        EXPECT_EQ(GetLastError(), error::kAsn1BadTag) << c.name;
    }
}

TEST(ExtensionValues, StructureFaultsInsideTheValues) {
    struct Case {
        const char* what;
        Bytes der;
        std::function<bool(ByteView)> decode;
        std::uint32_t code;
    };
    const auto alt = [](ByteView d) { return DecodeAltNames(d).has_value(); };
    const auto basic = [](ByteView d) { return DecodeBasicConstraints(d).has_value(); };
    const auto aki = [](ByteView d) { return DecodeAuthorityKeyId(d).has_value(); };
    const auto period = [](ByteView d) { return DecodePrivateKeyUsagePeriod(d).has_value(); };
    const auto points = [](ByteView d) { return DecodeCrlDistPoints(d).has_value(); };
    const auto policies = [](ByteView d) { return DecodeCertPolicies(d).has_value(); };
    const std::vector<Case> cases = {
        {"unknown general name [9]", Hex("30 03 89 01 00"), alt, error::kAsn1BadTag},
        {"other name without its [0] value", Hex("30 07 A0 05 06 03 55 04 0C"), alt,
         error::kAsn1Eod},
        {"other name with two values", Hex("30 0F A0 0D 06 03 55 04 0C A0 06 13 01 41 13 01 42"),
         alt, error::kAsn1Corrupt},
        {"directory name that is no Name", Hex("30 04 A4 02 31 00"), alt, error::kAsn1BadTag},
        {"registered id that is no OID", Hex("30 03 88 01 80"), alt, error::kAsn1Corrupt},
        {"negative path length", Hex("30 03 02 01 FF"), basic, error::kAsn1Corrupt},
        {"path length above 32 bits", Hex("30 07 02 05 01 00 00 00 00"), basic, error::kAsn1Large},
        {"CA flag of two bytes", Hex("30 04 01 02 FF FF"), basic, error::kAsn1Corrupt},
        {"fields out of order", Hex("30 06 82 01 01 80 01 AA"), aki, error::kAsn1Corrupt},
        {"empty serial", Hex("30 02 82 00"), aki, error::kAsn1Corrupt},
        {"UTCTime text in the period", DerOf(0x30, {Der(0x80, AsBytes("240315090000Z"))}), period,
         error::kAsn1Corrupt},
        {"times swapped",
         DerOf(0x30,
               {Der(0x81, AsBytes("20240315090000Z")), Der(0x80, AsBytes("20240315090000Z"))}),
         period, error::kAsn1Corrupt},
        {"unknown point name [2]", Hex("30 08 30 06 A0 04 A2 02 30 00"), points,
         error::kAsn1BadTag},
        {"policy without an OID", Hex("30 04 30 02 05 00"), policies, error::kAsn1BadTag},
        {"policy with a field too many", Hex("30 0B 30 09 06 03 55 1D 20 30 00 05 00"), policies,
         error::kAsn1Corrupt},
    };
    for (const Case& c : cases) {
        SetLastError(0);
        EXPECT_FALSE(c.decode(c.der)) << c.what;
        EXPECT_EQ(GetLastError(), c.code) << c.what;
    }
}

}  // namespace
}  // namespace velmora::platform
