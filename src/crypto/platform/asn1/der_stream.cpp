#include "crypto/platform/asn1/der_stream.h"

#include <algorithm>
#include <cstring>

namespace velmora::platform {
namespace {

constexpr std::size_t kChunk = 64 << 10;

}  // namespace

bool DerStream::Fill(std::size_t size) {
    if (end_ - pos_ >= size) {
        return true;
    }
    if (pos_ > 0) {
        // Keep only what is unread, at the front.
        std::memmove(buffer_.data(), buffer_.data() + pos_, end_ - pos_);
        end_ -= pos_;
        offset_ += pos_;
        pos_ = 0;
    }
    if (buffer_.size() < std::max(size, kChunk)) {
        buffer_.resize(std::max(size, kChunk));
    }
    while (end_ < size && !ended_) {
        const std::size_t got =
            source_(std::span<std::uint8_t>(buffer_.data() + end_, buffer_.size() - end_));
        if (got == 0) {
            ended_ = true;
        }
        end_ += got;
    }
    return end_ >= size;
}

std::uint8_t DerStream::PeekTag() {
    if (fault_ != DerFault::None || !Fill(1)) {
        return 0;
    }
    return buffer_[pos_];
}

bool DerStream::ParseHeader(std::size_t& headerSize, std::uint64_t& length) {
    if (fault_ != DerFault::None) {
        return false;
    }
    if (!Fill(2)) {
        return Fail(DerFault::Truncated);
    }
    if ((buffer_[pos_] & 0x1F) == 0x1F) {
        return Fail(DerFault::Malformed);
    }
    length = buffer_[pos_ + 1];
    headerSize = 2;
    if (length & 0x80) {
        const std::size_t count = length & 0x7F;
        if (count == 0 || count > sizeof(std::uint64_t)) {
            return Fail(DerFault::Malformed);
        }
        if (!Fill(2 + count)) {
            return Fail(DerFault::Truncated);
        }
        if (buffer_[pos_ + 2] == 0) {
            return Fail(DerFault::Malformed);
        }
        length = 0;
        for (std::size_t i = 0; i < count; ++i) {
            length = (length << 8) | buffer_[pos_ + 2 + i];
        }
        if (length < 0x80) {
            return Fail(DerFault::Malformed);
        }
        headerSize += count;
    }
    return true;
}

bool DerStream::Header(std::uint8_t tag, std::uint64_t limit, std::uint64_t& contentEnd) {
    std::size_t headerSize = 0;
    std::uint64_t length = 0;
    if (PeekTag() != tag) {
        return Fail(fault_ != DerFault::None                ? fault_
                    : Position() >= limit || PeekTag() == 0 ? DerFault::Truncated
                                                            : DerFault::BadTag);
    }
    if (!ParseHeader(headerSize, length)) {
        return false;
    }
    const std::uint64_t start = Position() + headerSize;
    if (start > limit || length > limit - start) {
        return Fail(DerFault::Truncated);
    }
    pos_ += headerSize;
    contentEnd = start + length;
    return true;
}

bool DerStream::Element(std::uint64_t limit, DerElement& element) {
    std::size_t headerSize = 0;
    std::uint64_t length = 0;
    if (Position() >= limit) {
        return Fail(DerFault::Truncated);
    }
    if (!ParseHeader(headerSize, length)) {
        return false;
    }
    if (length > kMaxElement) {
        return Fail(DerFault::Malformed);
    }
    const std::size_t total = headerSize + static_cast<std::size_t>(length);
    if (total > limit - Position() || !Fill(total)) {
        return Fail(DerFault::Truncated);
    }
    const ByteView encoded(buffer_.data() + pos_, total);
    element.tag = encoded[0];
    element.encoded = encoded;
    element.content = encoded.subspan(headerSize);
    pos_ += total;
    return true;
}

DerChunkSource MemoryChunkSource(ByteView bytes) {
    return [bytes, at = std::size_t{0}](std::span<std::uint8_t> buffer) mutable {
        const std::size_t n = std::min(buffer.size(), bytes.size() - at);
        if (n > 0) {  // an empty view may have no data pointer at all
            std::memcpy(buffer.data(), bytes.data() + at, n);
        }
        at += n;
        return n;
    };
}

}  // namespace velmora::platform
