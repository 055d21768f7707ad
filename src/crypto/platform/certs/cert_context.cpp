#include "crypto/platform/certs/cert_context.h"

#include "crypto/platform/asn1/decode_internal.h"
#include "crypto/platform/asn1/decode_signed_content.h"
#include "crypto/platform/asn1/decode_values.h"
#include "crypto/platform/asn1/der_value_rules.h"
#include "crypto/platform/certs/strict_parse.h"

namespace velmora::platform {
namespace {

bool ReadTime(decode::Cursor& cursor, FileTime& time) {
    DerElement element;
    if (!cursor.Next(element)) {
        return false;
    }
    if (element.tag != der::kUtcTime && element.tag != der::kGeneralizedTime) {
        return cursor.Fail(error::kAsn1BadTag);
    }
    std::optional<FileTime> value =
        TimeOfContent(element.content, element.tag == der::kGeneralizedTime);
    if (!value) {
        return cursor.Fail(error::kAsn1Corrupt);
    }
    time = *value;
    return true;
}

}  // namespace

std::optional<CertInfo> DecodeCertificateToBeSigned(ByteView der) {
    DerElement tbs;
    if (!decode::ReadWhole(der, der::kSequence, tbs)) {
        return std::nullopt;
    }
    CertInfo info;
    decode::Cursor cursor(tbs.content);
    DerElement version, serial, algorithm, issuer, validity, subject, key, unique_id, extensions;
    if (cursor.ReadOptional(0xA0, version)) {
        DerElement number;
        if (!decode::ReadWhole(version.content, der::kInteger, number)) {
            return std::nullopt;
        }
        if (!der_rules::IntegerContentOk(number.content)) {
            SetLastError(error::kAsn1Corrupt);
            return std::nullopt;
        }
        std::optional<std::int64_t> value = decode::IntegerValue(number.content);
        if (!value) {
            return std::nullopt;
        }
        if (*value < 0 || *value > 2) {
            SetLastError(error::kAsn1Corrupt);
            return std::nullopt;
        }
        info.version = static_cast<int>(*value);
    }
    if (!cursor.Read(der::kInteger, serial) || !cursor.Read(der::kSequence, algorithm) ||
        !cursor.Read(der::kSequence, issuer) || !cursor.Read(der::kSequence, validity) ||
        !cursor.Read(der::kSequence, subject) || !cursor.Read(der::kSequence, key)) {
        return std::nullopt;
    }
    if (!der_rules::IntegerContentOk(serial.content) || !der_rules::NameOk(issuer) ||
        !der_rules::NameOk(subject)) {
        SetLastError(error::kAsn1Corrupt);
        return std::nullopt;
    }
    info.serialNumber = decode::Reversed(serial.content);
    if (!decode::ReadAlgorithmIdentifier(algorithm.content, info.signatureAlgorithm)) {
        return std::nullopt;
    }
    info.issuer.assign(issuer.encoded.begin(), issuer.encoded.end());
    info.subject.assign(subject.encoded.begin(), subject.encoded.end());
    decode::Cursor times(validity.content);
    if (!ReadTime(times, info.notBefore) || !ReadTime(times, info.notAfter) || !times.Finish()) {
        return std::nullopt;
    }
    if (!decode::ReadPublicKeyInfo(key, info.publicKey)) {
        return std::nullopt;
    }
    for (const std::uint8_t tag : {std::uint8_t{0x81}, std::uint8_t{0x82}}) {
        if (cursor.ReadOptional(tag, unique_id) &&
            !der_rules::BitStringContentOk(unique_id.content)) {
            SetLastError(error::kAsn1Corrupt);
            return std::nullopt;
        }
    }
    if (cursor.ReadOptional(0xA3, extensions)) {
        DerElement sequence;
        if (!decode::ReadWhole(extensions.content, der::kSequence, sequence) ||
            !decode::ReadExtensions(sequence.content, info.extensions)) {
            return std::nullopt;
        }
    }
    if (!cursor.Finish()) {
        return std::nullopt;
    }
    return info;
}

CertContext CreateCertificateContext(ByteView der) {
    std::optional<SignedContent> signed_content = DecodeSignedContent(der);
    if (!signed_content) {
        return nullptr;
    }
    std::optional<CertInfo> info = DecodeCertificateToBeSigned(signed_content->toBeSigned);
    if (!info) {
        return nullptr;
    }
    // The key and the extensions must decode as OpenSSL reads them: the
    // chain engine, the stores and the message functions hand them to it.
    if (!OpenSslAcceptsKeyAndExtensions(info->publicKey, info->extensions)) {
        SetLastError(error::kAsn1Corrupt);
        return nullptr;
    }
    std::shared_ptr<Certificate> cert(new Certificate());
    cert->encoded_.assign(der.begin(), der.end());
    cert->info_ = std::move(*info);
    cert->signature_algorithm_ = std::move(signed_content->signatureAlgorithm);
    cert->signature_ = std::move(signed_content->signature);
    return cert;
}

CertContext Certificate::WithKeyProv(std::optional<KeyProvInfo> key_prov) const {
    std::shared_ptr<Certificate> copy(new Certificate(*this));
    copy->key_prov_ = std::move(key_prov);
    return copy;
}

}  // namespace velmora::platform
