#include "crypto/platform/asn1/decode_values.h"

#include "crypto/platform/asn1/decode_internal.h"

#include <limits>

namespace velmora::platform {
namespace {

std::optional<std::int32_t> Int32Of(ByteView der, std::uint8_t tag) {
    DerElement element;
    if (!decode::ReadWhole(der, tag, element)) {
        return std::nullopt;
    }
    std::optional<std::int64_t> value = decode::IntegerValue(element.content);
    if (!value) {
        return std::nullopt;
    }
    if (*value < std::numeric_limits<std::int32_t>::min() ||
        *value > std::numeric_limits<std::int32_t>::max()) {
        SetLastError(error::kAsn1Large);
        return std::nullopt;
    }
    return static_cast<std::int32_t>(*value);
}

}  // namespace

namespace decode {

bool ReadBitStringContent(ByteView content, BitString& bits) {
    // The unused-bits byte comes first; an empty string has none unused.
    if (content.empty() || content[0] > 7 || (content.size() == 1 && content[0] != 0)) {
        SetLastError(error::kAsn1Corrupt);
        return false;
    }
    bits.unusedBits = content[0];
    bits.bytes.assign(content.begin() + 1, content.end());
    return true;
}

}  // namespace decode

std::optional<std::int32_t> DecodeInteger(ByteView der) {
    return Int32Of(der, der::kInteger);
}

std::optional<std::int32_t> DecodeEnumerated(ByteView der) {
    return Int32Of(der, der::kEnumerated);
}

std::optional<Bytes> DecodeMultiByteInteger(ByteView der) {
    DerElement element;
    if (!decode::ReadWhole(der, der::kInteger, element)) {
        return std::nullopt;
    }
    if (element.content.empty()) {
        SetLastError(error::kAsn1Corrupt);
        return std::nullopt;
    }
    return decode::Reversed(element.content);
}

std::optional<Bytes> DecodeOctetString(ByteView der) {
    DerElement element;
    if (!decode::ReadWhole(der, der::kOctetString, element)) {
        return std::nullopt;
    }
    return Bytes(element.content.begin(), element.content.end());
}

std::optional<BitString> DecodeBitString(ByteView der) {
    DerElement element;
    BitString bits;
    if (!decode::ReadWhole(der, der::kBitString, element) ||
        !decode::ReadBitStringContent(element.content, bits)) {
        return std::nullopt;
    }
    return bits;
}

std::optional<NameValue> DecodeNameValue(ByteView der) {
    decode::Cursor cursor(der);
    DerElement element;
    if (!cursor.Next(element) || !cursor.Finish()) {
        return std::nullopt;
    }
    NameValue value;
    value.valueType = decode::ReadRdnValue(element, value.value);
    return value;
}

std::optional<std::vector<Bytes>> DecodeSequenceOfAny(ByteView der) {
    DerElement sequence;
    if (!decode::ReadWhole(der, der::kSequence, sequence)) {
        return std::nullopt;
    }
    std::vector<Bytes> items;
    decode::Cursor cursor(sequence.content);
    DerElement item;
    while (!cursor.AtEnd()) {
        if (!cursor.Next(item)) {
            return std::nullopt;
        }
        items.emplace_back(item.encoded.begin(), item.encoded.end());
    }
    return items;
}

}  // namespace velmora::platform
