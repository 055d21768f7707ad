#include "crypto/platform/asn1/encode_values.h"
#include "crypto/platform/asn1/encode_der.h"
#include "crypto/platform/certs/cert_context.h"
#include "crypto/platform/certs/extension_values.h"
#include "crypto/platform/system/last_error.h"
#include "platform/decode_test_util.h"

#include <gtest/gtest.h>

namespace velmora::platform {
namespace {

using testing::Hex;
using testing::ReadFixture;
using testing::UtcFileTime;

// Extension values written by openssl, decoded and encoded again by us,
// come out byte for byte.
TEST(EncodeValues, ReproduceTheExtensionsOpenSslWrote) {
    for (const char* file : {"ee-256.cer", "ee-512.cer", "ee-2001.cer"}) {
        const CertContext cert = CreateCertificateContext(ReadFixture(file));
        ASSERT_TRUE(cert) << file;
        for (const Extension& extension : cert->Info().extensions) {
            const Bytes& value = extension.value;
            std::optional<Bytes> again;
            if (extension.oid == "2.5.29.17" || extension.oid == "2.5.29.18") {
                again = EncodeAltNames(*DecodeAltNames(value));
            } else if (extension.oid == "2.5.29.2") {
                again = EncodeKeyAttributes(*DecodeKeyAttributes(value));
            } else if (extension.oid == "2.5.29.15") {
                again = EncodeBitString(*DecodeKeyUsage(value));
            } else if (extension.oid == "2.5.29.37") {
                again = EncodeEnhancedKeyUsage(*DecodeEnhancedKeyUsage(value));
            } else if (extension.oid == "2.5.29.32" && std::string(file) != "ee-512.cer") {
                again = EncodeCertPolicies(*DecodeCertPolicies(value));  // no qualifiers
            } else if (extension.oid == "1.2.643.100.111") {
                const NameValue name_value = *DecodeNameValue(value);
                again = EncodeNameValue(name_value.valueType, name_value.value);
            } else {
                continue;
            }
            EXPECT_EQ(again, value) << file << " " << extension.oid;
        }
        EXPECT_EQ(EncodeExtensions(cert->Info().extensions).has_value(), true);
    }
}

TEST(EncodeValues, BitStringsAsGiven) {
    EXPECT_EQ(EncodeBitString({Hex("C0"), 1}), Hex("03 02 01 C0"));
    EXPECT_EQ(EncodeBitString({Hex("C0 80"), 2}), Hex("03 03 02 C0 80"));
    EXPECT_EQ(EncodeBitString({{}, 0}), Hex("03 01 00"));
    for (const BitString& bad :
         {BitString{Hex("C1"), 1}, BitString{Hex("80"), 8}, BitString{{}, 1}}) {
        SetLastError(0);
        EXPECT_FALSE(EncodeBitString(bad));
        EXPECT_EQ(GetLastError(), error::kInvalidParameter);
    }
}

TEST(EncodeValues, KeyAttributesOfANewRequest) {
    KeyAttributes attributes;
    attributes.keyId = Hex("01 02 03");
    attributes.intendedKeyUsage = {Hex("F0"), 0};
    attributes.privateKeyUsagePeriod =
        PrivateKeyUsagePeriod{UtcFileTime(2024, 3, 15, 9, 0, 0), UtcFileTime(2025, 3, 14, 9, 0, 0)};
    const std::optional<Bytes> der = EncodeKeyAttributes(attributes);
    ASSERT_TRUE(der);
    EXPECT_EQ(*der, DerOf(0x30, {Hex("04 03 01 02 03 03 02 00 F0"),
                                 DerOf(0x30, {Der(0x80, AsBytes("20240315090000Z")),
                                              Der(0x81, AsBytes("20250314090000Z"))})}));
    EXPECT_EQ(DecodeKeyAttributes(*der), attributes);
    // Only what is there is written.
    EXPECT_EQ(EncodeKeyAttributes({}), Hex("30 00"));
    KeyAttributes after_only;
    after_only.privateKeyUsagePeriod = PrivateKeyUsagePeriod{0, UtcFileTime(2025, 6, 1, 0, 0, 0)};
    EXPECT_EQ(DecodeKeyAttributes(*EncodeKeyAttributes(after_only)), after_only);
}

// One general name of the choice, with the one field it uses.
AltNameEntry Entry(std::uint32_t choice, Bytes AltNameEntry::*field, Bytes value) {
    AltNameEntry entry;
    entry.choice = choice;
    entry.*field = std::move(value);
    return entry;
}

AltNameEntry Entry(std::uint32_t choice, std::string AltNameEntry::*field, std::string value) {
    AltNameEntry entry;
    entry.choice = choice;
    entry.*field = std::move(value);
    return entry;
}

TEST(EncodeValues, GeneralNamesOfEveryChoiceRoundTrip) {
    AltNameEntry other = Entry(alt_name::kOtherName, &AltNameEntry::otherNameValue,
                               *EncodeNameValue(rdn_type::kPrintableString, AsBytes("0315090000")));
    other.otherNameOid = "2.5.4.12";
    AltNameInfo names;
    names.entries = {
        other,
        Entry(alt_name::kRfc822Name, &AltNameEntry::text, "a@b.ru"),
        Entry(alt_name::kDnsName, &AltNameEntry::text, "b.ru"),
        Entry(alt_name::kX400Address, &AltNameEntry::raw, Hex("A3 02 30 00")),
        Entry(alt_name::kDirectoryName, &AltNameEntry::directoryName, Hex("30 00")),
        Entry(alt_name::kEdiPartyName, &AltNameEntry::raw, Hex("A5 03 81 01 41")),
        Entry(alt_name::kUrl, &AltNameEntry::text, "http://b.ru/"),
        Entry(alt_name::kIpAddress, &AltNameEntry::ipAddress, Hex("7F 00 00 01")),
        Entry(alt_name::kRegisteredId, &AltNameEntry::registeredId, "1.2.643.100.114"),
    };
    const std::optional<Bytes> der = EncodeAltNames(names);
    ASSERT_TRUE(der);
    EXPECT_EQ(DecodeAltNames(*der), names);

    AltNameEntry cut_value =
        Entry(alt_name::kOtherName, &AltNameEntry::otherNameValue, Hex("13 05 41"));
    cut_value.otherNameOid = "2.5.4.12";
    AltNameEntry bad_oid = Entry(alt_name::kOtherName, &AltNameEntry::otherNameValue, Hex("05 00"));
    bad_oid.otherNameOid = "2";
    struct Bad {
        const char* what;
        AltNameEntry entry;
        std::uint32_t code;
    };
    const Bad bad[] = {
        {"Cyrillic e-mail", Entry(alt_name::kRfc822Name, &AltNameEntry::text, "иван@b.ru"),
         error::kInvalidIa5String},
        {"cut other-name value", cut_value, error::kInvalidParameter},
        {"other name without OID", bad_oid, error::kInvalidParameter},
        {"directory name that is a SET",
         Entry(alt_name::kDirectoryName, &AltNameEntry::directoryName, Hex("31 00")),
         error::kInvalidParameter},
        {"X.400 with the EDI tag", Entry(alt_name::kX400Address, &AltNameEntry::raw, Hex("A5 00")),
         error::kInvalidParameter},
        {"registered id of one arc",
         Entry(alt_name::kRegisteredId, &AltNameEntry::registeredId, "1"),
         error::kInvalidParameter},
        {"unknown choice", Entry(10, &AltNameEntry::text, ""), error::kInvalidParameter},
    };
    for (const Bad& b : bad) {
        SetLastError(0);
        EXPECT_FALSE(EncodeAltNames(AltNameInfo{{b.entry}})) << b.what;
        EXPECT_EQ(GetLastError(), b.code) << b.what;
    }
}

TEST(EncodeValues, OidListsAndExtensions) {
    EXPECT_EQ(EncodeEnhancedKeyUsage({"1.3.6.1.5.5.7.3.2"}),
              Hex("30 0A 06 08 2B 06 01 05 05 07 03 02"));
    EXPECT_EQ(EncodeCertPolicies({"1.2.643.100.113.1"}),
              Hex("30 0A 30 08 06 06 2A 85 03 64 71 01"));
    EXPECT_EQ(EncodeEnhancedKeyUsage({}), Hex("30 00"));
    EXPECT_FALSE(EncodeCertPolicies({"1.2.643", "not an oid"}));
    EXPECT_EQ(GetLastError(), error::kInvalidParameter);
    const std::vector<Extension> extensions = {{"2.5.29.15", true, Hex("03 02 01 C0")},
                                               {"2.5.29.37", false, Hex("30 00")}};
    const std::optional<Bytes> der = EncodeExtensions(extensions);
    ASSERT_TRUE(der);
    EXPECT_EQ(*der, Hex("30 1B 30 0E 06 03 55 1D 0F 01 01 FF 04 04 03 02 01 C0 "
                        "30 09 06 03 55 1D 25 04 02 30 00"));
    EXPECT_EQ(DecodeExtensions(*der), extensions);
}

}  // namespace
}  // namespace velmora::platform
