#include "encoding/hex_lines.h"

#include <algorithm>

namespace velmora {

std::string IntToBin(std::uint64_t value, int digits) {
    if (digits < 1) {
        return {};
    }
    std::string out(static_cast<std::size_t>(digits), '0');
    for (int k = 0; k < digits && k < 64; ++k) {
        if ((value >> k) & 1) {
            out[static_cast<std::size_t>(digits - 1 - k)] = '1';
        }
    }
    return out;
}

std::uint64_t BinToInt(std::string_view digits) {
    std::uint64_t value = 0;
    for (const char c : digits) {
        value = (value << 1) | (c == '1' ? 1 : 0);
    }
    return value;
}

std::vector<std::string> SplitHexLines(std::string_view text) {
    constexpr std::size_t kWidth = 44;
    if (text.size() <= kWidth) {
        return {std::string(text)};
    }
    const std::size_t lines = text.size() / kWidth;
    std::vector<std::string> out;
    out.reserve(lines + 1);
    for (std::size_t k = 0; k < lines; ++k) {
        out.emplace_back(text.substr(0, kWidth));
        text.remove_prefix(std::min(kWidth, text.size()));
        // The character after a full line is the blank between two bytes of
        // a spaced hex text; in a text without blanks it is the next digit,
        // which starts the next line instead of being lost.
        if (!text.empty() && text.front() == ' ') {
            text.remove_prefix(1);
        }
    }
    out.emplace_back(text);
    return out;
}

}  // namespace velmora
