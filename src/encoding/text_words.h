// Case-insensitive matching of texts, and the short words of the reports:
// yes/no and the Latin/Cyrillic script marks.
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace velmora {

// The letters upper-cased: a..z to A..Z, а..я to А..Я, ё to Ё. Every other
// character, and any byte that is not well-formed UTF-8, stays as it is.
std::string UpperCaseCyr(std::string_view text);

enum class TextMatch : int {
    Equal = 0,              // byte for byte
    EqualIgnoringCase = 1,  // equal after UpperCaseCyr of both
    Different = 2,
};

TextMatch CompareTexts(std::string_view a, std::string_view b);

// The same, also giving the comparison text: a + " = " + b, a + " ~ " + b or
// a + " <> " + b.
TextMatch CompareTexts(std::string_view a, std::string_view b, std::string& comparisonText);

// Index of the first item that matches the text at least ignoring case;
// -1 when none does.
int FindTextInList(std::span<const std::string> list, std::string_view text);

// True for "Да" in any letter case.
bool IsYes(std::string_view text);

// "Да" for 1, "Нет" for 0, empty for anything else.
std::string YesNoOfInt(int value);

std::string YesNoOfBool(bool value);

// "лат." for A..Z and a..z, "рус." for А..я, Ё and ё, empty otherwise.
std::string CharScript(char32_t character);

// "рус." when any character of the text is Cyrillic, otherwise "лат." (also
// for an empty text).
std::string TextScript(std::string_view text);

}  // namespace velmora
