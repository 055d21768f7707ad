// Decoders of the extension structures that stand on their own: policies,
// key usage and key attributes, extended key usage, basic constraints, the
// private key usage period and the subject key identifier.
#include "crypto/platform/certs/extension_values.h"

#include "crypto/platform/asn1/decode_internal.h"

#include <limits>

namespace velmora::platform {
namespace {

// SEQUENCE { [0] GeneralizedTime OPTIONAL, [1] GeneralizedTime OPTIONAL }
// from its content; the times stand with implicit tags.
bool ReadUsagePeriod(ByteView content, PrivateKeyUsagePeriod& period) {
    decode::Cursor cursor(content);
    DerElement element;
    if (cursor.ReadOptional(0x80, element)) {
        std::optional<FileTime> time = TimeOfContent(element.content, true);
        if (!time) {
            return cursor.Fail(error::kAsn1Corrupt);
        }
        period.notBefore = *time;
    }
    if (cursor.ReadOptional(0x81, element)) {
        std::optional<FileTime> time = TimeOfContent(element.content, true);
        if (!time) {
            return cursor.Fail(error::kAsn1Corrupt);
        }
        period.notAfter = *time;
    }
    return cursor.Finish();
}

// A SEQUENCE OF OBJECT IDENTIFIER that fills the input.
std::optional<std::vector<std::string>> OidSequence(ByteView der) {
    DerElement sequence;
    if (!decode::ReadWhole(der, der::kSequence, sequence)) {
        return std::nullopt;
    }
    std::vector<std::string> oids;
    decode::Cursor cursor(sequence.content);
    while (!cursor.AtEnd()) {
        std::string oid;
        if (!decode::ReadOid(cursor, oid)) {
            return std::nullopt;
        }
        oids.push_back(std::move(oid));
    }
    return oids;
}

}  // namespace

std::optional<std::vector<std::string>> DecodeCertPolicies(ByteView der) {
    DerElement sequence, policy, qualifiers;
    if (!decode::ReadWhole(der, der::kSequence, sequence)) {
        return std::nullopt;
    }
    std::vector<std::string> oids;
    decode::Cursor cursor(sequence.content);
    while (!cursor.AtEnd()) {
        if (!cursor.Read(der::kSequence, policy)) {
            return std::nullopt;
        }
        decode::Cursor fields(policy.content);
        std::string oid;
        if (!decode::ReadOid(fields, oid)) {
            return std::nullopt;
        }
        fields.ReadOptional(der::kSequence, qualifiers);
        if (!fields.Finish()) {
            return std::nullopt;
        }
        oids.push_back(std::move(oid));
    }
    return oids;
}

std::optional<KeyAttributes> DecodeKeyAttributes(ByteView der) {
    DerElement sequence, key_id, usage, period;
    if (!decode::ReadWhole(der, der::kSequence, sequence)) {
        return std::nullopt;
    }
    KeyAttributes attributes;
    decode::Cursor cursor(sequence.content);
    if (cursor.ReadOptional(der::kOctetString, key_id)) {
        attributes.keyId.assign(key_id.content.begin(), key_id.content.end());
    }
    if (cursor.ReadOptional(der::kBitString, usage) &&
        !decode::ReadBitStringContent(usage.content, attributes.intendedKeyUsage)) {
        return std::nullopt;
    }
    if (cursor.ReadOptional(der::kSequence, period)) {
        PrivateKeyUsagePeriod times;
        if (!ReadUsagePeriod(period.content, times)) {
            return std::nullopt;
        }
        attributes.privateKeyUsagePeriod = times;
    }
    if (!cursor.Finish()) {
        return std::nullopt;
    }
    return attributes;
}

std::optional<BitString> DecodeKeyUsage(ByteView der) {
    return DecodeBitString(der);
}

std::optional<std::vector<std::string>> DecodeEnhancedKeyUsage(ByteView der) {
    return OidSequence(der);
}

std::optional<BasicConstraints> DecodeBasicConstraints(ByteView der) {
    DerElement sequence, ca, path_len;
    if (!decode::ReadWhole(der, der::kSequence, sequence)) {
        return std::nullopt;
    }
    BasicConstraints constraints;
    decode::Cursor cursor(sequence.content);
    if (cursor.ReadOptional(der::kBoolean, ca)) {
        if (ca.content.size() != 1) {
            SetLastError(error::kAsn1Corrupt);
            return std::nullopt;
        }
        constraints.ca = ca.content[0] != 0;
    }
    if (cursor.ReadOptional(der::kInteger, path_len)) {
        std::optional<std::int64_t> value = decode::IntegerValue(path_len.content);
        if (!value) {
            return std::nullopt;
        }
        if (*value < 0) {
            SetLastError(error::kAsn1Corrupt);
            return std::nullopt;
        }
        if (*value > std::numeric_limits<std::uint32_t>::max()) {
            SetLastError(error::kAsn1Large);
            return std::nullopt;
        }
        constraints.hasPathLen = true;
        constraints.pathLen = static_cast<std::uint32_t>(*value);
    }
    if (!cursor.Finish()) {
        return std::nullopt;
    }
    return constraints;
}

std::optional<PrivateKeyUsagePeriod> DecodePrivateKeyUsagePeriod(ByteView der) {
    DerElement sequence;
    PrivateKeyUsagePeriod period;
    if (!decode::ReadWhole(der, der::kSequence, sequence) ||
        !ReadUsagePeriod(sequence.content, period)) {
        return std::nullopt;
    }
    return period;
}

std::optional<Bytes> DecodeSubjectKeyId(ByteView der) {
    return DecodeOctetString(der);
}

}  // namespace velmora::platform
