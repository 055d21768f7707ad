// Extension decoding where the fixtures' golden reports do not reach: OIDs
// that only look like a decoded kind, values that do not decode, and the
// corner cases of each kind.

#include "crypto/platform/asn1/der_reader.h"
#include "crypto/platform/asn1/encode_der.h"
#include "crypto/platform/asn1/encode_values.h"
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

TEST(Extensions, NearMissesOfDecodedOidsAreUnknown) {
    for (const char* oid : {"2.5.29.18", "2.5.29.1", "2.5.29.150", "1.2.643.100.11",
                            "1.2.643.100.1111", "1.3.6.1.4.1.311.21.10", ""}) {
        EXPECT_EQ(ExtensionKindOf(oid), ExtensionKind::kUnknown) << oid;
    }
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
        {{0x03, 0x02, 0x01, 0x0E},
         "Согласование ключей, Подпись ключа сертификата, Подписание списков отзыва(0E)"},
        {{0x03, 0x02, 0x00, 0x01}, "(01)"},  // encipher only is not read
        {{0x03, 0x01, 0x00}, "()"},
        {{0x04, 0x00}, "()"},  // not a bit string
    };
    for (const auto& [value, text] : cases) {
        EXPECT_EQ(KeyUsageText(Decode("2.5.29.15", value).KeyUsage), text);
    }

    // The name table ignores case, but the second byte needs the name as written.
    int byte = 0;
    EXPECT_EQ(KeyUsageBit("cert_crl_sign_key_usage", KeyUsageNameKind::kConstant, byte), 0x02);
    EXPECT_EQ(byte, 1);
    EXPECT_EQ(KeyUsageBit("Только расшифровка", KeyUsageNameKind::kRussian, byte), 0x80);
    EXPECT_EQ(byte, 2);
    EXPECT_EQ(KeyUsageBit("ТОЛЬКО РАСШИФРОВКА", KeyUsageNameKind::kRussian, byte), 0x80);
    EXPECT_EQ(byte, 1);
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
    other("2.5.4.12", platform::Der(0x13, AsBytes("0315")));
    other("1.2.3.4.99", platform::Der(0x1E, Bytes{0x04, 0x18, 0x04, 0x32}));  // "Ив", UTF-16
    other("1.3.6.1.5.5.7.3.2", platform::Der(0x0C, AsBytes("x")));
    add(platform::alt_name::kUrl).text = "http://example.ru/" + std::string(300, 'x');
    add(platform::alt_name::kIpAddress).ipAddress = {192, 168, 0, 1};
    add(platform::alt_name::kIpAddress).ipAddress = {0x20, 0x01, 0x0D, 0xB8, 0, 0, 0,    0,
                                                     0,    0,    0,    0,    0, 0, 0x10, 0xFF};
    add(platform::alt_name::kX400Address).raw = Bytes{0xA3, 0x00};

    const TALTERNATE_NAMES names = DecodeAltNameInfo(info);
    ASSERT_EQ(names.Count(), 7u);
    EXPECT_EQ(names.Items[0].OtherNameLabel, "Идентификатор ключей при смене");
    EXPECT_EQ(names.Items[0].OtherNameValue, "0315");
    EXPECT_EQ(names.Items[1].OtherNameLabel, "Неизвестный OID");
    EXPECT_EQ(names.Items[1].OtherNameValue, "Ив");
    EXPECT_EQ(names.Items[2].OtherNameLabel, OidFriendlyName("1.3.6.1.5.5.7.3.2"));
    EXPECT_NE(names.Items[2].OtherNameLabel, "Неизвестный OID");
    EXPECT_EQ(names.Items[3].Url.size(), 255u);
    EXPECT_EQ(names.Items[4].IpAddress, "192.168.0.1");
    EXPECT_EQ(names.Items[5].IpAddress, "32.1.13.184.0.0.0.0.0.0.0.0.0.0.16.255");
    TALTERNATE_NAME x400;
    x400.Choice = AltNameChoice::kX400Address;
    EXPECT_EQ(names.Items[6], x400);
}

TEST(Extensions, CaVersionHalvesAndValuesOfTheWrongType) {
    const std::pair<Bytes, std::string> cases[] = {
        {{0x02, 0x03, 0x01, 0x00, 0x02}, "V2.1"},
        {{0x02, 0x03, 0x7F, 0xFF, 0xFF}, "V65535.127"},
        {{0x04, 0x00}, ""},
    };
    for (const auto& [value, text] : cases) {
        EXPECT_EQ(Decode("1.3.6.1.4.1.311.21.1", value).CaVersionText, text);
    }
    const Bytes yes{0x01, 0x01, 0xFF};
    const Bytes three{0x02, 0x01, 0x03};
    const auto constraints = [](std::initializer_list<ByteView> items) {
        return Decode("2.5.29.19", platform::DerOf(der::kSequence, items)).BasicConstraints;
    };
    // The path length counts only for a CA.
    EXPECT_EQ(constraints({yes, three}), (TBASIC_CONSTRAINTS{1, 1, 3}));
    EXPECT_EQ(constraints({three}), (TBASIC_CONSTRAINTS{0, 0, 0}));

    const auto item = [](std::string_view text) { return platform::Der(0x0C, AsBytes(text)); };
    const TCERT_EXTENSION_STR tools =
        Decode("1.2.643.100.112", platform::DerOf(der::kSequence, {item("tool"), item("ca")}));
    EXPECT_EQ(tools.SignToolName, "tool");
    EXPECT_EQ(tools.CaToolName, "ca");
    EXPECT_EQ(tools.SignToolCertificate, "");
    EXPECT_EQ(tools.CaToolCertificate, "");
}

TEST(Extensions, UsagePeriodLeavesAMissingTimeEmpty) {
    testing::UseMoscowTime();
    const Bytes from = platform::Der(0x80, AsBytes("20240315090000Z"));
    const Bytes to = platform::Der(0x81, AsBytes("20250315090000Z"));
    const auto period = [](std::initializer_list<ByteView> times) {
        return Decode("2.5.29.16", platform::DerOf(der::kSequence, times)).UsagePeriod;
    };
    EXPECT_EQ(period({from, to}), (TUSAGE_PERIOD{"15.03.2024 12:00:00", "15.03.2025 12:00:00"}));
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

}  // namespace
}  // namespace velmora
