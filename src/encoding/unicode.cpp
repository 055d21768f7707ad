#include "encoding/unicode.h"

#include "encoding/utf8.h"

namespace velmora {

std::string Utf8ToAnsi(ByteView bytes) {
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    std::string out;
    out.reserve(text.size());
    std::size_t pos = 0;
    while (pos < text.size()) {
        const char32_t code = DecodeUtf8(text, pos);
        if (code == kMalformedUtf8) {
            out.push_back('?');
        } else if (code != 0) {
            AppendUtf8(out, code);
        }
    }
    return out;
}

std::string BmpToAnsi(ByteView bytes) {
    std::string out;
    out.reserve(bytes.size());
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        if (pos + 1 >= bytes.size()) {
            out.push_back('?');  // a single byte left over: half a character
            break;
        }
        const char32_t unit = (char32_t{bytes[pos]} << 8) | bytes[pos + 1];
        pos += 2;
        if (unit == 0) {
            continue;
        }
        if (unit >= 0xDC00 && unit <= 0xDFFF) {
            out.push_back('?');
            continue;
        }
        if (unit >= 0xD800 && unit <= 0xDBFF) {
            if (pos + 1 < bytes.size()) {
                const char32_t low = (char32_t{bytes[pos]} << 8) | bytes[pos + 1];
                if (low >= 0xDC00 && low <= 0xDFFF) {
                    pos += 2;
                    AppendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
                    continue;
                }
            }
            out.push_back('?');
            continue;
        }
        AppendUtf8(out, unit);
    }
    return out;
}

std::u16string ToWide(std::string_view text) {
    std::u16string out;
    out.reserve(text.size());
    std::size_t pos = 0;
    while (pos < text.size()) {
        const char32_t code = DecodeUtf8(text, pos);
        if (code == kMalformedUtf8) {
            out.push_back(u'?');
        } else if (code >= 0x10000) {
            const char32_t v = code - 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (v >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (v & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(code));
        }
    }
    return out;
}

std::u16string ToWide(std::string_view text, std::size_t& byteLength) {
    std::u16string out = ToWide(text);
    byteLength = 2 * out.size();
    return out;
}

}  // namespace velmora
