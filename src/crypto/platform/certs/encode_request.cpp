#include "crypto/platform/certs/encode_request.h"

#include "crypto/platform/asn1/der_reader.h"
#include "crypto/platform/asn1/encode_der.h"
#include "crypto/platform/asn1/encode_values.h"
#include "crypto/platform/system/last_error.h"

namespace velmora::platform {
namespace {

bool IsOneElement(ByteView der, std::uint8_t tag) {
    DerElement element;
    return ReadSingleDer(der, tag, element);
}

std::optional<Bytes> Refuse() {
    SetLastError(error::kInvalidParameter);
    return std::nullopt;
}

}  // namespace

std::optional<Bytes> EncodeRequestToBeSigned(const RequestInfo& request) {
    if (request.version < 0 || request.version > 127 ||
        !IsOneElement(request.subject, der::kSequence)) {
        return Refuse();
    }
    std::optional<Bytes> key = EncodePublicKeyInfo(request.publicKey);
    if (!key) {
        return std::nullopt;
    }
    Bytes attributes;
    for (const RequestAttribute& attribute : request.attributes) {
        std::optional<Bytes> oid = OidContentOfText(attribute.oid);
        if (!oid) {
            return Refuse();
        }
        Bytes values;
        for (const Bytes& value : attribute.values) {
            DerReader reader(value);
            DerElement element;
            if (!reader.Next(element) || !reader.AtEnd()) {
                return Refuse();
            }
            values.insert(values.end(), value.begin(), value.end());
        }
        Bytes fields;
        AppendDer(fields, der::kOid, *oid);
        AppendDer(fields, der::kSet, values);
        AppendDer(attributes, der::kSequence, fields);
    }
    const std::uint8_t version = static_cast<std::uint8_t>(request.version);
    return DerOf(der::kSequence, {Der(der::kInteger, ByteView(&version, 1)), request.subject, *key,
                                  Der(0xA0, attributes)});
}

std::optional<Bytes> EncodeSignedContent(const SignedContent& content) {
    if (!IsOneElement(content.toBeSigned, der::kSequence)) {
        return Refuse();
    }
    std::optional<Bytes> algorithm = EncodeAlgorithmIdentifier(content.signatureAlgorithm);
    if (!algorithm) {
        return std::nullopt;
    }
    Bytes bits = {0};
    bits.insert(bits.end(), content.signature.rbegin(), content.signature.rend());
    return DerOf(der::kSequence, {content.toBeSigned, *algorithm, Der(der::kBitString, bits)});
}

}  // namespace velmora::platform
