// The walk over UTF-8 text that every character-wise helper shares.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace velmora {

// What DecodeUtf8 gives for a malformed or cut-off sequence.
inline constexpr char32_t kMalformedUtf8 = 0xFFFFFFFF;

// Decodes the character that starts at text[pos] and moves pos past it. A
// malformed or cut-off sequence gives kMalformedUtf8 and moves pos past its
// longest well-begun prefix (at least one byte), so that a damaged sequence
// never swallows the character that follows it. Only bytes inside the text
// are read; pos must be below text.size().
char32_t DecodeUtf8(std::string_view text, std::size_t& pos);

// Appends the UTF-8 form of a code point. Anything that is not a Unicode
// scalar value (a surrogate, or above U+10FFFF) is appended as "?".
void AppendUtf8(std::string& out, char32_t code);

// The UTF-8 form of one code point (see AppendUtf8).
std::string Utf8Of(char32_t code);

// True when the text is well-formed UTF-8 throughout.
bool IsValidUtf8(std::string_view text);

// Number of characters; each malformed sequence counts as one.
std::size_t Utf8Length(std::string_view text);

}  // namespace velmora
