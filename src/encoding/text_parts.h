// Small pieces cut from texts and small texts built: parentheses, the
// "[type] name" provider entries, key=value lists, padding; and the message
// lists that a caller may or may not pass in.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

// The characters between the first "(" and the first ")" when that ")"
// stands after that "("; otherwise the whole text.
std::string TextInParentheses(std::string_view text);

// For a text "[x] y": part 1 is x (from the second character up to the first
// "]"), part 2 is y (from the second character after that "]" to the end).
// Empty when the text has no "]" or the part is neither 1 nor 2.
std::string BracketPart(std::string_view text, int part);

// In "key=value;key=value", the value of the first field whose key is the
// given one: the characters after "key=" up to the next ";" or the end. A key
// counts only where a field starts (at the start of the text, after ";" or
// after a blank), so "O" does not match inside "CO=". Empty when no field has
// that key.
std::string KeyValueOf(std::string_view text, std::string_view key);

// count blanks followed by the text; the text alone when count < 1.
std::string IndentText(int count, std::string_view text);

// The text followed by as many "0" as make it length characters long;
// longer texts are returned unchanged.
std::string PadRightZeros(int length, std::string_view text);

// Adds the text to the list when there is a list; tells whether there is.
bool AddToOptionalList(std::vector<std::string>* list, std::string_view text);

// Adds every one of the lines to the list when there is a list.
void AddLinesToOptionalList(std::vector<std::string>* list, std::span<const std::string> lines);

}  // namespace velmora
