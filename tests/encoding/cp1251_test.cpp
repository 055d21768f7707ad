#include "encoding/cp1251.h"
#include "encoding/text_file.h"
#include "encoding/utf8.h"

#include "temp_folder.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

using testing::TempFolder;

TEST(Cp1251, ConvertsBothWays) {
    struct Case {
        std::string cp1251;
        std::string utf8;
    };
    const std::vector<Case> cases = {
        {"abc 123", "abc 123"},
        {"\xC0\xDF\xE0\xFF", "АЯая"},
        {"\xA8\xB8\xB9", "Ёё№"},
        {"\x80\x88\x96\x97\xAB\xBB\xA0", "Ђ€–—«»\u00A0"},
        {"\xA5\xB4\xAA\xBA\xB2\xB3\xAF\xBF", "ҐґЄєІіЇї"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Cp1251ToUtf8(AsBytes(c.cp1251)), c.utf8) << c.utf8;
        EXPECT_EQ(AsText(Utf8ToCp1251(c.utf8)), c.cp1251) << c.utf8;
    }
    // Every byte survives the round trip.
    Bytes all(256);
    for (int b = 0; b < 256; ++b) {
        all[static_cast<std::size_t>(b)] = static_cast<std::uint8_t>(b);
    }
    const std::string utf8 = Cp1251ToUtf8(all);
    EXPECT_TRUE(IsValidUtf8(utf8));
    EXPECT_EQ(Utf8ToCp1251(utf8), all);
}

TEST(Cp1251, CharactersOutsideItBecomeQuestionMarks) {
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
}

TEST(TextFiles, SplitsLinesLikeATextEditor) {
    struct Case {
        std::string in;
        std::vector<std::string> lines;
    };
    const std::vector<Case> cases = {
        {"", {}},
        {"a", {"a"}},
        {"a\n", {"a"}},
        {"a\r\nb", {"a", "b"}},
        {"a\rb\n\nc", {"a", "b", "", "c"}},
        {"\n", {""}},
        {"a\r\n\r\n", {"a", ""}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SplitLines(c.in), c.lines) << c.in;
    }
}

}  // namespace
}  // namespace velmora
