#include "crypto/platform/asn1/decode_object.h"

#include "crypto/platform/asn1/decode_internal.h"
#include "crypto/platform/asn1/decode_values.h"
#include "crypto/platform/asn1/encode_der.h"
#include "crypto/platform/keys/crypt_provider.h"
#include "crypto/platform/system/last_error.h"

namespace velmora::platform {
namespace {

constexpr std::uint8_t kNotBeforeTag = 0x80;  // [0] IMPLICIT GeneralizedTime
constexpr std::uint8_t kNotAfterTag = 0x81;   // [1] IMPLICIT GeneralizedTime

void AppendFileTime(Bytes& out, FileTime time) {
    for (int i = 0; i < 8; ++i) {
        out.push_back(static_cast<std::uint8_t>(time >> (8 * i)));
    }
}

std::optional<FileTime> ReadPeriodTime(decode::Cursor& cursor, std::uint8_t tag) {
    DerElement element;
    if (!cursor.ReadOptional(tag, element)) {
        return FileTime{0};
    }
    const auto time = TimeOfContent(element.content, true);
    if (!time) {
        cursor.Fail(error::kAsn1Corrupt);
    }
    return time;
}

std::optional<Bytes> DecodePrivateKeyValidity(ByteView encoded) {
    DerElement period;
    if (!decode::ReadWhole(encoded, der::kSequence, period)) {
        return std::nullopt;
    }
    decode::Cursor cursor(period.content);
    const auto not_before = ReadPeriodTime(cursor, kNotBeforeTag);
    const auto not_after = not_before ? ReadPeriodTime(cursor, kNotAfterTag) : std::nullopt;
    if (!not_after || !cursor.Finish()) {
        return std::nullopt;
    }
    Bytes structure;
    AppendFileTime(structure, *not_before);
    AppendFileTime(structure, *not_after);
    return structure;
}

bool AppendPeriodTime(Bytes& content, std::uint8_t tag, FileTime time) {
    if (time == 0) {
        return true;
    }
    auto der = GeneralizedTimeDer(time);
    if (!der) {
        return false;
    }
    (*der)[0] = tag;
    content.insert(content.end(), der->begin(), der->end());
    return true;
}

}  // namespace

std::optional<Bytes> DecodeObject(std::string_view struct_type, ByteView encoded) {
    if (struct_type == kPrivateKeyValidityStructType) {
        return DecodePrivateKeyValidity(encoded);
    }
    return Fail(error::kBadType, std::optional<Bytes>{});
}

std::optional<Bytes> EncodePrivateKeyUsagePeriod(FileTime not_before, FileTime not_after) {
    Bytes content;
    if (!AppendPeriodTime(content, kNotBeforeTag, not_before) ||
        !AppendPeriodTime(content, kNotAfterTag, not_after)) {
        return Fail(error::kInvalidParameter, std::optional<Bytes>{});
    }
    return Der(der::kSequence, content);
}

}  // namespace velmora::platform
