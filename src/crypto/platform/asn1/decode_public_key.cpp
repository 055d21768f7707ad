#include "crypto/platform/asn1/decode_public_key.h"

#include "crypto/platform/asn1/decode_internal.h"
#include "crypto/platform/asn1/der_value_rules.h"

namespace velmora::platform {

namespace decode {

bool ReadAlgorithmIdentifier(ByteView content, AlgorithmIdentifier& algorithm) {
    if (!der_rules::AlgorithmIdentifierOk(content)) {
        SetLastError(error::kAsn1Corrupt);
        return false;
    }
    Cursor cursor(content);
    if (!ReadOid(cursor, algorithm.oid)) {
        return false;
    }
    algorithm.parameters.clear();
    DerElement parameters;
    if (!cursor.AtEnd()) {
        if (!cursor.Next(parameters)) {
            return false;
        }
        algorithm.parameters.assign(parameters.encoded.begin(), parameters.encoded.end());
    }
    return cursor.Finish();
}

bool ReadPublicKeyInfo(const DerElement& element, PublicKeyInfo& info) {
    Cursor cursor(element.content);
    DerElement algorithm, key;
    BitString bits;
    if (!cursor.Read(der::kSequence, algorithm) ||
        !ReadAlgorithmIdentifier(algorithm.content, info.algorithm) ||
        !cursor.Read(der::kBitString, key) || !cursor.Finish() ||
        !ReadBitStringContent(key.content, bits)) {
        return false;
    }
    info.publicKey = std::move(bits.bytes);
    info.unusedBits = bits.unusedBits;
    info.encoded.assign(element.encoded.begin(), element.encoded.end());
    return true;
}

}  // namespace decode

std::optional<AlgorithmIdentifier> DecodeAlgorithmIdentifier(ByteView der) {
    DerElement element;
    AlgorithmIdentifier algorithm;
    if (!decode::ReadWhole(der, der::kSequence, element) ||
        !decode::ReadAlgorithmIdentifier(element.content, algorithm)) {
        return std::nullopt;
    }
    return algorithm;
}

std::optional<PublicKeyInfo> DecodePublicKeyInfo(ByteView der) {
    DerElement element;
    PublicKeyInfo info;
    if (!decode::ReadWhole(der, der::kSequence, element) ||
        !decode::ReadPublicKeyInfo(element, info)) {
        return std::nullopt;
    }
    return info;
}

}  // namespace velmora::platform
