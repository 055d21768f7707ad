#include "encoding/unicode.h"
#include "encoding/cp1251.h"
#include "encoding/text_file.h"
#include "encoding/utf8.h"

#include "temp_folder.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

using testing::TempFolder;

TEST(Cp1251, ConvertsBothWays) {
    const std::string cp1251 = "\xC0\xDF\xE0\xFF\xA8\xB8\xB9\x80\x88\x96\x97\xAB\xBB\xA0";
    const std::string utf8 = "АЯаяЁё№Ђ€–—«»\u00A0";
    EXPECT_EQ(Cp1251ToUtf8(AsBytes(cp1251)), utf8);
    EXPECT_EQ(AsText(Utf8ToCp1251(utf8)), cp1251);
    // Every byte survives the round trip.
    Bytes all(256);
    for (int b = 0; b < 256; ++b) {
        all[static_cast<std::size_t>(b)] = static_cast<std::uint8_t>(b);
    }
    const std::string all_utf8 = Cp1251ToUtf8(all);
    EXPECT_TRUE(IsValidUtf8(all_utf8));
    EXPECT_EQ(Utf8ToCp1251(all_utf8), all);
    // Characters outside it, and malformed input, become "?".
    EXPECT_EQ(AsText(Utf8ToCp1251("Über ă \xF0\x9F\x98\x80 Да")), "?ber ? ? \xC4\xE0");
    EXPECT_EQ(AsText(Utf8ToCp1251("a\xD0")), "a?");  // malformed input
    EXPECT_EQ(Cp1251ByteOf(U'№'), 0xB9);
    EXPECT_FALSE(Cp1251ByteOf(U'Ü'));
}

TEST(TextFiles, Utf8WhenValidElseWindows1251) {
    EXPECT_EQ(DecodeTextBytes(AsBytes("Подпись|1.2")), "Подпись|1.2");
    EXPECT_EQ(DecodeTextBytes(AsBytes("\xEF\xBB\xBFОК")), "ОК");  // byte-order mark dropped
    EXPECT_EQ(DecodeTextBytes(AsBytes("\xCF\xEE\xE4\xEF\xE8\xF1\xFC|1.2")), "Подпись|1.2");
    // One byte that is not UTF-8 makes the whole file Windows-1251.
    EXPECT_EQ(DecodeTextBytes(AsBytes("Да \xC4\xE0")), "Р”Р° Да");

    TempFolder folder;
    const auto file = folder.Write("OID.csv", "\xC0|1\r\n\xC1|2\r\n");
    EXPECT_EQ(ReadTextFileLines(file), (std::vector<std::string>{"А|1", "Б|2"}));
    EXPECT_FALSE(ReadTextFile(folder / "missing.csv"));

    // Lines end with CR LF, LF or CR; a last line break adds no line.
    using Lines = std::vector<std::string>;
    EXPECT_EQ(SplitLines(""), Lines{});
    EXPECT_EQ(SplitLines("a\n"), Lines{"a"});
    EXPECT_EQ(SplitLines("a\rb\n\nc"), (Lines{"a", "b", "", "c"}));
    EXPECT_EQ(SplitLines("\n"), Lines{""});
    EXPECT_EQ(SplitLines("a\r\n\r\n"), (Lines{"a", ""}));
}

// Certificate string values to the program's text: well-formed characters are
// kept (also those outside Windows-1251), damage becomes "?", NUL bytes vanish.
TEST(CertificateStrings, Utf8AndBigEndianBmpToText) {
    const struct {
        bool bmp;
        std::vector<std::uint8_t> in;
        std::string out;
    } cases[] = {
        {false, {}, ""},
        {false, {0xD0, 0x98, 0xD0, 0xB2, 0xD0, 0x81, 0xD1, 0x91, 0xE2, 0x84, 0x96}, "ИвЁё№"},
        {false, {0xC3, 0x9C, 'x', 0xF0, 0x9F, 0x98, 0x80}, "Üx\xF0\x9F\x98\x80"},
        {false, {'a', 0x00, 'b', 0x00}, "ab"},
        // Cut off by the end of the input: one "?".
        {false, {'a', 0xD0}, "a?"},
        {false, {'a', 0xE2, 0x84}, "a?"},
        {false, {0xF0, 0x9F, 0x98}, "?"},
        // A stray continuation byte, and a lead byte whose sequence breaks off:
        // the next character survives.
        {false, {0x80, 'a'}, "?a"},
        {false, {0xD0, 'a', 0xD0, 0x90}, "?aА"},
        {false, {0xE2, 0x84, 'x'}, "?x"},
        // Overlong forms (also an overlong NUL), surrogates, beyond U+10FFFF,
        // bytes that never start a character.
        {false, {0xC0, 0x80}, "??"},
        {false, {0xE0, 0x80, 0x80}, "???"},
        {false, {0xED, 0xA0, 0x80}, "???"},
        {false, {0xF4, 0x90, 0x80, 0x80}, "????"},
        {false, {0xF8, 0x88, 0x80, 0x80, 0x80}, "?????"},
        {false, {0xFF, 0xFE}, "??"},
        {true, {}, ""},
        {true, {0x04, 0x10, 0x04, 0x01, 0x04, 0x51, 0x00, 0xDC}, "АЁёÜ"},
        {true, {0x00, 0x00, 0x00, 0x42}, "B"},
        {true, {0x00, 0x41, 0x04}, "A?"},                      // trailing odd byte
        {true, {0xD8, 0x3D, 0xDE, 0x00}, "\xF0\x9F\x98\x80"},  // a surrogate pair
        {true, {0xD8, 0x3D, 0x00, 0x41}, "?A"},                // high surrogate without its partner
        {true, {0xD8, 0x3D}, "?"},
        {true, {0xD8, 0x3D, 0xDE}, "??"},
        {true, {0xDE, 0x00, 0x00, 0x41}, "?A"},  // lone low surrogate
    };
    for (const auto& c : cases) {
        const std::string got = c.bmp ? BmpToAnsi(c.in) : Utf8ToAnsi(c.in);
        EXPECT_EQ(got, c.out) << (c.bmp ? "BMP" : "UTF-8") << " of " << c.in.size() << " bytes";
        EXPECT_TRUE(IsValidUtf8(got));
    }
}

TEST(ToWide, GivesUtf16AndItsByteLength) {
    std::size_t bytes = 99;
    EXPECT_EQ(ToWide("Да", bytes), u"Да");
    EXPECT_EQ(bytes, 4u);
    EXPECT_EQ(ToWide("", bytes), u"");
    EXPECT_EQ(bytes, 0u);
    EXPECT_EQ(ToWide("a\xF0\x9F\x98\x80", bytes), u"a\U0001F600");
    EXPECT_EQ(bytes, 6u);
    EXPECT_EQ(ToWide("a\xD0"), u"a?");
}

}  // namespace
}  // namespace velmora
