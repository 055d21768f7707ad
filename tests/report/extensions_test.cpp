#include "crypto/platform/der_reader.h"
#include "crypto/platform/encode_der.h"
#include "crypto/platform/encode_values.h"
#include "encoding/utf8.h"
#include "report/extensions/alt_names.h"
#include "report/extensions/decode_extensions.h"
#include "report/extensions/key_usage.h"
#include "report/names/attribute_label.h"

#include "fixture_files.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

namespace der = platform::der;

TCERT_EXTENSION_STR Decode(std::string oid, Bytes value) {
    return DecodeExtension(platform::Extension{std::move(oid), false, std::move(value)});
}

Bytes Ascii(std::string_view text) {
    return Bytes(text.begin(), text.end());
}

TEST(Extensions, NearMissesOfDecodedOidsAreUnknown) {
    // Every decoded kind is in the golden reports; here the OIDs that only
    // look like one of them.
    for (const char* oid : {"2.5.29.18", "2.5.29.1", "2.5.29.150", "1.2.643.100.11",
                            "1.2.643.100.1111", "1.3.6.1.4.1.311.21.10", ""}) {
        EXPECT_EQ(ExtensionKindOf(oid), ExtensionKind::kUnknown) << oid;
    }
    EXPECT_EQ(ExtensionKindOf("2.5.29.16"), ExtensionKind::kPrivateKeyPeriod);
}

TEST(Extensions, UnknownExtensionKeepsHexAndDump) {
    const Bytes value = platform::DerOf(
        der::kSequence,
        {platform::Der(der::kOid, Bytes{0x55, 0x1D, 0x0F}), platform::Der(0x0C, Ascii("x"))});
    const TCERT_EXTENSION_STR record = Decode("2.5.29.18", value);
    EXPECT_EQ(record.Kind, ExtensionKind::kUnknown);
    EXPECT_EQ(record.ValueHex, "30 08 06 03 55 1D 0F 0C 01 78");
    EXPECT_EQ(record.Asn1Dump,
              (std::vector<std::string>{
                  "Декодирование ASN1:", "SEQUENCE",
                  "   OBJECT_IDENTIFIER: " + AttributeLabelWithOid("2.5.29.15", true),
                  "   UTF8_STRING: x"}));
}

TEST(Extensions, EveryExtensionIsKeptInOrderEvenWhenItsValueDoesNotDecode) {
    const std::vector<platform::Extension> input = {
        {"2.5.29.19", true, Bytes{0x04, 0x00}},  // not basic constraints
        {"2.5.29.14", false, Bytes{0x04, 0x02, 0xAB, 0xCD}},
        {"2.5.29.14", false, Bytes{0x04, 0x01, 0x01}},
    };
    CERT_EXTENSIONS_STR list;
    list.Items.push_back(Decode("2.5.29.15", Bytes{0x03, 0x02, 0x07, 0x80}));
    DecodeExtensions(input, list);
    ASSERT_EQ(list.Count(), 4u);
    EXPECT_EQ(list.Items[1].Kind, ExtensionKind::kBasicConstraints);
    EXPECT_EQ(list.Items[1].BasicConstraints, TBASIC_CONSTRAINTS{});
    EXPECT_EQ(list.Items[2].SubjectKeyIdText, "AB CD");
    EXPECT_EQ(list.Items[3].SubjectKeyIdText, "01");
}

TEST(KeyUsage, TextsInReportOrderFollowedByTheBytes) {
    const std::pair<Bytes, std::string> cases[] = {
        {{0x03, 0x02, 0x07, 0x80}, "Цифровая подпись(80)"},
        {{0x03, 0x03, 0x07, 0x80, 0x80}, "Цифровая подпись, Только расшифровка(80 80)"},
        {{0x03, 0x02, 0x04, 0xF0},
         "Шифрование данных, Цифровая подпись, Шифрование ключа, Неотрекаемость(F0)"},
        {{0x03, 0x02, 0x01, 0x0E},
         "Согласование ключей, Подпись ключа сертификата, Подписание списков отзыва(0E)"},
        {{0x03, 0x02, 0x00, 0x01}, "(01)"},  // encipher only is not read
        {{0x03, 0x02, 0x07, 0x00}, "(00)"},
        {{0x03, 0x01, 0x00}, "()"},
        {{0x04, 0x00}, "()"},  // not a bit string
    };
    for (const auto& [value, text] : cases) {
        EXPECT_EQ(KeyUsageText(Decode("2.5.29.15", value).KeyUsage), text);
    }
}

TEST(KeyUsage, NameTableLookupsIgnoreCase) {
    int byte = 0;
    EXPECT_EQ(KeyUsageBit("cert_crl_sign_key_usage", KeyUsageNameKind::kConstant, byte), 0x02);
    EXPECT_EQ(byte, 1);
    EXPECT_EQ(KeyUsageBit("Только расшифровка", KeyUsageNameKind::kRussian, byte), 0x80);
    EXPECT_EQ(byte, 2);
    // The byte number needs the name as written; the bit does not.
    EXPECT_EQ(KeyUsageBit("ТОЛЬКО РАСШИФРОВКА", KeyUsageNameKind::kRussian, byte), 0x80);
    EXPECT_EQ(byte, 1);
    EXPECT_EQ(KeyUsageBit("CERT_DECIPHER_ONLY_KEY_USAGE", KeyUsageNameKind::kRussian, byte), 0);
    EXPECT_EQ(byte, 2);

    EXPECT_EQ(KeyUsageNameMap("cert_non_repudiation_key_usage", KeyUsageNameKind::kConstant),
              "Неотрекаемость");
    EXPECT_EQ(KeyUsageNameMap("согласование КЛЮЧЕЙ", KeyUsageNameKind::kRussian),
              "CERT_KEY_AGREEMENT_KEY_USAGE");
    EXPECT_EQ(KeyUsageNameMap("Неотрекаемость", KeyUsageNameKind::kConstant), "");
}

TEST(AltNames, EveryChoiceWithItsText) {
    platform::AltNameInfo info;
    const auto add = [&](std::uint32_t choice) -> platform::AltNameEntry& {
        info.entries.emplace_back().choice = choice;
        return info.entries.back();
    };
    const auto other = [&](std::string oid, Bytes value) {
        platform::AltNameEntry& entry = add(platform::alt_name::kOtherName);
        entry.otherNameOid = std::move(oid);
        entry.otherNameValue = std::move(value);
    };
    other("2.5.4.12", platform::Der(0x13, Ascii("0315")));
    other("1.2.3.4.99", platform::Der(0x1E, Bytes{0x04, 0x18, 0x04, 0x32}));  // "Ив", UTF-16
    other("1.3.6.1.5.5.7.3.2", platform::Der(0x0C, Ascii("x")));
    add(platform::alt_name::kRfc822Name).text = "a@example.ru";
    add(platform::alt_name::kUrl).text = "http://example.ru/" + std::string(300, 'x');
    add(platform::alt_name::kIpAddress).ipAddress = {192, 168, 0, 1};
    add(platform::alt_name::kIpAddress).ipAddress = {0x20, 0x01, 0x0D, 0xB8, 0, 0, 0,    0,
                                                     0,    0,    0,    0,    0, 0, 0x10, 0xFF};
    add(platform::alt_name::kRegisteredId).registeredId = "1.2.643.100.114";
    add(platform::alt_name::kX400Address).raw = Bytes{0xA3, 0x00};

    const TALTERNATE_NAMES names = DecodeAltNameInfo(info);
    ASSERT_EQ(names.Count(), 9u);
    EXPECT_EQ(names.Items[0].OtherNameLabel, "Идентификатор ключей при смене");
    EXPECT_EQ(names.Items[0].OtherNameValue, "0315");
    EXPECT_EQ(names.Items[1].OtherNameLabel, "Неизвестный OID");
    EXPECT_EQ(names.Items[1].OtherNameValue, "Ив");
    EXPECT_EQ(names.Items[2].OtherNameLabel, OidFriendlyName("1.3.6.1.5.5.7.3.2"));
    EXPECT_NE(names.Items[2].OtherNameLabel, "Неизвестный OID");
    EXPECT_EQ(names.Items[3].Email, "a@example.ru");
    EXPECT_EQ(names.Items[4].Url.size(), 255u);
    EXPECT_EQ(names.Items[5].IpAddress, "192.168.0.1");
    EXPECT_EQ(names.Items[6].IpAddress, "32.1.13.184.0.0.0.0.0.0.0.0.0.0.16.255");
    EXPECT_EQ(names.Items[7].RegisteredId, "1.2.643.100.114");
    TALTERNATE_NAME x400;
    x400.Choice = AltNameChoice::kX400Address;
    EXPECT_EQ(names.Items[8], x400);
}

TEST(Extensions, CaVersionAndPreviousCaHash) {
    EXPECT_EQ(Decode("1.3.6.1.4.1.311.21.1", {0x02, 0x01, 0x00}).CaVersionText, "V0.0");
    EXPECT_EQ(Decode("1.3.6.1.4.1.311.21.1", {0x02, 0x03, 0x01, 0x00, 0x02}).CaVersionText, "V2.1");
    EXPECT_EQ(Decode("1.3.6.1.4.1.311.21.1", {0x02, 0x03, 0x7F, 0xFF, 0xFF}).CaVersionText,
              "V65535.127");
    EXPECT_EQ(Decode("1.3.6.1.4.1.311.21.1", {0x04, 0x00}).CaVersionText, "");
    EXPECT_EQ(Decode("1.3.6.1.4.1.311.21.2", {0x04, 0x03, 0x0A, 0x0B, 0x0C}).PreviousCaHashText,
              "0A 0B 0C");
}

TEST(Extensions, UsagePeriodLeavesAMissingTimeEmpty) {
    testing::UseMoscowTime();
    const Bytes from = platform::Der(0x80, Ascii("20240315090000Z"));
    const Bytes to = platform::Der(0x81, Ascii("20250315090000Z"));
    const auto period = [](std::initializer_list<ByteView> times) {
        return Decode("2.5.29.16", platform::DerOf(der::kSequence, times)).UsagePeriod;
    };
    EXPECT_EQ(period({from, to}), (TUSAGE_PERIOD{"15.03.2024 12:00:00", "15.03.2025 12:00:00"}));
    EXPECT_EQ(period({to}), (TUSAGE_PERIOD{"", "15.03.2025 12:00:00"}));
    EXPECT_EQ(period({from}), (TUSAGE_PERIOD{"15.03.2024 12:00:00", ""}));
    EXPECT_EQ(period({}), TUSAGE_PERIOD{});

    // The same rule for the period inside the key attributes.
    const Bytes attributes =
        platform::DerOf(der::kSequence, {platform::Der(der::kOctetString, Bytes{1, 2}),
                                         platform::Der(der::kBitString, Bytes{0x07, 0x80}),
                                         platform::DerOf(der::kSequence, {to})});
    const CERT_KEY_ATTRIBUTES_INFO_STR keyAttributes = Decode("2.5.29.2", attributes).KeyAttributes;
    EXPECT_EQ(keyAttributes.KeyId, "01 02");
    EXPECT_EQ(KeyUsageText(keyAttributes.KeyUsage), "Цифровая подпись(80)");
    EXPECT_EQ(keyAttributes.NotBefore, "");
    EXPECT_EQ(keyAttributes.NotAfter, "15.03.2025 12:00:00");
}

TEST(Extensions, BasicConstraintsPathLengthOnlyForACa) {
    const Bytes yes{0x01, 0x01, 0xFF};
    const Bytes three{0x02, 0x01, 0x03};
    EXPECT_EQ(Decode("2.5.29.19", platform::DerOf(der::kSequence, {yes, three})).BasicConstraints,
              (TBASIC_CONSTRAINTS{1, 1, 3}));
    EXPECT_EQ(Decode("2.5.29.19", platform::DerOf(der::kSequence, {yes})).BasicConstraints,
              (TBASIC_CONSTRAINTS{1, 0, 0}));
    EXPECT_EQ(Decode("2.5.29.19", platform::DerOf(der::kSequence, {three})).BasicConstraints,
              (TBASIC_CONSTRAINTS{0, 0, 0}));
}

TEST(Extensions, IssuerToolsTakeTheirItemsInRecordOrder) {
    const auto item = [](std::string_view text) { return platform::Der(0x0C, Ascii(text)); };
    const TCERT_EXTENSION_STR full = Decode(
        "1.2.643.100.112",
        platform::DerOf(der::kSequence,
                        {item("tool"), item("ca tool"), item("tool cert"), item("ca tool cert")}));
    EXPECT_EQ(full.SignToolName, "tool");
    EXPECT_EQ(full.SignToolCertificate, "tool cert");
    EXPECT_EQ(full.CaToolName, "ca tool");
    EXPECT_EQ(full.CaToolCertificate, "ca tool cert");

    const TCERT_EXTENSION_STR two =
        Decode("1.2.643.100.112", platform::DerOf(der::kSequence, {item("tool"), item("ca")}));
    EXPECT_EQ(two.CaToolName, "ca");
    EXPECT_EQ(two.SignToolCertificate, "");
    EXPECT_EQ(two.CaToolCertificate, "");
}

TEST(Extensions, AuthorityKeyIdSerialInTheUsualOrder) {
    // keyIdentifier [0], authorityCertSerialNumber [2] 00 E8 01.
    const Bytes value = platform::DerOf(
        der::kSequence,
        {platform::Der(0x80, Bytes{0xAA, 0xBB}), platform::Der(0x82, Bytes{0x00, 0xE8, 0x01})});
    const TAUTHORITY_KEY_IDENTIFIER id = Decode("2.5.29.35", value).AuthorityKeyId;
    EXPECT_EQ(id.KeyId, "AA BB");
    EXPECT_EQ(id.SerialNumber, "00 E8 01");
    EXPECT_EQ(id.Issuer.Count(), 0u);
}

}  // namespace
}  // namespace velmora
