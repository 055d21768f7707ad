// The low-level readers of the ASN.1 dump and the value text of one element.
#include "encoding/asn1/asn1_tag.h"
#include "encoding/asn1/der_reader.h"
#include "encoding/asn1/der_value.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace velmora {
namespace {

Bytes FromHex(std::string_view hex) {
    Bytes out;
    for (std::size_t i = 0; i + 1 < hex.size(); ++i) {
        if (hex[i] != ' ') {
            out.push_back(
                static_cast<std::uint8_t>(std::stoi(std::string(hex.substr(i, 2)), nullptr, 16)));
            ++i;
        }
    }
    return out;
}

TEST(AsnTagName, NamesByClassAndNumber) {
    const struct {
        std::uint8_t identifier;
        std::string_view name;
    } cases[] = {
        {0x01, "BOOLEAN"},
        {0x02, "INTEGER"},
        {0x03, "BIT_STRING"},
        {0x23, "BIT_STRING"},
        {0x04, "OCTET_STRING"},
        {0x05, "TAG_NULL"},
        {0x06, "OBJECT_IDENTIFIER"},
        {0x0A, "ENUMERATED"},
        {0x0C, "UTF8_STRING"},
        {0x0D, "RELATIVE_OID"},
        {0x30, "SEQUENCE"},
        {0x10, "SEQUENCE"},
        {0x31, "SET"},
        {0x13, "PRINTABLE_STRING"},
        {0x16, "IA5_STRING"},
        {0x17, "UTC_TIME"},
        {0x18, "GENERALIZED_TIME"},
        {0x1C, "UNIVERSAL_STRING"},
        {0x1E, "BMPSTRING"},
        {0x1F, "TAG_MASK"},
        {0x3F, "TAG_MASK"},
        {0x80, "CONTEXT_SPECIFIC"},
        {0xA0, "CONTEXT_SPECIFIC"},
        {0xBF, "CONTEXT_SPECIFIC"},
        {0x00, kUnknownAsnType},
        {0x0B, kUnknownAsnType},
        {0x0E, kUnknownAsnType},
        {0x0F, kUnknownAsnType},
        {0x1D, kUnknownAsnType},
        {0x41, kUnknownAsnType},
        {0x61, kUnknownAsnType},
        {0xC0, kUnknownAsnType},
        {0xFF, kUnknownAsnType},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(AsnTagName(c.identifier), c.name) << int{c.identifier};
    }
}

TEST(ReadDerLength, ShortLongAndIndefiniteForms) {
    // Bytes, first length byte, limit -> success, last length byte, length.
    const struct {
        const char* what;
        std::string_view hex;
        std::size_t pos, limit;
        bool ok;
        std::size_t last, length;
    } cases[] = {
        {"short form", "30 03 02 01 05", 1, 4, true, 1, 3},
        {"short form, content ends at the limit", "30 03 02 01 05", 1, 4, true, 1, 3},
        {"short form past the limit", "30 03 02 01 05", 1, 3, false, 1, 0},
        {"short form past the end", "30 05 02 01 05", 1, 99, false, 1, 0},
        {"long form", "04 81 02 AA BB", 1, 4, true, 2, 2},
        {"long form with leading zeros", "04 83 00 00 01 AA", 1, 5, true, 4, 1},
        {"long form used for a length past the parent", "04 82 00 05 01 02 03 04", 1, 7, false, 1,
         0},
        {"length bytes past the limit", "04 84 00 00 00", 1, 4, false, 1, 0},
        {"length bytes past the end", "02 84 01", 1, 99, false, 1, 0},
        {"31-bit overflow", "04 84 80 00 00 00", 1, 99, false, 1, 0},
        {"64-bit overflow", "04 89 01 00 00 00 00 00 00 00 01", 1, 99, false, 1, 0},
        {"indefinite marker reads as empty", "30 80 02 01 05", 1, 4, true, 1, 0},
        {"indefinite marker at the limit", "30 80", 1, 1, true, 1, 0},
        {"first length byte past the limit", "30 00", 2, 1, false, 2, 0},
        {"first length byte past the end", "02", 1, 5, false, 1, 0},
        {"empty", "", 0, 0, false, 0, 0},
    };
    for (const auto& c : cases) {
        const Bytes bytes = FromHex(c.hex);
        std::size_t pos = c.pos;
        std::size_t length = 0;
        EXPECT_EQ(ReadDerLength(bytes, pos, length, c.limit), c.ok) << c.what;
        EXPECT_EQ(pos, c.last) << c.what;
        EXPECT_EQ(length, c.length) << c.what;
    }
}

TEST(ReadBase128, ReadsOneSubIdentifier) {
    const struct {
        std::string_view hex;
        std::size_t pos;
        std::optional<std::uint64_t> value;
        std::size_t last;
    } cases[] = {
        {"2A 03", 0, 42, 0},
        {"2A 85 03 01", 1, 643, 2},
        {"80 80 01", 0, 1, 2},
        {"81 FF FF FF FF FF FF FF FF 7F", 0, UINT64_MAX, 9},
        {"82 80 80 80 80 80 80 80 80 00", 0, std::nullopt, 9},  // 2^64
        {"55 9D", 1, std::nullopt, 1},                          // cut off by the end
        {"55", 1, std::nullopt, 1},                             // nothing left to read
    };
    for (const auto& c : cases) {
        const Bytes bytes = FromHex(c.hex);
        std::size_t pos = c.pos;
        EXPECT_EQ(ReadBase128(bytes, pos), c.value) << c.hex;
        EXPECT_EQ(pos, c.last) << c.hex;
    }
}

std::string ValueOf(std::string_view hex) {
    const Bytes bytes = FromHex(hex);
    AsnNode node;
    DecodeDerValue(bytes, 0, bytes.size() - 1, node);
    return node.text;
}

TEST(DecodeDerValue, ValueTextsByType) {
    const struct {
        std::string_view hex, text;
    } cases[] = {
        {"02 01 05", "INTEGER: 05 "},
        {"02 02 31 32", "INTEGER: 31 32 (12)"},
        {"02 03 41 20 42", "INTEGER: 41 20 42 "},
        {"05 00", "TAG_NULL: ()"},
        {"02 80", "INTEGER: ()"},
        {"0A 05 2E 2F 3A 5C 7A", "ENUMERATED: 2E 2F 3A 5C 7A (./:\\z)"},
        {"04 06 D0 9A D0 81 D1 91", "OCTET_STRING: D0 9A D0 81 D1 91 (КЁё)"},
        {"04 04 D0 90 D1 8F", "OCTET_STRING: D0 90 D1 8F (Ая)"},
        {"04 02 D1 90", "OCTET_STRING: D1 90 "},  // ѐ is not in the readable set
        {"04 02 D0 41", "OCTET_STRING: D0 41 "},
        {"04 01 D0", "OCTET_STRING: D0 "},
        {"04 01 C0", "OCTET_STRING: C0 "},  // a Windows-1251 byte is not a letter here
        {"01 01 FF", "BOOLEAN: да"},
        {"01 01 00", "BOOLEAN: нет"},
        {"01 02 FF 00", "BOOLEAN: нет"},
        {"01 00", "BOOLEAN: "},
        {"80 02 41 42", "CONTEXT_SPECIFIC: (0)41 42 (AB)"},
        {"9F 00", "CONTEXT_SPECIFIC: (31)()"},
        {"A3 03 02 01 05", "CONTEXT_SPECIFIC: (3)02 01 05 "},
        {"03 02 05 A0", "BIT_STRING: Неиспользуемых бит - 5 : A0"},
        {"03 03 00 0A FF", "BIT_STRING: Неиспользуемых бит - 0 : 0AFF"},
        {"03 01 07", "BIT_STRING: Неиспользуемых бит - 7 : "},
        {"03 00", "BIT_STRING: "},
        {"06 03 55 1D 0F", "OBJECT_IDENTIFIER: 2.5.29.15"},
        {"06 06 2A 85 03 64 71 01", "OBJECT_IDENTIFIER: 1.2.643.100.113.1"},
        {"06 01 27", "OBJECT_IDENTIFIER: 0.39"},
        {"06 01 28", "OBJECT_IDENTIFIER: 1.0"},
        {"06 01 4F", "OBJECT_IDENTIFIER: 1.39"},
        {"06 01 50", "OBJECT_IDENTIFIER: 2.0"},
        {"06 02 88 37", "OBJECT_IDENTIFIER: 2.999"},
        {"06 0B 2A 81 FF FF FF FF FF FF FF FF 7F", "OBJECT_IDENTIFIER: 1.2.18446744073709551615"},
        {"06 0B 2A 82 80 80 80 80 80 80 80 80 00", "OBJECT_IDENTIFIER: 1.2.18446744073709551616"},
        {"06 0A 82 80 80 80 80 80 80 80 80 50", "OBJECT_IDENTIFIER: 2.18446744073709551616"},
        {"06 14 69 83 F0 9D A7 EB CF DE E0 C7 A1 A7 B2 C0 94 8C C8 F9 D7 76",
         "OBJECT_IDENTIFIER: 2.25.329800735698586629295641978511506172918"},
        {"06 02 55 9D", "OBJECT_IDENTIFIER: 2.5.?"},
        {"06 01 9D", "OBJECT_IDENTIFIER: ?"},
        {"06 00", "OBJECT_IDENTIFIER: "},
        {"13 05 41 42 20 43 44", "PRINTABLE_STRING: AB CD"},
        {"16 04 D0 9A D0 A1", "IA5_STRING: КС"},
        {"16 03 41 FF 42", "IA5_STRING: A?B"},
        {"12 03 31 E2 82", "NUMERIC_STRING: 1?"},
        {"16 04 1B 5B 32 4A", "IA5_STRING: ?[2J"},
        {"16 03 41 0A 00", "IA5_STRING: A??"},
        {"0C 05 D0 9A D0 A1 31", "UTF8_STRING: КС1"},
        {"0C 03 C2 9B 41", "UTF8_STRING: ?A"},
        {"1E 06 04 10 00 41 21 16", "BMPSTRING: АA№"},
        {"1E 02 00 0D", "BMPSTRING: ?"},
        {"17 0B 32 34 30 33 31 35 31 34 30 35 5A",
         "UTC_TIME: 2403151405Z(15.03.2024 г. 14:05 по Гринвичу)"},
        {"18 0F 32 30 32 34 30 33 31 35 31 34 30 35 30 39 5A",
         "GENERALIZED_TIME: 20240315140509Z(15.03.2024 г. 14:05:09 по Гринвичу)"},
        {"14 02 41 42", "T61_STRING: 41 42 (AB)"},
        {"1F 81 02 41 42", "TAG_MASK: 41 42 (AB)"},
        {"41 01 2F", "неизвестный тип: 2F (/)"},
        {"30 03 02 01 05", "SEQUENCE: 02 01 05 "},
        {"2C 02 41 42", "UTF8_STRING: AB"},
        // A length that cannot be read: what lies within the limit is shown.
        {"04 05 41 42", "OCTET_STRING: 41 42 (AB)"},
        {"04 84 41", "OCTET_STRING: 41 (A)"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ValueOf(c.hex), c.text) << c.hex;
    }
}

TEST(DecodeDerValue, StaysWithinTheLimitAndTheBytes) {
    const Bytes bytes = FromHex("30 06 04 04 41 42 43 44");
    AsnNode node;
    DecodeDerValue(bytes, 2, 5, node);  // the content claims two bytes past the limit
    EXPECT_EQ(node.text, "OCTET_STRING: 41 42 (AB)");
    DecodeDerValue(bytes, 2, 1000, node);
    EXPECT_EQ(node.text, "OCTET_STRING: 41 42 43 44 (ABCD)");
    DecodeDerValue(bytes, 7, 7, node);
    EXPECT_EQ(node.text, "неизвестный тип: ()");
    DecodeDerValue(bytes, 8, 8, node);
    EXPECT_EQ(node.text, "");
}

TEST(DecodeDerValue, ConvertsLongStringsWhole) {
    // Well past 32 KiB of content: 20,000 BMP characters and 40,000 UTF-8 bytes.
    Bytes bmp = FromHex("1E 82 9C 40");
    Bytes utf8 = FromHex("0C 82 9C 40");
    std::string letters;
    for (int i = 0; i < 20000; ++i) {
        bmp.insert(bmp.end(), {0x04, 0x16});
        utf8.insert(utf8.end(), {0xD0, 0x96});
        letters += "Ж";
    }
    AsnNode node;
    DecodeDerValue(bmp, 0, bmp.size() - 1, node);
    EXPECT_EQ(node.text, "BMPSTRING: " + letters);
    DecodeDerValue(utf8, 0, utf8.size() - 1, node);
    EXPECT_EQ(node.text, "UTF8_STRING: " + letters);
}

}  // namespace
}  // namespace velmora
