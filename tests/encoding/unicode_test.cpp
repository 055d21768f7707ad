#include "encoding/unicode.h"

#include "encoding/utf8.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace velmora {
namespace {

std::string FromUtf8Bytes(std::vector<std::uint8_t> bytes) {
    return Utf8ToAnsi(bytes);
}
std::string FromBmpBytes(std::vector<std::uint8_t> bytes) {
    return BmpToAnsi(bytes);
}

TEST(Utf8ToAnsi, KeepsWellFormedCharactersAndMarksDamage) {
    struct Case {
        std::vector<std::uint8_t> in;
        std::string out;
    };
    const std::vector<Case> cases = {
        {{}, ""},
        {{'I', 'v', 'a', 'n'}, "Ivan"},
        {{0xD0, 0x98, 0xD0, 0xB2, 0xD0, 0xB0, 0xD0, 0xBD, 0xD0, 0xBE, 0xD0, 0xB2}, "Иванов"},
        {{0xD0, 0x81, 0xD1, 0x91, 0xE2, 0x84, 0x96}, "Ёё№"},
        // Characters outside Windows-1251 are kept, not turned into "?".
        {{0xC3, 0x9C, 'x'}, "Üx"},
        {{0xD2, 0x91}, "ґ"},
        {{0xE2, 0x80, 0x9C, 0xE2, 0x80, 0x9D}, "“”"},
        {{0xF0, 0x9F, 0x98, 0x80}, "\xF0\x9F\x98\x80"},
        // NUL bytes vanish.
        {{'a', 0x00, 'b', 0x00}, "ab"},
        // Cut off by the end of the input: one "?".
        {{'a', 0xD0}, "a?"},
        {{'a', 0xE2, 0x84}, "a?"},
        {{0xF0, 0x9F, 0x98}, "?"},
        // A stray continuation byte, and a lead byte whose sequence breaks off:
        // the next character survives.
        {{0x80, 'a'}, "?a"},
        {{0xD0, 'a', 0xD0, 0x90}, "?aА"},
        {{0xE2, 0x84, 'x'}, "?x"},
        // Overlong forms (also an overlong NUL), surrogates, beyond U+10FFFF,
        // bytes that never start a character.
        {{0xC0, 0x80}, "??"},
        {{0xC1, 0xBF}, "??"},
        {{0xE0, 0x80, 0x80}, "???"},
        {{0xED, 0xA0, 0x80}, "???"},
        {{0xF4, 0x90, 0x80, 0x80}, "????"},
        {{0xF8, 0x88, 0x80, 0x80, 0x80}, "?????"},
        {{0xFF, 0xFE}, "??"},
    };
    for (const auto& c : cases) {
        const std::string got = FromUtf8Bytes(c.in);
        EXPECT_EQ(got, c.out) << "input of " << c.in.size() << " bytes";
        EXPECT_TRUE(IsValidUtf8(got));
    }
}

TEST(BmpToAnsi, DecodesBigEndianPairs) {
    struct Case {
        std::vector<std::uint8_t> in;
        std::string out;
    };
    const std::vector<Case> cases = {
        {{}, ""},
        {{0x04, 0x10}, "А"},
        {{0x00, 0x41}, "A"},
        {{0x21, 0x16}, "№"},
        {{0x04, 0x01, 0x04, 0x51}, "Ёё"},
        {{0x00, 0xDC}, "Ü"},  // kept as itself
        {{0x00, 0x00, 0x00, 0x42}, "B"},
        {{0x00, 0x41, 0x04}, "A?"},                      // trailing odd byte
        {{0xD8, 0x3D, 0xDE, 0x00}, "\xF0\x9F\x98\x80"},  // a surrogate pair
        {{0xD8, 0x3D, 0x00, 0x41}, "?A"},                // high surrogate without its partner
        {{0xD8, 0x3D}, "?"},
        {{0xD8, 0x3D, 0xDE}, "??"},
        {{0xDE, 0x00, 0x00, 0x41}, "?A"},  // lone low surrogate
    };
    for (const auto& c : cases) {
        const std::string got = FromBmpBytes(c.in);
        EXPECT_EQ(got, c.out) << "input of " << c.in.size() << " bytes";
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
