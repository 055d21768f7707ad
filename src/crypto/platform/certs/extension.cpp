#include "crypto/platform/certs/extension.h"

#include "crypto/platform/asn1/decode_internal.h"

namespace velmora::platform {

namespace decode {

bool ReadExtensions(ByteView content, std::vector<Extension>& extensions) {
    Cursor cursor(content);
    DerElement element, critical, value;
    while (!cursor.AtEnd()) {
        if (!cursor.Read(der::kSequence, element)) {
            return false;
        }
        Extension extension;
        Cursor fields(element.content);
        if (!ReadOid(fields, extension.oid)) {
            return false;
        }
        if (fields.ReadOptional(der::kBoolean, critical)) {
            if (critical.content.size() != 1) {
                return fields.Fail(error::kAsn1Corrupt);
            }
            extension.critical = critical.content[0] != 0;
        }
        if (!fields.Read(der::kOctetString, value) || !fields.Finish()) {
            return false;
        }
        extension.value.assign(value.content.begin(), value.content.end());
        extensions.push_back(std::move(extension));
    }
    return true;
}

}  // namespace decode

const Extension* FindExtension(const std::vector<Extension>& extensions, std::string_view oid) {
    for (const Extension& extension : extensions) {
        if (extension.oid == oid) {
            return &extension;
        }
    }
    return nullptr;
}

std::optional<std::vector<Extension>> DecodeExtensions(ByteView der) {
    DerElement sequence;
    std::vector<Extension> extensions;
    if (!decode::ReadWhole(der, der::kSequence, sequence) ||
        !decode::ReadExtensions(sequence.content, extensions)) {
        return std::nullopt;
    }
    return extensions;
}

}  // namespace velmora::platform
