#include "crypto/platform/asn1/decode_signed_content.h"

#include "crypto/platform/asn1/decode_internal.h"
#include "crypto/platform/asn1/decode_values.h"

namespace velmora::platform {

std::optional<SignedContent> DecodeSignedContent(ByteView der) {
    DerElement outer, to_be_signed, algorithm, signature;
    if (!decode::ReadWhole(der, der::kSequence, outer)) {
        return std::nullopt;
    }
    decode::Cursor cursor(outer.content);
    SignedContent content;
    BitString bits;
    if (!cursor.Read(der::kSequence, to_be_signed) || !cursor.Read(der::kSequence, algorithm) ||
        !cursor.Read(der::kBitString, signature) || !cursor.Finish() ||
        !decode::ReadAlgorithmIdentifier(algorithm.content, content.signatureAlgorithm) ||
        !decode::ReadBitStringContent(signature.content, bits)) {
        return std::nullopt;
    }
    content.toBeSigned.assign(to_be_signed.encoded.begin(), to_be_signed.encoded.end());
    // The platform hands signatures out least significant byte first.
    content.signature = decode::Reversed(bits.bytes);
    return content;
}

}  // namespace velmora::platform
