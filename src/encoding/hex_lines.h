// Hex and binary digit texts, and long hex texts cut into report lines.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

// Appends the byte as two upper-case hex digits.
inline void AppendHexByte(std::string& text, std::uint8_t byte) {
    constexpr char kDigits[] = "0123456789ABCDEF";
    text += kDigits[byte >> 4];
    text += kDigits[byte & 0x0F];
}

// Exactly digits characters "0"/"1" of the low bits of value, most
// significant first (digits beyond 64 are "0"); empty when digits < 1.
std::string IntToBin(std::uint64_t value, int digits);

// The value of a text of binary digits: each "1" weighs 2 to the power of the
// number of characters after it; any other character counts as "0". Only
// the last 64 digits can count.
std::uint64_t BinToInt(std::string_view digits);

// A text longer than 44 characters as lines of 44: after each line one
// separating blank is dropped, when the next character is a blank; what is
// left is the last line, even when empty. A text of 44 characters or fewer
// is one line. For a hex text with blanks between the bytes, 89 characters
// give two lines of 44 and an empty last line; a text without blanks loses
// no digit.
std::vector<std::string> SplitHexLines(std::string_view text);

}  // namespace velmora
