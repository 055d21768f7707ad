#include "crypto/platform/asn1/decode_values.h"
#include "crypto/platform/asn1/encode_der.h"
#include "crypto/platform/system/last_error.h"
#include "platform/decode_test_util.h"

#include <gtest/gtest.h>

namespace velmora::platform {
namespace {

using testing::Hex;
using testing::UtcFileTime;

TEST(DecodeValues, IntegersKeepTheirBytesAndRange) {
    EXPECT_EQ(DecodeInteger(Hex("02 01 00")), 0);
    EXPECT_EQ(DecodeInteger(Hex("02 04 00 01 00 02")), 0x00010002);
    EXPECT_EQ(DecodeInteger(Hex("02 02 FF 7F")), -129);
    EXPECT_EQ(DecodeInteger(Hex("02 04 80 00 00 00")), INT32_MIN);
    // A redundant sign byte does not make a small number large.
    EXPECT_EQ(DecodeInteger(Hex("02 05 00 7F FF FF FF")), INT32_MAX);
    EXPECT_FALSE(DecodeInteger(Hex("02 05 00 80 00 00 00")));
    EXPECT_EQ(GetLastError(), error::kAsn1Large);
    EXPECT_EQ(DecodeEnumerated(Hex("0A 01 04")), 4);
    EXPECT_FALSE(DecodeEnumerated(Hex("02 01 04")));
    EXPECT_EQ(GetLastError(), error::kAsn1BadTag);

    // Multi-byte integers: the content least significant first, sign byte kept.
    EXPECT_EQ(DecodeMultiByteInteger(Hex("02 03 00 9C 4E")), Hex("4E 9C 00"));
    EXPECT_EQ(DecodeMultiByteInteger(Hex("02 01 80")), Hex("80"));
}

// Each malformed vector fails with the code the platform gives for it.
TEST(DecodeValues, MalformedInputFailsWithItsCode) {
    struct Case {
        const char* what;
        const char* hex;
        std::uint32_t code;
    };
    const Case cases[] = {
        {"empty input", "", error::kAsn1Eod},
        {"another type", "04 01 00", error::kAsn1BadTag},
        {"byte after the element", "02 01 05 00", error::kAsn1Corrupt},
        {"indefinite length", "02 80 01 00 00", error::kAsn1Corrupt},
        {"empty integer", "02 00", error::kAsn1Corrupt},
        {"header cut off", "02", error::kAsn1Corrupt},
    };
    for (const Case& c : cases) {
        SetLastError(0);
        EXPECT_FALSE(DecodeInteger(Hex(c.hex))) << c.what;
        EXPECT_EQ(GetLastError(), c.code) << c.what;
    }
}

TEST(DecodeValues, BitAndOctetStrings) {
    EXPECT_EQ(DecodeBitString(Hex("03 03 07 F8 80")), (BitString{Hex("F8 80"), 7}));
    EXPECT_EQ(DecodeBitString(Hex("03 01 00")), (BitString{{}, 0}));
    EXPECT_FALSE(DecodeBitString(Hex("03 02 08 FF")));  // more than 7 unused bits
    EXPECT_FALSE(DecodeBitString(Hex("03 01 01")));     // unused bits of nothing
    EXPECT_FALSE(DecodeBitString(Hex("03 00")));        // no unused-bits byte
    EXPECT_EQ(DecodeOctetString(Hex("04 02 5A 0C")), Hex("5A 0C"));
    EXPECT_EQ(DecodeOctetString(Hex("04 00")), Bytes{});
}

TEST(DecodeValues, NameValuesAndSequences) {
    EXPECT_EQ(DecodeNameValue(Hex("0C 02 D0 90")), (NameValue{13, Hex("D0 90")}));
    EXPECT_EQ(DecodeNameValue(Hex("1E 02 04 10")), (NameValue{12, Hex("04 10")}));
    EXPECT_EQ(DecodeNameValue(Hex("13 01 41")), (NameValue{4, Hex("41")}));
    // Not a string: the whole element, as an encoded blob.
    EXPECT_EQ(DecodeNameValue(Hex("02 01 2A")), (NameValue{1, Hex("02 01 2A")}));
    EXPECT_FALSE(DecodeNameValue(Hex("0C 02 D0")));

    const std::optional<std::vector<Bytes>> items =
        DecodeSequenceOfAny(Hex("30 07 0C 01 41 05 00 01 01"));
    ASSERT_FALSE(items);  // the BOOLEAN lacks its content byte
    const auto good = DecodeSequenceOfAny(Hex("30 08 0C 01 41 05 00 01 01 FF"));
    ASSERT_TRUE(good);
    EXPECT_EQ(*good, (std::vector<Bytes>{Hex("0C 01 41"), Hex("05 00"), Hex("01 01 FF")}));
    EXPECT_EQ(DecodeSequenceOfAny(Hex("30 00")), std::vector<Bytes>{});
}

TEST(DecodeValues, ObjectIdentifiersBothWays) {
    const char* oids[] = {
        "1.2.643.7.1.1.1.1",     "2.5.29.17", "0.9.2342.19200300.100.1.25", "2.999.3",
        "1.2.840.113549.1.9.14", "2.5.4.3",   "1.2.18446744073709551615"};
    for (const char* oid : oids) {
        const std::optional<Bytes> content = OidContentOfText(oid);
        ASSERT_TRUE(content) << oid;
        EXPECT_EQ(OidTextOfContent(*content), oid);
    }
    EXPECT_EQ(OidContentOfText("1.2.643.100.3"), Hex("2A 85 03 64 03"));
    EXPECT_EQ(DecodeObjectId(Hex("06 03 55 1D 11")), "2.5.29.17");

    for (const char* bad :
         {"", "1", "3.1", "1.40", "1..2", "1.2.", "a.b", "1.2.18446744073709551616"}) {
        EXPECT_FALSE(OidContentOfText(bad)) << bad;
    }
    EXPECT_FALSE(OidTextOfContent(Hex("")));
    EXPECT_FALSE(OidTextOfContent(Hex("2A 85")));                                // last arc cut off
    EXPECT_FALSE(OidTextOfContent(Hex("2A 80 01")));                             // non-shortest arc
    EXPECT_FALSE(OidTextOfContent(Hex("2A FF FF FF FF FF FF FF FF FF FF 7F")));  // above 64 bits
}

TEST(DecodeValues, TimesAreExactFileTimes) {
    struct Case {
        const char* text;
        bool generalized;
        FileTime expected;
    };
    const FileTime tick = 1;  // 100 ns
    const Case cases[] = {
        {"240315090000Z", false, UtcFileTime(2024, 3, 15, 9, 0, 0)},
        {"491231235959Z", false, UtcFileTime(2049, 12, 31, 23, 59, 59)},
        {"500101000000Z", false, UtcFileTime(1950, 1, 1, 0, 0, 0)},
        {"2403150900Z", false, UtcFileTime(2024, 3, 15, 9, 0, 0)},
        {"240315120000+0300", false, UtcFileTime(2024, 3, 15, 9, 0, 0)},
        {"240315060000-0300", false, UtcFileTime(2024, 3, 15, 9, 0, 0)},
        {"20240229235959Z", true, UtcFileTime(2024, 2, 29, 23, 59, 59)},
        {"20240315090000.5Z", true, UtcFileTime(2024, 3, 15, 9, 0, 0) + 5'000'000 * tick},
        {"20240315090000.1234567Z", true, UtcFileTime(2024, 3, 15, 9, 0, 0) + 1'234'567 * tick},
        {"20240315090000.123456789Z", true, UtcFileTime(2024, 3, 15, 9, 0, 0) + 1'234'567 * tick},
        {"2024031509Z", true, UtcFileTime(2024, 3, 15, 9, 0, 0)},
        {"20240315120000+03", true, UtcFileTime(2024, 3, 15, 9, 0, 0)},
        {"20240315090000", true, UtcFileTime(2024, 3, 15, 9, 0, 0)},
        {"16010101000000Z", true, 0},
        {"99991231235959Z", true, UtcFileTime(9999, 12, 31, 23, 59, 59)},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TimeOfContent(AsBytes(c.text), c.generalized), c.expected) << c.text;
    }
    // Impossible dates and times, missing or extra parts, parts of the other type.
    for (const char* text : {"240230090000Z", "241315090000Z", "240315240000Z", "240315096000Z",
                             "240315090060Z", "240315090000", "24031509000Z", "240315090000.5Z",
                             "240315090000+03", "240315090000Zx", ""}) {
        EXPECT_FALSE(TimeOfContent(AsBytes(text), false)) << text;
    }
    for (const char* text : {"20230229000000Z", "16001231235959Z", "20240315090000.Z",
                             "2024031509000Z", "20240315090000+2400", "2024-03-15"}) {
        EXPECT_FALSE(TimeOfContent(AsBytes(text), true)) << text;
    }
    // A time just before 1601 after its zone offset is no file time either.
    EXPECT_FALSE(TimeOfContent(AsBytes("16010101000000+0100"), true));
}

TEST(DecodeValues, ChoiceOfTimeAndTheGeneralizedTimeWriter) {
    EXPECT_EQ(DecodeChoiceOfTime(Der(0x17, AsBytes("240315090000Z"))),
              UtcFileTime(2024, 3, 15, 9, 0, 0));
    EXPECT_EQ(DecodeChoiceOfTime(Der(0x18, AsBytes("20540101000000Z"))),
              UtcFileTime(2054, 1, 1, 0, 0, 0));
    EXPECT_FALSE(DecodeChoiceOfTime(Der(0x04, AsBytes("240315090000Z"))));
    EXPECT_EQ(GetLastError(), error::kAsn1BadTag);
    EXPECT_FALSE(DecodeChoiceOfTime(Der(0x17, AsBytes("240231090000Z"))));
    EXPECT_EQ(GetLastError(), error::kAsn1Corrupt);

    EXPECT_EQ(GeneralizedTimeDer(UtcFileTime(2025, 3, 14, 9, 0, 0)),
              Der(0x18, AsBytes("20250314090000Z")));
    EXPECT_EQ(GeneralizedTimeDer(UtcFileTime(2024, 2, 29, 23, 59, 59) + 1'230'000),
              Der(0x18, AsBytes("20240229235959.123Z")));
    EXPECT_EQ(GeneralizedTimeDer(0), Der(0x18, AsBytes("16010101000000Z")));
    EXPECT_FALSE(GeneralizedTimeDer(UtcFileTime(9999, 12, 31, 23, 59, 59) + 10'000'000));
    // Whatever the writer gives, the reader reads back to the tick.
    for (FileTime time : {FileTime{1}, UtcFileTime(1900, 2, 28, 0, 0, 0) + 9'999'999,
                          UtcFileTime(2100, 3, 1, 12, 30, 45) + 10}) {
        const std::optional<Bytes> der = GeneralizedTimeDer(time);
        ASSERT_TRUE(der);
        EXPECT_EQ(DecodeChoiceOfTime(*der), time);
    }
}

}  // namespace
}  // namespace velmora::platform
