#include "encoding/cp1251.h"

#include "encoding/utf8.h"

#include <array>

namespace velmora {

namespace {

// Characters of the bytes 0x80..0xBF; 0xC0..0xFF are А..я (U+0410..U+044F).
constexpr std::array<char16_t, 64> kHighHalf = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,  // 0x80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,  // 0x88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 0x90
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,  // 0x98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,  // 0xA0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,  // 0xA8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,  // 0xB0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,  // 0xB8
};

char32_t CharOfByte(std::uint8_t b) {
    if (b < 0x80) {
        return b;
    }
    if (b >= 0xC0) {
        return 0x0410 + (b - 0xC0);
    }
    return kHighHalf[b - 0x80];
}

}  // namespace

std::optional<std::uint8_t> Cp1251ByteOf(char32_t code) {
    if (code < 0x80) {
        return static_cast<std::uint8_t>(code);
    }
    if (code >= 0x0410 && code <= 0x044F) {
        return static_cast<std::uint8_t>(code - 0x0410 + 0xC0);
    }
    for (std::size_t k = 0; k < kHighHalf.size(); ++k) {
        if (kHighHalf[k] == code) {
            return static_cast<std::uint8_t>(0x80 + k);
        }
    }
    return std::nullopt;
}

std::string Cp1251ToUtf8(ByteView bytes) {
    std::string out;
    out.reserve(bytes.size() * 2);
    for (const std::uint8_t b : bytes) {
        AppendUtf8(out, CharOfByte(b));
    }
    return out;
}

Bytes Utf8ToCp1251(std::string_view text) {
    Bytes out;
    out.reserve(text.size());
    std::size_t pos = 0;
    while (pos < text.size()) {
        const char32_t code = DecodeUtf8(text, pos);
        const auto byte = code == kMalformedUtf8 ? std::nullopt : Cp1251ByteOf(code);
        out.push_back(byte.value_or('?'));
    }
    return out;
}

}  // namespace velmora
