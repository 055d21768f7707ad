#include "crypto/platform/asn1/decode_signed_content.h"
#include "crypto/platform/asn1/encode_der.h"
#include "crypto/platform/asn1/encode_values.h"
#include "crypto/platform/certs/encode_request.h"
#include "crypto/platform/certs/request.h"
#include "report/build/build_report.h"
#include "report/names/attribute_label.h"
#include "report/record/decode_record.h"
#include "report/record/gost_key_hash.h"
#include "report/record/record_lookup.h"
#include "report/view/recording_view.h"

#include "fixture_files.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

using Attributes = std::vector<std::pair<std::string, std::string>>;

// The extension request attribute's value: an Extensions SEQUENCE.
Bytes ExtensionsValue(const std::vector<platform::Extension>& extensions) {
    return platform::EncodeExtensions(extensions).value();
}

// The public key of a real request (a made-up one would be no point of the
// curve, which is damage).
platform::PublicKeyInfo RealPublicKey() {
    const Bytes der = testing::ReadFileBytes(testing::FixtureFolder() / "req-noattr.req");
    const auto content = platform::DecodeSignedContent(der);
    return platform::DecodeRequestToBeSigned(content.value().toBeSigned).value().publicKey;
}

// A request with a real key and a made-up signature, its subject of UTF-8
// string attributes: it decodes, but its signature does not verify.
Bytes RequestOf(const Attributes& subject, std::vector<platform::RequestAttribute> attributes) {
    platform::NameInfo name;
    for (const auto& [oid, value] : subject) {
        name.rdns.push_back(
            {{{oid, platform::rdn_type::kUtf8String, Bytes(value.begin(), value.end())}}});
    }
    platform::RequestInfo info;
    info.subject = platform::EncodeName(name).value();
    info.publicKey = RealPublicKey();
    info.attributes = std::move(attributes);
    platform::SignedContent content;
    content.toBeSigned = platform::EncodeRequestToBeSigned(info).value();
    content.signatureAlgorithm.oid = "1.2.643.7.1.1.3.2";
    content.signature = Bytes(64, 0x22);
    return platform::EncodeSignedContent(content).value();
}

TEST(RequestRecord, SnilsFromTheSerialNumberUnlessTheCombinedAttributeQualifiesIt) {
    TRCstruct plain;
    ASSERT_TRUE(DecodeRequest(plain, RequestOf({{"2.5.4.5", "98765432109"},
                                                {"2.5.4.11", "A"},
                                                {"2.5.4.11", "B"},
                                                {"2.5.4.3", "Петрова"}},
                                               {})));
    EXPECT_EQ(plain.Kind, "REQ");
    EXPECT_FALSE(plain.Qualified);
    EXPECT_EQ(plain.Snils, "98765432109");
    EXPECT_EQ(plain.OrgUnit1, "B");
    EXPECT_EQ(plain.OrgUnit2, "A");
    EXPECT_EQ(plain.Extensions.Count(), 0u);
    EXPECT_EQ(plain.Extensions.HeaderOid, "");
    // The made-up signature does not verify; the request is decoded all the same.
    EXPECT_FALSE(plain.SignatureCheck.empty());
    EXPECT_NE(plain.SignatureCheck, "Подпись соответствует открытому ключу");
    EXPECT_TRUE(plain.PublicKeySha1.starts_with("Хеш открытого ключа (sha1): "));

    TRCstruct combined;
    ASSERT_TRUE(
        DecodeRequest(combined, RequestOf({{"2.5.4.5", "111"},
                                           {"1.2.372.980001.8.4.1",
                                            "1.2.643.100.1=1027700132195;1.2.643.100.3=12345678901;"
                                            "1.2.643.3.131.1.1=007710474375"}},
                                          {})));
    EXPECT_TRUE(combined.Qualified);
    EXPECT_EQ(combined.Snils, "12345678901");
    EXPECT_EQ(combined.Ogrn, "1027700132195");
    EXPECT_EQ(combined.Inn, "007710474375");
}

TEST(RequestRecord, ExtensionsFromEveryAttributeThatHoldsThem) {
    platform::AltNameInfo names;
    names.entries.emplace_back().choice = platform::alt_name::kOtherName;
    names.entries.back().otherNameOid = "1.2.643.3.61.502710.1.5";
    names.entries.back().otherNameValue = platform::Der(0x13, AsBytes("01234567"));
    const platform::Extension altName{"2.5.29.17", false, platform::EncodeAltNames(names).value()};
    const platform::Extension keyUsage{"2.5.29.15", true, Bytes{0x03, 0x02, 0x07, 0x80}};
    const platform::Extension signTool{"1.2.643.100.111", false,
                                       platform::Der(0x0C, AsBytes("Тест-CSP"))};

    TRCstruct record;
    ASSERT_TRUE(DecodeRequest(
        record, RequestOf({{"2.5.4.3", "x"}},
                          {{"1.2.840.113549.1.9.7", {platform::Der(0x13, AsBytes("secret"))}},
                           {"1.3.6.1.4.1.311.2.1.14", {ExtensionsValue({keyUsage, keyUsage})}},
                           {"1.2.840.113549.1.9.14", {ExtensionsValue({altName, signTool})}}})));
    // The challenge password holds no extensions and is skipped; the last
    // attribute with extensions names the heading.
    EXPECT_EQ(record.Extensions.HeaderOid, "1.2.840.113549.1.9.14");
    EXPECT_EQ(record.Extensions.HeaderName, AttributeLabel("1.2.840.113549.1.9.14"));
    ASSERT_EQ(record.Extensions.Count(), 4u);
    EXPECT_EQ(record.Extensions.Items[0].Oid, "2.5.29.15");
    EXPECT_EQ(record.Extensions.Items[1].Oid, "2.5.29.15");
    EXPECT_EQ(ExtensionIndex(record, "2.5.29.17"), 2);
    EXPECT_EQ(ExtensionIndex(record, "2.5.29.19"), -1);
    EXPECT_EQ(record.SpzCode, "01234567");
    EXPECT_TRUE(record.Qualified);  // the subject signing tool
}

TEST(RequestRecord, ArmouredFileTextAndRejection) {
    for (const char* name : {"req-full.p10", "req-full-b64.req"}) {
        const Bytes bytes = testing::ReadFileBytes(testing::FixtureFolder() / name);
        TRCstruct record;
        EXPECT_TRUE(DecodeRequest(record, bytes)) << name;
        EXPECT_EQ(record.FileText, AsText(bytes)) << name;
    }
    std::string damaged =
        AsText(testing::ReadFileBytes(testing::FixtureFolder() / "req-noattr.p10"));
    damaged[damaged.find('\n') + 5] = '*';
    const std::string certificate =
        AsText(testing::ReadFileBytes(testing::FixtureFolder() / "ee-256.cer"));
    for (const std::string& text :
         {damaged, std::string("just some text"), std::string(), certificate}) {
        TRCstruct record;
        EXPECT_FALSE(DecodeRequest(record, AsBytes(text)));
        EXPECT_EQ(record.Kind, "");
    }
}

TEST(CertificateRecord, FieldsOfTheFullCertificate) {
    testing::UseMoscowTime();
    const TRCstruct record = testing::DecodeFixture(testing::FixtureFolder() / "ee-256.cer");
    EXPECT_EQ(record.Kind, "CERT");
    EXPECT_TRUE(record.Qualified);
    EXPECT_EQ(record.CommonName, "Иванов Иван Иванович");
    EXPECT_EQ(record.Surname, "Иванов");
    EXPECT_EQ(record.GivenName, "Иван Иванович");
    EXPECT_EQ(record.OrgUnit1, "Отдел учёта и отчётности");
    EXPECT_EQ(record.OrgUnit2, "Отдел режима секретности и безопасности информации");
    EXPECT_EQ(record.Title, "Главный специалист-эксперт");
    EXPECT_EQ(record.Snils, "12345678901");
    EXPECT_EQ(record.Inn, "771234567890");
    EXPECT_EQ(record.Ogrn, "1027700132195");
    EXPECT_EQ(record.AsfkTitle, "1.2.643.3.61.1.1.6.502710.3.4.2.3");
    EXPECT_EQ(record.Email, "ivanov@example.ru");
    EXPECT_EQ(record.Street, "ул. Ильинка, д. 4, стр. 1");
    EXPECT_EQ(record.Country, "RU");
    EXPECT_EQ(record.Region, "77 г. Москва");
    EXPECT_EQ(record.Locality, "Москва");
    EXPECT_EQ(record.SpzCode, "СПЗ-01234567");
    EXPECT_EQ(record.GmuCode, "00012345");
    EXPECT_EQ(record.ChangeKeyId, "0315090000");
    EXPECT_EQ(record.LanDocsId, "Иванов И.И.");
    EXPECT_EQ(record.SignToolText, "Средство электронной подписи «Тест-CSP» (версия 5.0)");
    EXPECT_EQ(record.SignatureCheck, "");
    EXPECT_EQ(record.PublicKeySha1, "");
    EXPECT_EQ(record.Extensions.HeaderOid, "");
}

TEST(CertificateRecord, QualifiedBySnilsOrByBothSigningTools) {
    const auto decode = [](const char* name) {
        return testing::DecodeFixture(testing::FixtureFolder() / name);
    };
    const TRCstruct snilsOnly = decode("ee-512.cer");
    EXPECT_TRUE(snilsOnly.Qualified);
    EXPECT_EQ(ExtensionIndex(snilsOnly, "1.2.643.100.111"), -1);
    const TRCstruct subjectToolOnly = decode("ee-2001.cer");
    EXPECT_FALSE(subjectToolOnly.Qualified);
    EXPECT_FALSE(subjectToolOnly.SignToolText.empty());
    const TRCstruct bothTools = decode("intermediate.cer");
    EXPECT_TRUE(bothTools.Qualified);
    EXPECT_EQ(bothTools.Snils, "");
}

TEST(CertificateRecord, BoundContainerOpensTheReport) {
    testing::UseMoscowTime();
    const platform::CertContext fromFile =
        testing::LoadCertificateFixture(testing::FixtureFolder() / "ee-noext.cer");
    ASSERT_NE(fromFile, nullptr);
    EXPECT_EQ(ContainerOfCertificate(fromFile), "");
    TRCstruct record;
    ASSERT_TRUE(DecodeCertificate(
        record, fromFile->WithKeyProv(platform::KeyProvInfo{
                    "Тестовый контейнер",
                    "Crypto-Pro GOST R 34.10-2001 Cryptographic Service Provider", 75, 1})));
    EXPECT_EQ(record.ContainerName, "Тестовый контейнер");

    RecordingView plain, withContainer;
    BuildReport(testing::DecodeFixture(testing::FixtureFolder() / "ee-noext.cer"), plain);
    BuildReport(record, withContainer);
    EXPECT_EQ(
        withContainer.MarkedText(),
        "{R12}Привязан закрытый ключ, в контейнере - Тестовый контейнер\n" + plain.MarkedText());
}

TEST(AltNameValue, LastNameFirstAndDirectoryNamesCountedFromTheirStart) {
    TALTERNATE_NAMES names;
    const auto other = [&](std::string value) {
        TALTERNATE_NAME& name = names.Items.emplace_back();
        name.Choice = AltNameChoice::kOtherName;
        name.OtherNameOid = "2.5.4.12";
        name.OtherNameValue = std::move(value);
    };
    other("first");
    TALTERNATE_NAME& directory = names.Items.emplace_back();
    directory.Choice = AltNameChoice::kDirectoryName;
    directory.DirectoryName.Items = {
        {"2.5.4.12", "d1", ""}, {"2.5.4.3", "cn", ""}, {"2.5.4.12", "d2", ""}};
    other("last");
    EXPECT_EQ(AltNameValue(names, "2.5.4.12", 1), "last");
    EXPECT_EQ(AltNameValue(names, "2.5.4.3", 1), "cn");
    names.Items.pop_back();
    EXPECT_EQ(AltNameValue(names, "2.5.4.12", 1), "d1");
    EXPECT_EQ(AltNameValue(names, "2.5.4.12", 2), "d2");
    EXPECT_EQ(AltNameValue(names, "2.5.4.12", 3), "first");
    EXPECT_EQ(AltNameValue(names, "2.5.4.7", 1), "");
}

TEST(GostPublicKeyHash, PublishedCryptoProValueAsTwoDumpLines) {
    // GOST R 34.11-94 with the CryptoPro parameters of "abc".
    EXPECT_EQ(GostPublicKeyHash(AsBytes("abc")),
              "B2 85 05 6D BF 18 D7 39  2D 76 77 36 95 24 DD 14 \r"
              "74 74 59 ED 81 43 99 7E  16 3B 29 86 F9 2F D4 2C \r");
}

}  // namespace
}  // namespace velmora
