// The ASN.1 dump: its readers, the value text of one element, element trees,
// fallbacks for what is not DER, limits, and a real GOST certificate cut short
// and damaged at every position.
#include "encoding/asn1/asn1_dump.h"
#include "encoding/asn1/asn1_tag.h"
#include "encoding/asn1/der_parse.h"
#include "encoding/asn1/der_reader.h"
#include "encoding/asn1/der_value.h"
#include "encoding/utf8.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

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

// The dump without its heading, lines joined by "|" (checks the heading).
std::string Dump(ByteView value, const OidLabeller& labeller = DefaultOidLabeller) {
    const std::vector<std::string> lines = DumpAsn1(value, labeller);
    EXPECT_FALSE(lines.empty());
    EXPECT_EQ(lines.front(), "Декодирование ASN1:");
    std::string joined;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        joined += (i > 1 ? "|" : "") + lines[i];
    }
    return joined;
}

// A TLV with a DER length of the shortest form.
Bytes Tlv(std::uint8_t identifier, const Bytes& content) {
    Bytes out{identifier};
    const std::size_t size = content.size();
    if (size < 0x80) {
        out.push_back(static_cast<std::uint8_t>(size));
    } else if (size <= 0xFF) {
        out.insert(out.end(), {0x81, static_cast<std::uint8_t>(size)});
    } else if (size <= 0xFFFF) {
        out.insert(out.end(),
                   {0x82, static_cast<std::uint8_t>(size >> 8), static_cast<std::uint8_t>(size)});
    } else {
        out.insert(out.end(),
                   {0x83, static_cast<std::uint8_t>(size >> 16),
                    static_cast<std::uint8_t>(size >> 8), static_cast<std::uint8_t>(size)});
    }
    out.insert(out.end(), content.begin(), content.end());
    return out;
}

std::string HexLine(ByteView bytes) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    for (const std::uint8_t byte : bytes) {
        text += {kDigits[byte >> 4], kDigits[byte & 0x0F], ' '};
    }
    return text;
}

// What must hold of every table, whatever the input: the first violation,
// or an empty text.
std::string TableFault(ByteView der, const AsnNodeTable& table) {
    if (table.size() > kAsnNodeLimit) {
        return "too many nodes";
    }
    for (std::size_t i = 0; i < table.size(); ++i) {
        const AsnNode& node = table[i];
        if (i > 0 ? node.parent >= i : node.parent != 0) {
            return "node " + std::to_string(i) + " after its parent";
        }
        const AsnNode& parent = table[node.parent];
        const bool sound =
            node.start < node.end && node.end < der.size() && IsValidUtf8(node.text) &&
            (i == 0 ? node.start == 0 && node.indent == 0
                    : node.start > table[i - 1].start && node.start > parent.start &&
                          node.end <= parent.end && node.indent == parent.indent + 3);
        if (!sound) {
            return "node " + std::to_string(i);
        }
    }
    return {};
}

TEST(AsnTagName, NamesByClassAndNumber) {
    // The constructed bit does not change the name; the class does.
    const struct {
        std::uint8_t identifier;
        std::string_view name;
    } cases[] = {{0x03, "BIT_STRING"},       {0x23, "BIT_STRING"},    {0x10, "SEQUENCE"},
                 {0x30, "SEQUENCE"},         {0x05, "TAG_NULL"},      {0x1E, "BMPSTRING"},
                 {0x1F, "TAG_MASK"},         {0x3F, "TAG_MASK"},      {0x80, "CONTEXT_SPECIFIC"},
                 {0xBF, "CONTEXT_SPECIFIC"}, {0x00, kUnknownAsnType}, {0x0B, kUnknownAsnType},
                 {0x1D, kUnknownAsnType},    {0x41, kUnknownAsnType}, {0xC0, kUnknownAsnType}};
    for (const auto& c : cases) {
        EXPECT_EQ(AsnTagName(c.identifier), c.name) << int{c.identifier};
    }
}

TEST(ReadDerLength, ShortLongAndIndefiniteForms) {
    // Bytes, first length byte, limit -> success, last length byte, length.
    // Lengths past the parent or overflowing show in the dump tests below.
    const struct {
        const char* what;
        std::string_view hex;
        std::size_t pos, limit;
        bool ok;
        std::size_t last, length;
    } cases[] = {
        {"short form, content ends at the limit", "30 03 02 01 05", 1, 4, true, 1, 3},
        {"short form past the end", "30 05 02 01 05", 1, 99, false, 1, 0},
        {"long form", "04 81 02 AA BB", 1, 4, true, 2, 2},
        {"long form with leading zeros", "04 83 00 00 01 AA", 1, 5, true, 4, 1},
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
        // Hex, with the content in brackets when every character is readable.
        {"02 02 31 32", "INTEGER: 31 32 (12)"},
        {"02 03 41 20 42", "INTEGER: 41 20 42 "},
        {"0A 05 2E 2F 3A 5C 7A", "ENUMERATED: 2E 2F 3A 5C 7A (./:\\z)"},
        {"04 08 D0 90 D1 8F D0 81 D1 91", "OCTET_STRING: D0 90 D1 8F D0 81 D1 91 (АяЁё)"},
        {"04 02 D1 90", "OCTET_STRING: D1 90 "},  // ѐ is not in the readable set
        {"04 02 D0 41", "OCTET_STRING: D0 41 "},
        {"04 01 D0", "OCTET_STRING: D0 "},
        {"04 01 C0", "OCTET_STRING: C0 "},  // a Windows-1251 byte is not a letter here
        {"01 01 FF", "BOOLEAN: да"},
        {"01 02 FF 00", "BOOLEAN: нет"},
        {"01 00", "BOOLEAN: "},
        {"9F 00", "CONTEXT_SPECIFIC: (31)()"},
        {"A3 03 02 01 05", "CONTEXT_SPECIFIC: (3)02 01 05 "},
        {"03 02 05 A0", "BIT_STRING: Неиспользуемых бит - 5 : A0"},
        {"03 03 00 0A FF", "BIT_STRING: Неиспользуемых бит - 0 : 0AFF"},
        {"03 01 07", "BIT_STRING: Неиспользуемых бит - 7 : "},
        {"03 00", "BIT_STRING: "},
        // The first two arcs share one sub-identifier; arcs past 64 bits are
        // written in full.
        {"06 01 27", "OBJECT_IDENTIFIER: 0.39"},
        {"06 01 28", "OBJECT_IDENTIFIER: 1.0"},
        {"06 01 50", "OBJECT_IDENTIFIER: 2.0"},
        {"06 02 88 37", "OBJECT_IDENTIFIER: 2.999"},
        {"06 0B 2A 81 FF FF FF FF FF FF FF FF 7F", "OBJECT_IDENTIFIER: 1.2.18446744073709551615"},
        {"06 0A 82 80 80 80 80 80 80 80 80 50", "OBJECT_IDENTIFIER: 2.18446744073709551616"},
        {"06 14 69 83 F0 9D A7 EB CF DE E0 C7 A1 A7 B2 C0 94 8C C8 F9 D7 76",
         "OBJECT_IDENTIFIER: 2.25.329800735698586629295641978511506172918"},
        {"06 02 55 9D", "OBJECT_IDENTIFIER: 2.5.?"},
        {"06 01 9D", "OBJECT_IDENTIFIER: ?"},
        {"06 00", "OBJECT_IDENTIFIER: "},
        // Strings: damaged characters and control characters become "?".
        {"16 04 D0 9A D0 A1", "IA5_STRING: КС"},
        {"16 03 41 FF 42", "IA5_STRING: A?B"},
        {"12 03 31 E2 82", "NUMERIC_STRING: 1?"},
        {"16 04 1B 5B 32 4A", "IA5_STRING: ?[2J"},
        {"16 03 41 0A 00", "IA5_STRING: A??"},
        {"0C 03 C2 9B 41", "UTF8_STRING: ?A"},
        {"1E 06 04 10 00 41 21 16", "BMPSTRING: АA№"},
        {"1E 02 00 0D", "BMPSTRING: ?"},
        {"17 0B 32 34 30 33 31 35 31 34 30 35 5A",
         "UTC_TIME: 2403151405Z(15.03.2024 г. 14:05 по Гринвичу)"},
        {"18 0F 32 30 32 34 30 33 31 35 31 34 30 35 30 39 5A",
         "GENERALIZED_TIME: 20240315140509Z(15.03.2024 г. 14:05:09 по Гринвичу)"},
        {"14 02 41 42", "T61_STRING: 41 42 (AB)"},
        {"41 01 2F", "неизвестный тип: 2F (/)"},
        {"30 03 02 01 05", "SEQUENCE: 02 01 05 "},
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

TEST(DumpAsn1, ElementTrees) {
    const struct {
        const char* what;
        std::string_view hex, lines;
    } cases[] = {
        {"sequence, object identifier, UTF-8 string", "30 0C 06 03 2A 03 04 0C 05 D0 9A D0 A1 31",
         "SEQUENCE|   OBJECT_IDENTIFIER: 1.2.3.4|   UTF8_STRING: КС1"},
        {"octet string holding DER", "04 05 30 03 02 01 07",
         "OCTET_STRING|   SEQUENCE|      INTEGER: 07 "},
        {"octet string not holding DER", "04 03 00 11 22", "OCTET_STRING: 00 11 22 "},
        {"octet string content that looks like an element", "04 04 01 02 03 04",
         "OCTET_STRING|   BOOLEAN: да"},
        {"empty containers", "30 04 04 00 31 00", "SEQUENCE|   OCTET_STRING|   SET"},
        {"constructed context-specific", "A3 05 30 03 01 01 00",
         "CONTEXT_SPECIFIC|   SEQUENCE|      BOOLEAN: нет"},
        {"siblings after a subtree", "30 0A 30 03 02 01 01 30 03 02 01 02",
         "SEQUENCE|   SEQUENCE|      INTEGER: 01 |   SEQUENCE|      INTEGER: 02 "},
        {"primitive with the indefinite marker", "30 04 02 80 05 00",
         "SEQUENCE|   INTEGER: ()|   TAG_NULL: ()"},
        {"constructed with the indefinite marker", "30 05 30 80 02 01 05",
         "SEQUENCE|   SEQUENCE|   INTEGER: 05 "},
        {"outermost constructed with the indefinite marker", "30 80 02 01 05", "SEQUENCE"},
        {"bytes after the first element", "02 01 05 FF FF", "INTEGER: 05 "},
        {"bytes after the first container", "30 03 02 01 05 41 42", "SEQUENCE|   INTEGER: 05 "},
        {"high tag number form", "30 05 1F 81 02 41 42", "SEQUENCE|   TAG_MASK: 41 42 (AB)"},
        {"printable string with a space", "13 05 41 42 20 43 44", "PRINTABLE_STRING: AB CD"},
        {"constructed object identifier", "26 03 06 01 00",
         "OBJECT_IDENTIFIER|   OBJECT_IDENTIFIER: 0.0"},
        {"empty value", "", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Dump(FromHex(c.hex)), c.lines) << c.what;
    }
}

TEST(DumpAsn1, WhatIsNotDerShowsAsHex) {
    const struct {
        const char* what;
        std::string_view hex, lines;
    } cases[] = {
        {"long form used for a length past the parent", "30 05 04 83 00 00 10",
         "SEQUENCE: 04 83 00 00 10 "},
        {"length bytes past the parent", "30 03 02 84 01", "SEQUENCE: 02 84 01 "},
        {"31-bit overflow", "30 06 04 84 80 00 00 00", "SEQUENCE: 04 84 80 00 00 00 "},
        {"short length past the parent", "30 03 02 05 01", "SEQUENCE: 02 05 01 "},
        {"unknown universal type", "30 02 00 00", "SEQUENCE: 00 00 "},
        {"application class", "30 03 41 01 00", "SEQUENCE: 41 01 00 "},
        {"private class", "30 02 C1 00", "SEQUENCE: C1 00 "},
        {"end-of-contents octets", "30 07 30 80 02 01 05 00 00", "SEQUENCE: 30 80 02 01 05 00 00 "},
        {"one stray byte at the end of the content", "30 04 02 01 05 00", "SEQUENCE: 02 01 05 00 "},
        {"stray byte ending two containers", "30 06 30 04 02 01 05 00",
         "SEQUENCE|   SEQUENCE: 02 01 05 00 "},
        {"one byte of content", "30 01 05", "SEQUENCE: 05 "},
        {"readable content", "04 02 41 42", "OCTET_STRING: 41 42 (AB)"},
        {"the fallback drops what was read inside, the dump goes on after it",
         "30 0E 04 07 30 03 02 01 05 FF 00 30 03 02 01 07",
         "SEQUENCE|   OCTET_STRING: 30 03 02 01 05 FF 00 |   SEQUENCE|      INTEGER: 07 "},
        {"nested fallback", "30 09 31 07 A0 05 30 03 05 02 00",
         "SEQUENCE|   SET|      CONTEXT_SPECIFIC|         SEQUENCE: 05 02 00 "},
        {"constructed string falls back to its value", "2C 02 41 42", "UTF8_STRING: AB"},
        // The first element has nothing around it: the whole value as hex.
        {"first element past the end", "30 05 02 01", "30 05 02 01 "},
        {"first length bytes past the end", "02 84 01", "02 84 01 "},
        {"first element of an unknown type", "41 42", "41 42 (AB)"},
        {"identifier alone", "30", "30 (0)"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Dump(FromHex(c.hex)), c.lines) << c.what;
    }
}

TEST(DumpAsn1, ObjectIdentifiersGoThroughTheLabeller) {
    std::vector<std::string> asked;
    const OidLabeller labeller = [&asked](const std::string& oid) {
        asked.push_back(oid);
        return "Метка(" + oid + ")";
    };
    EXPECT_EQ(Dump(FromHex("30 0A 26 03 06 01 00 06 03 55 1D 0F"), labeller),
              "SEQUENCE|   OBJECT_IDENTIFIER|      OBJECT_IDENTIFIER: Метка(0.0)|"
              "   OBJECT_IDENTIFIER: Метка(2.5.29.15)");
    EXPECT_EQ(asked, (std::vector<std::string>{"0.0", "2.5.29.15"}));
    EXPECT_EQ(Dump(FromHex("06 03 55 1D 0F"), OidLabeller()), "OBJECT_IDENTIFIER: 2.5.29.15");
}

TEST(DumpAsn1, IndentsWithoutLimitAndStopsAtTheNodeLimit) {
    Bytes value = FromHex("05 00");
    for (int level = 0; level < 400; ++level) {
        value = Tlv(0x30, value);
    }
    std::vector<std::string> lines = DumpAsn1(value);
    ASSERT_EQ(lines.size(), 402u);
    EXPECT_EQ(lines[400], std::string(3 * 399, ' ') + "SEQUENCE");
    EXPECT_EQ(lines[401], std::string(3 * 400, ' ') + "TAG_NULL: ()");

    for (int level = 400; level < 1500; ++level) {
        value = Tlv(0x30, value);
    }
    const AsnNodeTable table = ParseDer(value);
    EXPECT_EQ(TableFault(value, table), "");
    ASSERT_EQ(table.size(), kAsnNodeLimit);
    EXPECT_EQ(table.back().indent, 3000u);

    // Siblings count the same; what lies past the limit is never read.
    Bytes nulls;
    for (int i = 0; i < 1500; ++i) {
        nulls.insert(nulls.end(), {0x05, 0x00});
    }
    nulls.insert(nulls.end(), {0xFF, 0xFF});
    lines = DumpAsn1(Tlv(0x30, nulls));
    ASSERT_EQ(lines.size(), 1 + kAsnNodeLimit);
    EXPECT_EQ(lines.back(), "   TAG_NULL: ()");
}

TEST(DumpAsn1, FallbacksCascadeToTheOutermostContainer) {
    // A large OCTET STRING nested in containers that each end with a stray
    // byte: every level falls back in turn, and the outermost shows it all.
    Bytes value = Tlv(0x04, Bytes(1 << 16, 0xFF));
    for (int level = 0; level < 900; ++level) {
        value.push_back(0x00);
        value = Tlv(0x30, value);
    }
    const std::vector<std::string> lines = DumpAsn1(value);
    ASSERT_EQ(lines.size(), 2u);
    const ByteView content = ByteView(value).subspan(5);  // after 30 83 xx xx xx
    EXPECT_EQ(lines[1], "SEQUENCE: " + HexLine(content));
}

// A GOST R 34.10-2012 certificate made by openssl with the gost engine.
const Bytes kCertificate = FromHex(
    "3082023b308201e6a00302010202146dbad6422af807062d0db96d3490304f37e2393a300c06082a850307010103"
    "020500303f3117301506035504030c0ed0a2d0b5d181d18220d09ad0a13131173015060355040a0c0ed092d0b5d0"
    "bbd0bcd0bed180d0b0310b3009060355040613025255301e170d3236313230363039313734375a170d3237313230"
    "363039313734375a303f3117301506035504030c0ed0a2d0b5d181d18220d09ad0a13131173015060355040a0c0e"
    "d092d0b5d0bbd0bcd0bed180d0b0310b30090603550406130252553066301f06082a85030701010101301306072a"
    "85030202230106082a850307010102020343000440977efc0b121614c417b6c9df3ee4f2c48b4d865a38b7813fa1"
    "5cf7c4a6bd5e30b60b047d84ef978d0d484b801cf710ca7de10e6d34aa591f4b1efb817498d90aa381b03081ad30"
    "1d0603551d0e04160414dbeee90ca0a8813c36b720a9adace6090b346f91301f0603551d23041830168014dbeee9"
    "0ca0a8813c36b720a9adace6090b346f91300e0603551d0f0101ff0404030206c0301c0603551d25041530130608"
    "2b0601050507030206072a85030202220630130603551d20040c300a300806062a8503647101301a0603551d1104"
    "133011810f74657374406578616d706c652e7275300c0603551d130101ff04023000300c06082a85030701010302"
    "050003410074165fb4c7be5d86c888141c1637436c23a9e7e25ac3f018c2e9a51d7c7732dbf91509abd7be883229"
    "e3442b8d788932fc48fcf8c8bf886b65b183e41e8380ba");

TEST(DumpAsn1, CertificateWholeCutShortAndDamagedAtEveryPosition) {
    // Whole: a line per element, and these among them in this order.
    const std::vector<std::string> lines = DumpAsn1(kCertificate);
    ASSERT_EQ(lines.size(), 87u);
    const std::vector<std::string> some = {
        "SEQUENCE",
        "      INTEGER: 6D BA D6 42 2A F8 07 06 2D 0D B9 6D 34 90 30 4F 37 E2 39 3A ",
        "         OBJECT_IDENTIFIER: 1.2.643.7.1.1.3.2",
        "               UTF8_STRING: Тест КС1",
        "         UTC_TIME: 261206091747Z(06.12.2026 г. 09:17:47 по Гринвичу)",
        "                  OCTET_STRING: DB EE E9 0C A0 A8 81 3C 36 B7 20 A9 AD AC E6 09 0B 34 6F "
        "91 ",
        "                  BIT_STRING: Неиспользуемых бит - 6 : C0",
        "                     CONTEXT_SPECIFIC: (1)74 65 73 74 40 65 78 61 6D 70 6C 65 2E 72 75 ",
        "   BIT_STRING: Неиспользуемых бит - 0 : 74165FB4C7BE5D86C888141C1637436C23A9E7E25AC3F0"
        "18C2E9A51D7C7732DBF91509ABD7BE883229E3442B8D788932FC48FCF8C8BF886B65B183E41E8380BA"};
    auto at = lines.begin();
    for (const std::string& line : some) {
        at = std::find(at, lines.end(), line);
        ASSERT_NE(at, lines.end()) << line;
    }

    for (std::size_t size = 2; size < kCertificate.size(); ++size) {
        const ByteView prefix(kCertificate.data(), size);
        // Alone, the first element runs past the end; inside an OCTET STRING
        // of the right size, the OCTET STRING holds something that is not DER.
        ASSERT_EQ(Dump(prefix), HexLine(prefix)) << size;
        ASSERT_EQ(Dump(Tlv(0x04, Bytes(prefix.begin(), prefix.end()))),
                  "OCTET_STRING: " + HexLine(prefix))
            << size;
    }
    for (std::size_t i = 0; i < kCertificate.size(); ++i) {
        for (const std::uint8_t replacement : {0x00, 0x30, 0x80, 0x84, 0xFF}) {
            Bytes damaged = kCertificate;
            damaged[i] = replacement;
            ASSERT_EQ(TableFault(damaged, ParseDer(damaged)), "") << i;
        }
    }
}

}  // namespace
}  // namespace velmora
