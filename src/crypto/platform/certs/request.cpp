#include "crypto/platform/certs/request.h"

#include "crypto/platform/asn1/decode_internal.h"

namespace velmora::platform {

std::optional<RequestInfo> DecodeRequestToBeSigned(ByteView der) {
    DerElement info_element, version, subject, key, attributes;
    if (!decode::ReadWhole(der, der::kSequence, info_element)) {
        return std::nullopt;
    }
    RequestInfo info;
    decode::Cursor cursor(info_element.content);
    if (!cursor.Read(der::kInteger, version) || !cursor.Read(der::kSequence, subject) ||
        !cursor.Read(der::kSequence, key)) {
        return std::nullopt;
    }
    std::optional<std::int64_t> number = decode::IntegerValue(version.content);
    if (!number) {
        return std::nullopt;
    }
    if (*number < 0 || *number > 255) {
        SetLastError(error::kAsn1Corrupt);
        return std::nullopt;
    }
    info.version = static_cast<int>(*number);
    info.subject.assign(subject.encoded.begin(), subject.encoded.end());
    if (!decode::ReadPublicKeyInfo(key, info.publicKey)) {
        return std::nullopt;
    }
    if (cursor.ReadOptional(0xA0, attributes)) {
        decode::Cursor list(attributes.content);
        DerElement attribute, values, value;
        while (!list.AtEnd()) {
            if (!list.Read(der::kSequence, attribute)) {
                return std::nullopt;
            }
            RequestAttribute entry;
            decode::Cursor fields(attribute.content);
            if (!decode::ReadOid(fields, entry.oid) || !fields.Read(der::kSet, values) ||
                !fields.Finish()) {
                return std::nullopt;
            }
            decode::Cursor items(values.content);
            while (!items.AtEnd()) {
                if (!items.Next(value)) {
                    return std::nullopt;
                }
                entry.values.emplace_back(value.encoded.begin(), value.encoded.end());
            }
            info.attributes.push_back(std::move(entry));
        }
    }
    if (!cursor.Finish()) {
        return std::nullopt;
    }
    return info;
}

}  // namespace velmora::platform
