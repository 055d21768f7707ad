#include "encoding/text_words.h"

#include "encoding/utf8.h"

namespace velmora {

namespace {

bool IsCyrillicLetter(char32_t c) {
    return (c >= 0x0410 && c <= 0x044F) || c == 0x0401 || c == 0x0451;
}

}  // namespace

std::string UpperCaseCyr(std::string_view text) {
    std::string out(text);
    for (std::size_t k = 0; k < out.size(); ++k) {
        const auto b = static_cast<unsigned char>(out[k]);
        if (b >= 'a' && b <= 'z') {
            out[k] = static_cast<char>(b - ('a' - 'A'));
            continue;
        }
        if (k + 1 >= out.size() || (b != 0xD0 && b != 0xD1)) {
            continue;
        }
        // The lower-case Cyrillic letters are D0 B0..D0 BF (а..п), D1 80..D1 8F
        // (р..я) and D1 91 (ё); their capitals are D0 90..D0 AF and D0 81.
        const auto next = static_cast<unsigned char>(out[k + 1]);
        if (b == 0xD0 && next >= 0xB0 && next <= 0xBF) {
            out[k + 1] = static_cast<char>(next - 0x20);
            ++k;
        } else if (b == 0xD1 && next >= 0x80 && next <= 0x8F) {
            out[k] = static_cast<char>(0xD0);
            out[k + 1] = static_cast<char>(next + 0x20);
            ++k;
        } else if (b == 0xD1 && next == 0x91) {
            out[k] = static_cast<char>(0xD0);
            out[k + 1] = static_cast<char>(0x81);
            ++k;
        }
    }
    return out;
}

TextMatch CompareTexts(std::string_view a, std::string_view b) {
    if (a == b) {
        return TextMatch::Equal;
    }
    return UpperCaseCyr(a) == UpperCaseCyr(b) ? TextMatch::EqualIgnoringCase : TextMatch::Different;
}

TextMatch CompareTexts(std::string_view a, std::string_view b, std::string& comparisonText) {
    const TextMatch match = CompareTexts(a, b);
    comparisonText.assign(a);
    switch (match) {
        case TextMatch::Equal:
            comparisonText += " = ";
            break;
        case TextMatch::EqualIgnoringCase:
            comparisonText += " ~ ";
            break;
        case TextMatch::Different:
            comparisonText += " <> ";
            break;
    }
    comparisonText += b;
    return match;
}

int FindTextInList(std::span<const std::string> list, std::string_view text) {
    for (std::size_t k = 0; k < list.size(); ++k) {
        if (CompareTexts(list[k], text) != TextMatch::Different) {
            return static_cast<int>(k);
        }
    }
    return -1;
}

bool IsYes(std::string_view text) {
    return CompareTexts(text, "Да") != TextMatch::Different;
}

std::string YesNoOfInt(int value) {
    switch (value) {
        case 1:
            return "Да";
        case 0:
            return "Нет";
        default:
            return {};
    }
}

std::string YesNoOfBool(bool value) {
    return value ? "Да" : "Нет";
}

std::string CharScript(char32_t character) {
    if ((character >= 'A' && character <= 'Z') || (character >= 'a' && character <= 'z')) {
        return "лат.";
    }
    if (IsCyrillicLetter(character)) {
        return "рус.";
    }
    return {};
}

std::string TextScript(std::string_view text) {
    std::size_t pos = 0;
    while (pos < text.size()) {
        if (IsCyrillicLetter(DecodeUtf8(text, pos))) {
            return "рус.";
        }
    }
    return "лат.";
}

}  // namespace velmora
