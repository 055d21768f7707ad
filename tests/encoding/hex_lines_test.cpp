#include "encoding/hex_lines.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

// A spaced hex text of n bytes: "00 01 02 ...".
std::string SpacedHex(int n) {
    std::string out;
    for (int k = 0; k < n; ++k) {
        char pair[4];
        std::snprintf(pair, sizeof pair, "%02X", k & 0xFF);
        if (k > 0) {
            out += ' ';
        }
        out += pair;
    }
    return out;
}

TEST(BinaryDigits, ConvertBothWays) {
    EXPECT_EQ(IntToBin(5, 8), "00000101");
    EXPECT_EQ(IntToBin(6, 2), "10");  // only the low digits
    EXPECT_EQ(IntToBin(1, 0), "");
    EXPECT_EQ(IntToBin(1, -3), "");
    EXPECT_EQ(IntToBin(~0ull, 66), "00" + std::string(64, '1'));
    EXPECT_EQ(BinToInt("00000101"), 5u);
    EXPECT_EQ(BinToInt("1x1"), 5u);
    for (std::uint64_t v : {0ull, 1ull, 63ull, 0x8000000000000001ull}) {
        EXPECT_EQ(BinToInt(IntToBin(v, 64)), v);
    }
}

TEST(HexLines, SplitsAfterEvery44Characters) {
    EXPECT_EQ(SplitHexLines(""), std::vector<std::string>{""});
    const std::string fifteen = SpacedHex(15);  // 44 characters
    ASSERT_EQ(fifteen.size(), 44u);
    EXPECT_EQ(SplitHexLines(fifteen), std::vector<std::string>{fifteen});

    const std::string thirty = SpacedHex(30);  // 89 characters
    ASSERT_EQ(thirty.size(), 89u);
    EXPECT_EQ(SplitHexLines(thirty),
              (std::vector<std::string>{thirty.substr(0, 44), thirty.substr(45, 44), ""}));

    const std::string twenty = SpacedHex(20);  // 59 characters
    EXPECT_EQ(SplitHexLines(twenty),
              (std::vector<std::string>{twenty.substr(0, 44), twenty.substr(45)}));

    // Without blanks the 45th character is a digit: it starts the next line
    // and no digit is lost.
    const std::string odd = std::string(44, 'A') + "B" + std::string(43, 'A') + "C";
    EXPECT_EQ(SplitHexLines(odd),
              (std::vector<std::string>{std::string(44, 'A'), "B" + std::string(43, 'A'), "C"}));
    EXPECT_EQ(SplitHexLines(std::string(88, 'F')),
              (std::vector<std::string>{std::string(44, 'F'), std::string(44, 'F'), ""}));
}

}  // namespace
}  // namespace velmora
