#include "crypto/platform/certs/name.h"
#include "crypto/platform/asn1/decode_signed_content.h"
#include "crypto/platform/asn1/encode_values.h"
#include "crypto/platform/certs/cert_context.h"
#include "crypto/platform/certs/name_text.h"
#include "crypto/platform/certs/request.h"
#include "crypto/platform/system/last_error.h"
#include "platform/decode_test_util.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace velmora::platform {
namespace {

using namespace std::literals;
using testing::Hex;
using testing::ReadFixture;

std::vector<std::pair<std::string, std::uint32_t>> OidsAndTypes(const NameInfo& name) {
    std::vector<std::pair<std::string, std::uint32_t>> out;
    for (const Rdn& rdn : name.rdns) {
        for (const RdnAttribute& attribute : rdn.attributes) {
            out.emplace_back(attribute.oid, attribute.valueType);
        }
    }
    return out;
}

TEST(Names, CertificateSubjectInEncodedOrderWithValueTypes) {
    const CertContext cert = CreateCertificateContext(ReadFixture("ee-256.cer"));
    ASSERT_TRUE(cert);
    const std::optional<NameInfo> subject = DecodeName(cert->Info().subject);
    ASSERT_TRUE(subject);
    using P = std::pair<std::string, std::uint32_t>;
    const std::vector<P> expected = {
        {"2.5.4.6", rdn_type::kPrintableString},
        {"2.5.4.8", rdn_type::kUtf8String},
        {"2.5.4.7", rdn_type::kUtf8String},
        {"2.5.4.9", rdn_type::kUtf8String},
        {"2.5.4.10", rdn_type::kUtf8String},
        {"2.5.4.11", rdn_type::kUtf8String},
        {"2.5.4.11", rdn_type::kUtf8String},
        {"2.5.4.12", rdn_type::kUtf8String},
        {"2.5.4.3", rdn_type::kUtf8String},
        {"2.5.4.4", rdn_type::kUtf8String},
        {"2.5.4.42", rdn_type::kUtf8String},
        {"1.2.840.113549.1.9.1", rdn_type::kIa5String},
        {"1.2.643.100.3", rdn_type::kNumericString},
        {"1.2.643.3.131.1.1", rdn_type::kNumericString},
        {"1.2.643.100.1", rdn_type::kNumericString},
        {"1.2.840.113549.1.9.2", rdn_type::kUtf8String},
    };
    EXPECT_EQ(OidsAndTypes(*subject), expected);
    EXPECT_EQ(subject->rdns.size(), expected.size());
    EXPECT_EQ(FindRdnAttr(*subject, "2.5.4.5"), nullptr);

    // The simple text: values only, encoded order; values with commas quoted.
    const std::string simple = NameToSimpleStr(cert->Info().subject);
    EXPECT_TRUE(simple.starts_with("RU, 77 г. Москва, Москва, \"ул. Ильинка, д. 4, стр. 1\", "))
        << simple;
    EXPECT_TRUE(
        simple.ends_with(", ivanov@example.ru, 12345678901, 771234567890, 1027700132195, "
                         "1.2.643.3.61.1.1.6.502710.3.4.2.3"))
        << simple;
}

TEST(Names, RequestSubjectHoldsBmpStringsAsBigEndianBytes) {
    const std::optional<SignedContent> signed_request =
        DecodeSignedContent(ReadFixture("req-full.req"));
    ASSERT_TRUE(signed_request);
    const std::optional<RequestInfo> request = DecodeRequestToBeSigned(signed_request->toBeSigned);
    ASSERT_TRUE(request);
    const std::optional<NameInfo> subject = DecodeName(request->subject);
    ASSERT_TRUE(subject);
    ASSERT_FALSE(subject->rdns.empty());
    const RdnAttribute& combined = subject->rdns[0].attributes.at(0);
    EXPECT_EQ(combined.oid, "1.2.372.980001.8.4.1");
    EXPECT_EQ(combined.valueType, rdn_type::kBmpString);
    EXPECT_EQ(
        RdnValueToStr(combined.valueType, combined.value),
        "1.2.643.100.1=1027700132195;1.2.643.100.3=12345678901;1.2.643.3.131.1.1=007710474375");
    const RdnAttribute* common_name = FindRdnAttr(*subject, "2.5.4.3");
    ASSERT_NE(common_name, nullptr);
    EXPECT_EQ(common_name->valueType, rdn_type::kBmpString);
    EXPECT_EQ(Bytes(common_name->value.begin(), common_name->value.begin() + 2),
              Hex("04 18"));  // И
    // The two OUs: FindRdnAttr gives the first in encoded order.
    const RdnAttribute* unit = FindRdnAttr(*subject, "2.5.4.11");
    ASSERT_NE(unit, nullptr);
    EXPECT_EQ(RdnValueToStr(unit->valueType, unit->value), "Отдел режима секретности");
}

TEST(Names, MultiValuedRdnKeepsEveryAttributeInOrder) {
    const CertContext cert = CreateCertificateContext(ReadFixture("ee-oddext.cer"));
    ASSERT_TRUE(cert);
    const std::optional<NameInfo> subject = DecodeName(cert->Info().subject);
    ASSERT_TRUE(subject);
    const auto multi = std::find_if(subject->rdns.begin(), subject->rdns.end(),
                                    [](const Rdn& rdn) { return rdn.attributes.size() > 1; });
    ASSERT_NE(multi, subject->rdns.end());
    ASSERT_EQ(multi->attributes.size(), 2u);
    EXPECT_EQ(multi->attributes[0].oid, "2.5.4.4");
    EXPECT_EQ(multi->attributes[1].oid, "2.5.4.3");
    const std::string simple = NameToSimpleStr(cert->Info().subject);
    EXPECT_NE(simple.find("Кузнецова + Кузнецова Мария Олеговна"), std::string::npos) << simple;
    // The common name is found although it is the second attribute of its RDN.
    const RdnAttribute* common_name = FindRdnAttr(*subject, "2.5.4.3");
    ASSERT_NE(common_name, nullptr);
    EXPECT_EQ(RdnValueToStr(common_name->valueType, common_name->value),
              "Кузнецова Мария Олеговна");
}

TEST(Names, ValueTextsOfEveryStringType) {
    struct Case {
        std::uint32_t type;
        const char* hex;
        const char* text;
    };
    const Case cases[] = {
        {rdn_type::kUtf8String, "41 00 42 D0", "AB?"},          // NUL vanishes, cut-off character
        {rdn_type::kBmpString, "03 A9 00 00 00 41 00", "ΩA?"},  // outside Windows-1251 kept
        {rdn_type::kUniversalString, "00 00 04 18 00 01 F6 00 00 11 00 00 00 00", "И😀??"},
        {rdn_type::kPrintableString, "52 55", "RU"},
        {rdn_type::kIa5String, "61 40 62 2E 72 75", "a@b.ru"},
        // Single-byte types: UTF-8 when well-formed, otherwise Windows-1251.
        {rdn_type::kTeletexString, "D0 98 D0 B2", "Ив"},
        {rdn_type::kTeletexString, "C8 E2 E0 ED", "Иван"},
        {rdn_type::kIa5String, "C8 00 E2", "Ив"},
        {rdn_type::kOctetString, "01 AB", "#01AB"},
        {rdn_type::kEncodedBlob, "02 01 2A", "#02012A"},
        {rdn_type::kAny, "41", ""},
        {99, "41", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(RdnValueToStr(c.type, Hex(c.hex)), c.text) << c.type << " " << c.hex;
    }
    EXPECT_EQ(RdnValueTextOfEncoded(Hex("1E 04 04 18 04 32")), "Ив");
    EXPECT_EQ(RdnValueTextOfEncoded(Hex("02 01 2A")), "#02012A");
    EXPECT_EQ(RdnValueTextOfEncoded(Hex("0C 04 D0 98 D0")), "");
    EXPECT_EQ(GetLastError(), error::kAsn1Corrupt);
    EXPECT_EQ(RdnValueTextOfEncoded(Hex("0C 02 D0 98 00")), "");  // trailing byte
}

NameInfo Name(std::initializer_list<std::vector<RdnAttribute>> rdns) {
    NameInfo name;
    for (const auto& attributes : rdns) {
        name.rdns.push_back(Rdn{attributes});
    }
    return name;
}

RdnAttribute Utf8(const char* oid, std::string_view text) {
    return RdnAttribute{oid, rdn_type::kUtf8String, Bytes(text.begin(), text.end())};
}

TEST(Names, SimpleNameQuotesValuesThatNeedIt) {
    const NameInfo name = Name({
        {Utf8("2.5.4.6", "RU")},
        {Utf8("2.5.4.10", "ООО \"Ромашка\"")},
        {Utf8("2.5.4.3", " padded")},
        {Utf8("2.5.4.4", "a+b"), Utf8("2.5.4.42", "")},
        {Utf8("2.5.4.11", "x=y;z")},
    });
    const std::optional<Bytes> der = EncodeName(name);
    ASSERT_TRUE(der);
    EXPECT_EQ(NameToSimpleStr(*der),
              "RU, \"ООО \"\"Ромашка\"\"\", \" padded\", \"a+b\" + \"\", \"x=y;z\"");
    EXPECT_EQ(NameToSimpleStr(Hex("30 00")), "");
    EXPECT_EQ(NameToSimpleStr(Hex("30 02 31 00")), "");
    EXPECT_EQ(GetLastError(), error::kAsn1Corrupt);
}

TEST(Names, MalformedNamesAreRefused) {
    struct Case {
        const char* what;
        const char* hex;
    };
    const Case cases[] = {
        {"RDN is a SEQUENCE, not a SET", "30 0B 30 09 30 07 06 03 55 04 03 0C 00"},
        {"empty RDN", "30 02 31 00"},
        {"attribute without a value", "30 07 31 05 30 03 06 01 55"},
        {"attribute with two values", "30 0D 31 0B 30 09 06 03 55 04 03 0C 00 0C 00"},
        {"type is not an OID", "30 09 31 07 30 05 02 01 01 0C 00"},
        {"value runs past the attribute", "30 0B 31 09 30 07 06 03 55 04 03 0C 05"},
        {"trailing byte after the name", "30 00 00"},
        {"not a SEQUENCE", "31 00"},
    };
    for (const Case& c : cases) {
        EXPECT_FALSE(DecodeName(Hex(c.hex))) << c.what;
    }
    const std::optional<NameInfo> empty = DecodeName(Hex("30 00"));
    ASSERT_TRUE(empty);
    EXPECT_TRUE(empty->rdns.empty());
}

TEST(Names, EncodingRoundTripsAndChecksStringTypes) {
    // The fixtures' names, decoded and encoded again, give their own bytes.
    for (const char* file : {"ee-256.cer", "ee-oddext.cer", "ee-512.cer", "ca.cer"}) {
        const CertContext cert = CreateCertificateContext(ReadFixture(file));
        ASSERT_TRUE(cert) << file;
        for (const Bytes* der : {&cert->Info().subject, &cert->Info().issuer}) {
            const std::optional<NameInfo> name = DecodeName(*der);
            ASSERT_TRUE(name) << file;
            EXPECT_EQ(EncodeName(*name), *der) << file;
        }
    }
    struct Case {
        std::uint32_t type;
        std::string_view value;
        std::uint32_t code;  // 0: accepted
    };
    const Case cases[] = {
        {rdn_type::kPrintableString, "Test LLC (1) +-./:=?'", 0},
        {rdn_type::kPrintableString, "user@example.ru", error::kInvalidPrintableString},
        {rdn_type::kPrintableString, "\xC8\xE2", error::kInvalidPrintableString},
        {rdn_type::kNumericString, "123 456", 0},
        {rdn_type::kNumericString, "12a", error::kInvalidNumericString},
        {rdn_type::kIa5String, "a@b_c", 0},
        {rdn_type::kIa5String, "\xC8", error::kInvalidIa5String},
        {rdn_type::kUtf8String, "\xD0", error::kBadEncode},
        {rdn_type::kBmpString, "\x04", error::kBadEncode},
        {rdn_type::kAny, "x", error::kNotCharString},
        {rdn_type::kEncodedBlob, "\x05\x00"sv, 0},
        {rdn_type::kEncodedBlob, "\x05\x00\x00"sv, error::kInvalidParameter},
    };
    for (const Case& c : cases) {
        SetLastError(0);
        const std::optional<Bytes> der = EncodeNameValue(c.type, AsBytes(c.value));
        EXPECT_EQ(der.has_value(), c.code == 0) << c.value;
        EXPECT_EQ(GetLastError(), c.code) << c.value;
    }
    EXPECT_EQ(EncodeNameValue(rdn_type::kBmpString, Hex("04 18")), Hex("1E 02 04 18"));
    NameInfo bad_oid = Name({{RdnAttribute{"2.5.4", rdn_type::kUtf8String, {}}}});
    bad_oid.rdns[0].attributes[0].oid = "x";
    EXPECT_FALSE(EncodeName(bad_oid));
    EXPECT_EQ(GetLastError(), error::kInvalidParameter);
}

}  // namespace
}  // namespace velmora::platform
