#include "crypto/platform/asn1/decode_internal.h"

#include "crypto/platform/asn1/decode_values.h"

#include <limits>

namespace velmora::platform::decode {

bool Cursor::Fail(std::uint32_t code) {
    if (!failed_) {
        SetLastError(code);
        failed_ = true;
    }
    return false;
}

bool Cursor::Next(DerElement& element) {
    if (failed_) {
        return false;
    }
    if (reader_.AtEnd()) {
        return Fail(error::kAsn1Eod);
    }
    if (!reader_.Next(element)) {
        return Fail(error::kAsn1Corrupt);
    }
    return true;
}

bool Cursor::Read(std::uint8_t tag, DerElement& element) {
    if (failed_) {
        return false;
    }
    if (reader_.AtEnd()) {
        return Fail(error::kAsn1Eod);
    }
    if (reader_.PeekTag() != tag) {
        return Fail(error::kAsn1BadTag);
    }
    return Next(element);
}

bool Cursor::ReadOptional(std::uint8_t tag, DerElement& element) {
    if (failed_ || reader_.AtEnd() || reader_.PeekTag() != tag) {
        return false;
    }
    return Next(element);
}

bool Cursor::Finish() {
    if (failed_) {
        return false;
    }
    if (!reader_.AtEnd()) {
        return Fail(error::kAsn1Corrupt);
    }
    return true;
}

bool ReadWhole(ByteView data, std::uint8_t tag, DerElement& element) {
    Cursor cursor(data);
    return cursor.Read(tag, element) && cursor.Finish();
}

Bytes Reversed(ByteView bytes) {
    return Bytes(bytes.rbegin(), bytes.rend());
}

std::optional<std::int64_t> IntegerValue(ByteView content) {
    if (content.empty()) {
        SetLastError(error::kAsn1Corrupt);
        return std::nullopt;
    }
    // Leading sign bytes that repeat the sign carry no value; strip them so
    // that a redundant 00 or FF does not count against the size.
    std::size_t start = 0;
    while (start + 1 < content.size() &&
           ((content[start] == 0x00 && (content[start + 1] & 0x80) == 0) ||
            (content[start] == 0xFF && (content[start + 1] & 0x80) != 0))) {
        ++start;
    }
    if (content.size() - start > sizeof(std::int64_t)) {
        SetLastError(error::kAsn1Large);
        return std::nullopt;
    }
    std::uint64_t value = (content[start] & 0x80) ? std::numeric_limits<std::uint64_t>::max() : 0;
    for (std::size_t i = start; i < content.size(); ++i) {
        value = (value << 8) | content[i];
    }
    return static_cast<std::int64_t>(value);
}

bool ReadOid(Cursor& cursor, std::string& oid) {
    DerElement element;
    if (!cursor.Read(der::kOid, element)) {
        return false;
    }
    std::optional<std::string> text = OidTextOfContent(element.content);
    if (!text) {
        return cursor.Fail(error::kAsn1Corrupt);
    }
    oid = std::move(*text);
    return true;
}

}  // namespace velmora::platform::decode
