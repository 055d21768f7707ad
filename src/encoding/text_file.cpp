#include "encoding/text_file.h"

#include "encoding/atomic_file.h"
#include "encoding/cp1251.h"
#include "encoding/utf8.h"

namespace velmora {

std::string DecodeTextBytes(ByteView bytes) {
    std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    if (IsValidUtf8(text)) {
        if (text.starts_with("\xEF\xBB\xBF")) {
            text.remove_prefix(3);
        }
        return std::string(text);
    }
    return Cp1251ToUtf8(bytes);
}

std::vector<std::string> SplitLines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            lines.emplace_back(text.substr(start));
            break;
        }
        lines.emplace_back(text.substr(start, end - start));
        start = end + 1;
        if (text[end] == '\r' && start < text.size() && text[start] == '\n') {
            ++start;
        }
    }
    return lines;
}

std::optional<std::string> ReadTextFile(const std::filesystem::path& file) {
    const auto bytes = ReadFileBytes(file);
    if (!bytes) {
        return std::nullopt;
    }
    return DecodeTextBytes(*bytes);
}

std::optional<std::vector<std::string>> ReadTextFileLines(const std::filesystem::path& file) {
    const auto text = ReadTextFile(file);
    if (!text) {
        return std::nullopt;
    }
    return SplitLines(*text);
}

}  // namespace velmora
