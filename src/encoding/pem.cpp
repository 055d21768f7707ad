#include "encoding/pem.h"

#include "encoding/atomic_file.h"

namespace velmora {

std::string StripPemArmour(std::string_view text) {
    constexpr std::string_view kBegin = "-----BEGIN";
    constexpr std::string_view kDashes = "-----";
    constexpr std::string_view kEnd = "-----END";
    const std::size_t begin = text.find(kBegin);
    if (begin == std::string_view::npos) {
        return std::string(text);
    }
    // The dashes that close the BEGIN line, looked for from one character
    // past the word (which is normally the blank before the label).
    const std::size_t close = text.find(kDashes, begin + kBegin.size() + 1);
    if (close == std::string_view::npos) {
        return std::string(text);
    }
    // The BEGIN line goes with its closing dashes and the one character after
    // them, normally the line break.
    std::string body(text.substr(0, begin));
    const std::size_t after = close + kDashes.size() + 1;
    if (after < text.size()) {
        body += text.substr(after);
    }
    const std::size_t end = body.find(kEnd);
    if (end != std::string::npos) {
        body.erase(end);
    }
    return body;
}

bool WriteBufferToFile(ByteView bytes, const std::filesystem::path& file) {
    return WriteFileAtomic(file, bytes);
}

}  // namespace velmora
