#include "encoding/translit.h"

#include "encoding/utf8.h"

#include <array>
#include <cctype>

namespace velmora {

namespace {

// А..Я in alphabetical order (U+0410..U+042F); lower case is the same
// letters in lower case.
constexpr std::array<std::string_view, 32> kCapitals = {
    "A", "B", "V", "G", "D", "E", "ZH", "Z",  "I",  "Y",   "K", "L", "M", "N", "O",  "P",
    "R", "S", "T", "U", "F", "H", "C",  "CH", "SH", "SCH", "",  "Y", "",  "E", "YU", "YA",
};

std::string Lower(std::string_view latin) {
    std::string out(latin);
    for (char& c : out) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return out;
}

}  // namespace

std::string TranslitChar(char32_t character) {
    if (character >= 0x0410 && character <= 0x042F) {
        return std::string(kCapitals[character - 0x0410]);
    }
    if (character >= 0x0430 && character <= 0x044F) {
        return Lower(kCapitals[character - 0x0430]);
    }
    if (character == 0x0401) {
        return "YO";
    }
    if (character == 0x0451) {
        return "yo";
    }
    return Utf8Of(character);
}

std::string Translit(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t start = pos;
        const char32_t character = DecodeUtf8(text, pos);
        if (character == kMalformedUtf8) {
            out += text.substr(start, pos - start);
        } else {
            out += TranslitChar(character);
        }
    }
    return out;
}

}  // namespace velmora
