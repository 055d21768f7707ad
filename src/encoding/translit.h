// Latin transliteration of Russian letters (used where only Latin letters
// are allowed, e.g. in container names).
#pragma once

#include <string>
#include <string_view>

namespace velmora {

// The Latin letters for one character: А gives "A", Щ "SCH", щ "sch", Ё
// "YO"; the hard and soft signs give nothing; every other character is
// returned as itself.
std::string TranslitChar(char32_t character);

// Every character of the text through TranslitChar; bytes that are not
// well-formed UTF-8 pass unchanged.
std::string Translit(std::string_view text);

}  // namespace velmora
