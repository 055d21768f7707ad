#include "crypto/platform/asn1/base64_armour.h"

#include "crypto/platform/system/last_error.h"

#include <array>
#include <cstdint>

namespace velmora::platform {
namespace {

constexpr std::string_view kAlphabet =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr std::string_view kBeginMarker = "-----BEGIN";
constexpr std::string_view kEndMarker = "-----END";
constexpr std::string_view kDashes = "-----";
constexpr std::size_t kLineLength = 64;

constexpr std::uint8_t kSkip = 0xFE;     // whitespace, ignored
constexpr std::uint8_t kPad = 0xFD;      // "="
constexpr std::uint8_t kInvalid = 0xFF;  // anything else outside the alphabet

constexpr std::array<std::uint8_t, 256> MakeDecodeTable() {
    std::array<std::uint8_t, 256> table{};
    for (auto& entry : table) {
        entry = kInvalid;
    }
    for (std::size_t i = 0; i < kAlphabet.size(); ++i) {
        table[static_cast<unsigned char>(kAlphabet[i])] = static_cast<std::uint8_t>(i);
    }
    table['\r'] = kSkip;
    table['\n'] = kSkip;
    table['\t'] = kSkip;
    table[' '] = kSkip;
    table['='] = kPad;
    return table;
}

constexpr std::array<std::uint8_t, 256> kDecode = MakeDecodeTable();

// Walks plain base64 once: checks it and, when `out` is given, appends the
// decoded bytes to it. Returns the decoded byte count, or nullopt for text
// that is not well-formed base64.
std::optional<std::size_t> DecodePlain(std::string_view text, Bytes* out) {
    std::size_t symbols = 0;  // alphabet characters
    std::size_t pads = 0;
    std::uint32_t group = 0;  // bits of the current group of four
    for (const char c : text) {
        const std::uint8_t value = kDecode[static_cast<unsigned char>(c)];
        if (value == kSkip) {
            continue;
        }
        if (value == kPad) {
            ++pads;
            if (pads > 2) {
                return std::nullopt;
            }
            continue;
        }
        if (value == kInvalid || pads > 0) {
            return std::nullopt;  // a foreign character, or data after the padding
        }
        group = (group << 6) | value;
        ++symbols;
        if (symbols % 4 == 0) {
            if (out != nullptr) {
                out->push_back(static_cast<std::uint8_t>(group >> 16));
                out->push_back(static_cast<std::uint8_t>(group >> 8));
                out->push_back(static_cast<std::uint8_t>(group));
            }
            group = 0;
        }
    }
    const std::size_t rest = symbols % 4;
    // A last group of one character holds no whole byte; padding must complete
    // the last group exactly when it is given.
    if (symbols == 0 || rest == 1 || (pads != 0 && rest + pads != 4)) {
        return std::nullopt;
    }
    const std::size_t tail = rest == 0 ? 0 : rest - 1;  // 2 chars: 1 byte, 3 chars: 2 bytes
    if (out != nullptr && tail > 0) {
        group <<= 6 * (4 - rest);
        out->push_back(static_cast<std::uint8_t>(group >> 16));
        if (tail == 2) {
            out->push_back(static_cast<std::uint8_t>(group >> 8));
        }
    }
    return symbols / 4 * 3 + tail;
}

// The base64 body between the armour lines, or nullopt when the text has no
// complete "-----BEGIN ...-----" line followed by a "-----END".
std::optional<std::string_view> ArmouredBody(std::string_view text) {
    const std::size_t begin = text.find(kBeginMarker);
    if (begin == std::string_view::npos) {
        return std::nullopt;
    }
    const std::size_t label_start = begin + kBeginMarker.size();
    const std::size_t close = text.find(kDashes, label_start);
    if (close == std::string_view::npos) {
        return std::nullopt;
    }
    // The label stays on the BEGIN line.
    if (text.substr(label_start, close - label_start).find_first_of("\r\n") !=
        std::string_view::npos) {
        return std::nullopt;
    }
    const std::size_t body_start = close + kDashes.size();
    const std::size_t end = text.find(kEndMarker, body_start);
    if (end == std::string_view::npos) {
        return std::nullopt;
    }
    return text.substr(body_start, end - body_start);
}

std::optional<std::size_t> Convert(std::string_view text, StringFormat format, StringFormat* used,
                                   Bytes* out) {
    switch (format) {
        case StringFormat::kBase64Header: {
            const std::optional<std::string_view> body = ArmouredBody(text);
            std::optional<std::size_t> size;
            if (body) {
                size = DecodePlain(*body, out);
            }
            if (!size) {
                return Fail(error::kInvalidData, std::optional<std::size_t>{});
            }
            if (used != nullptr) {
                *used = StringFormat::kBase64Header;
            }
            return size;
        }
        case StringFormat::kBase64: {
            const std::optional<std::size_t> size = DecodePlain(text, out);
            if (!size) {
                return Fail(error::kInvalidData, std::optional<std::size_t>{});
            }
            if (used != nullptr) {
                *used = StringFormat::kBase64;
            }
            return size;
        }
        case StringFormat::kBase64Any: {
            if (const std::optional<std::string_view> body = ArmouredBody(text)) {
                if (const std::optional<std::size_t> size = DecodePlain(*body, out)) {
                    if (used != nullptr) {
                        *used = StringFormat::kBase64Header;
                    }
                    return size;
                }
                if (out != nullptr) {
                    out->clear();
                }
            }
            return Convert(text, StringFormat::kBase64, used, out);
        }
    }
    return Fail(error::kInvalidParameter, std::optional<std::size_t>{});
}

void AppendBase64Lines(ByteView data, std::string& text) {
    std::size_t line = 0;
    const auto put = [&](char c) {
        text.push_back(c);
        if (++line == kLineLength) {
            text += "\r\n";
            line = 0;
        }
    };
    std::size_t i = 0;
    for (; i + 3 <= data.size(); i += 3) {
        const std::uint32_t group =
            (std::uint32_t{data[i]} << 16) | (std::uint32_t{data[i + 1]} << 8) | data[i + 2];
        put(kAlphabet[(group >> 18) & 0x3F]);
        put(kAlphabet[(group >> 12) & 0x3F]);
        put(kAlphabet[(group >> 6) & 0x3F]);
        put(kAlphabet[group & 0x3F]);
    }
    if (const std::size_t rest = data.size() - i; rest > 0) {
        std::uint32_t group = std::uint32_t{data[i]} << 16;
        if (rest == 2) {
            group |= std::uint32_t{data[i + 1]} << 8;
        }
        put(kAlphabet[(group >> 18) & 0x3F]);
        put(kAlphabet[(group >> 12) & 0x3F]);
        put(rest == 2 ? kAlphabet[(group >> 6) & 0x3F] : '=');
        put('=');
    }
    if (line != 0) {
        text += "\r\n";
    }
}

}  // namespace

std::optional<Bytes> StringToBinary(std::string_view text, StringFormat format,
                                    StringFormat* used) {
    Bytes bytes;
    bytes.reserve(text.size() / 4 * 3 + 3);
    if (!Convert(text, format, used, &bytes)) {
        return std::nullopt;
    }
    return bytes;
}

std::optional<std::size_t> StringToBinarySize(std::string_view text, StringFormat format,
                                              StringFormat* used) {
    return Convert(text, format, used, nullptr);
}

std::string BinaryToString(ByteView data, StringFormat format, std::string_view label) {
    std::string text;
    const std::size_t chars = (data.size() + 2) / 3 * 4;
    text.reserve(chars + chars / kLineLength * 2 + 2 * label.size() + 40);
    const bool armour = format == StringFormat::kBase64Header;
    if (armour) {
        text += "-----BEGIN ";
        text += label;
        text += "-----\r\n";
    }
    AppendBase64Lines(data, text);
    if (armour) {
        text += "-----END ";
        text += label;
        text += "-----\r\n";
    }
    return text;
}

}  // namespace velmora::platform
