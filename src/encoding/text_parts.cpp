#include "encoding/text_parts.h"

#include "encoding/utf8.h"

namespace velmora {

std::string TextInParentheses(std::string_view text) {
    const std::size_t open = text.find('(');
    const std::size_t close = text.find(')');
    if (open == std::string_view::npos || close == std::string_view::npos || close < open) {
        return std::string(text);
    }
    return std::string(text.substr(open + 1, close - open - 1));
}

std::string BracketPart(std::string_view text, int part) {
    const std::size_t bracket = text.find(']');
    if (bracket == std::string_view::npos) {
        return {};
    }
    // Positions are counted in characters, so a text that starts or goes on
    // with a non-ASCII character is never cut inside it.
    if (part == 1) {
        std::size_t start = 0;
        DecodeUtf8(text, start);
        return start > bracket ? std::string() : std::string(text.substr(start, bracket - start));
    }
    if (part == 2) {
        std::size_t start = bracket + 1;
        if (start < text.size()) {
            DecodeUtf8(text, start);
        }
        return std::string(text.substr(start));
    }
    return {};
}

std::string KeyValueOf(std::string_view text, std::string_view key) {
    const std::string pattern = std::string(key) + "=";
    std::size_t at = text.find(pattern);
    while (at != std::string_view::npos) {
        if (at == 0 || text[at - 1] == ';' || text[at - 1] == ' ') {
            const std::size_t start = at + pattern.size();
            const std::size_t end = text.find(';', start);
            return std::string(text.substr(
                start, end == std::string_view::npos ? std::string_view::npos : end - start));
        }
        at = text.find(pattern, at + 1);
    }
    return {};
}

std::string IndentText(int count, std::string_view text) {
    std::string out;
    if (count > 0) {
        out.assign(static_cast<std::size_t>(count), ' ');
    }
    out += text;
    return out;
}

std::string PadRightZeros(int length, std::string_view text) {
    std::string out(text);
    const std::size_t have = Utf8Length(text);
    if (length > 0 && have < static_cast<std::size_t>(length)) {
        out.append(static_cast<std::size_t>(length) - have, '0');
    }
    return out;
}

bool AddToOptionalList(std::vector<std::string>* list, std::string_view text) {
    if (list == nullptr) {
        return false;
    }
    list->emplace_back(text);
    return true;
}

void AddLinesToOptionalList(std::vector<std::string>* list, std::span<const std::string> lines) {
    if (list == nullptr) {
        return;
    }
    if (lines.data() == list->data()) {
        // A list added to itself: the insertion must not read what it moves.
        const std::vector<std::string> copy(lines.begin(), lines.end());
        list->insert(list->end(), copy.begin(), copy.end());
        return;
    }
    list->insert(list->end(), lines.begin(), lines.end());
}

}  // namespace velmora
