#include "encoding/asn1/der_reader.h"

#include <algorithm>

namespace velmora {

namespace {

constexpr std::uint64_t kMaxDerLength = 0x7FFFFFFF;

}  // namespace

bool ReadDerLength(ByteView bytes, std::size_t& pos, std::size_t& length, std::size_t limit) {
    if (bytes.empty()) {
        return false;
    }
    limit = std::min(limit, bytes.size() - 1);
    if (pos > limit) {
        return false;
    }
    const std::uint8_t first = bytes[pos];
    if (first < 0x80) {
        if (first > limit - pos) {
            return false;
        }
        length = first;
        return true;
    }
    const std::size_t count = first - 0x80;
    if (count > limit - pos) {
        return false;
    }
    std::uint64_t value = 0;
    for (std::size_t i = 1; i <= count; ++i) {
        value = (value << 8) | bytes[pos + i];
        if (value > kMaxDerLength) {
            return false;
        }
    }
    const std::size_t last = pos + count;
    if (value > limit - last) {
        return false;
    }
    pos = last;
    length = static_cast<std::size_t>(value);
    return true;
}

std::optional<std::uint64_t> ReadBase128(ByteView bytes, std::size_t& pos) {
    std::uint64_t value = 0;
    bool fits = true;
    while (pos < bytes.size()) {
        const std::uint8_t byte = bytes[pos];
        if (value > (UINT64_MAX >> 7)) {
            fits = false;
        }
        value = (value << 7) | (byte & 0x7F);
        if ((byte & 0x80) == 0) {
            return fits ? std::optional<std::uint64_t>(value) : std::nullopt;
        }
        if (pos + 1 == bytes.size()) {
            return std::nullopt;
        }
        ++pos;
    }
    return std::nullopt;
}

}  // namespace velmora
