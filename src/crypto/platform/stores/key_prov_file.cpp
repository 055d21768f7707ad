#include "crypto/platform/stores/key_prov_file.h"

#include "crypto/platform/asn1/der_reader.h"
#include "crypto/platform/asn1/encode_der.h"
#include "crypto/platform/system/last_error.h"
#include "encoding/utf8.h"

#include <cstdint>

namespace velmora::platform {
namespace {

constexpr std::uint8_t kUtf8String = 0x0C;

Bytes IntegerDer(std::uint32_t value) {
    Bytes content;
    for (int shift = 24; shift >= 0; shift -= 8) {
        const auto byte = static_cast<std::uint8_t>(value >> shift);
        if (content.empty() && byte == 0 && shift > 0) {
            continue;
        }
        // A set top bit would read as a negative number.
        if (content.empty() && (byte & 0x80) != 0) {
            content.push_back(0);
        }
        content.push_back(byte);
    }
    return Der(der::kInteger, content);
}

// A non-negative INTEGER of at most 32 bits, in its shortest form.
std::optional<std::uint32_t> ReadUint32(DerReader& reader) {
    DerElement element;
    if (!reader.Read(der::kInteger, element)) {
        return std::nullopt;
    }
    const ByteView bytes = element.content;
    if (bytes.empty() || (bytes[0] & 0x80) != 0 ||
        (bytes.size() > 1 && bytes[0] == 0 && (bytes[1] & 0x80) == 0) || bytes.size() > 5 ||
        (bytes.size() == 5 && bytes[0] != 0)) {
        return std::nullopt;
    }
    std::uint32_t value = 0;
    for (const std::uint8_t byte : bytes) {
        value = (value << 8) | byte;
    }
    return value;
}

std::optional<std::string> ReadText(DerReader& reader) {
    DerElement element;
    if (!reader.Read(kUtf8String, element)) {
        return std::nullopt;
    }
    std::string text = AsText(element.content);
    if (!IsValidUtf8(text)) {
        return std::nullopt;
    }
    return text;
}

}  // namespace

Bytes EncodeKeyProvFile(const KeyProvInfo& info) {
    const Bytes container = Der(kUtf8String, AsBytes(info.containerName));
    const Bytes provider = Der(kUtf8String, AsBytes(info.providerName));
    const Bytes type = IntegerDer(info.providerType);
    const Bytes flags = IntegerDer(0);
    const Bytes key_spec = IntegerDer(info.keySpec);
    return DerOf(der::kSequence, {container, provider, type, flags, key_spec});
}

std::optional<KeyProvInfo> DecodeKeyProvFile(ByteView bytes) {
    DerElement record;
    if (!ReadSingleDer(bytes, der::kSequence, record)) {
        return Fail(error::kAsn1BadTag, std::optional<KeyProvInfo>());
    }
    DerReader reader(record.content);
    KeyProvInfo info;
    auto container = ReadText(reader);
    auto provider = ReadText(reader);
    const auto type = ReadUint32(reader);
    const auto flags = ReadUint32(reader);
    const auto key_spec = ReadUint32(reader);
    // The property is always written with flags 0; other flags are no file of ours.
    if (!container || !provider || !type || flags != 0u || !key_spec || !reader.AtEnd()) {
        return Fail(error::kAsn1Corrupt, std::optional<KeyProvInfo>());
    }
    info.containerName = std::move(*container);
    info.providerName = std::move(*provider);
    info.providerType = *type;
    info.keySpec = *key_spec;
    return info;
}

}  // namespace velmora::platform
