#include "crypto/platform/asn1/der_reader.h"

#include <cstddef>

namespace velmora::platform {

bool DerReader::Next(DerElement& element) {
    if (Failed() || rest_.empty()) {
        return false;
    }
    const std::uint8_t tag = rest_[0];
    if ((tag & 0x1F) == 0x1F) {
        return Fail(DerFault::Malformed);  // multi-byte identifiers never occur in what we read
    }
    if (rest_.size() < 2) {
        return Fail(DerFault::Truncated);
    }
    std::size_t length = rest_[1];
    std::size_t header = 2;
    if (length & 0x80) {
        const std::size_t count = length & 0x7F;
        // 0x80 is the indefinite form, 0xFF reserved; more than eight length
        // bytes cannot describe anything that fits in memory.
        if (count == 0 || count > sizeof(std::size_t)) {
            return Fail(DerFault::Malformed);
        }
        if (rest_.size() - 2 < count) {
            return Fail(DerFault::Truncated);
        }
        if (rest_[2] == 0) {
            return Fail(DerFault::Malformed);  // a leading zero byte: not the shortest form
        }
        length = 0;
        for (std::size_t i = 0; i < count; ++i) {
            length = (length << 8) | rest_[2 + i];
        }
        if (length < 0x80) {
            return Fail(DerFault::Malformed);  // the long form used for a short length
        }
        header += count;
    }
    if (length > rest_.size() - header) {
        return Fail(DerFault::Truncated);  // runs past the enclosing element
    }
    element.tag = tag;
    element.content = rest_.subspan(header, length);
    element.encoded = rest_.first(header + length);
    rest_ = rest_.subspan(header + length);
    return true;
}

bool DerReader::Read(std::uint8_t tag, DerElement& element) {
    if (Failed()) {
        return false;
    }
    if (rest_.empty()) {
        return Fail(DerFault::Truncated);
    }
    if (rest_[0] != tag) {
        return Fail(DerFault::BadTag);
    }
    return Next(element);
}

bool DerReader::ReadOptional(std::uint8_t tag, DerElement& element) {
    if (Failed() || rest_.empty() || rest_[0] != tag) {
        return false;
    }
    return Next(element);
}

bool ReadSingleDer(ByteView data, std::uint8_t tag, DerElement& element) {
    DerReader reader(data);
    return reader.Read(tag, element) && reader.AtEnd();
}

}  // namespace velmora::platform
