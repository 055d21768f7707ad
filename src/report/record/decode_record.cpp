#include "report/record/decode_record.h"

#include "crypto/platform/asn1/decode_signed_content.h"
#include "crypto/platform/asn1/oid_registry.h"
#include "crypto/platform/certs/cert_hash.h"
#include "crypto/platform/certs/extension.h"
#include "crypto/platform/certs/name_text.h"
#include "crypto/platform/certs/request.h"
#include "crypto/platform/certs/signature_check.h"
#include "crypto/platform/certs/strict_parse.h"
#include "crypto/platform/system/system_info.h"
#include "encoding/text_parts.h"
#include "report/extensions/decode_extensions.h"
#include "report/names/attribute_label.h"
#include "report/record/file_armour.h"
#include "report/record/gost_key_hash.h"
#include "report/record/record_lookup.h"
#include "report/text/value_text.h"

#include <optional>
#include <string_view>

namespace velmora {

namespace {

constexpr std::string_view kCommonName = "2.5.4.3";
constexpr std::string_view kSurname = "2.5.4.4";
constexpr std::string_view kSerialNumber = "2.5.4.5";
constexpr std::string_view kCountry = "2.5.4.6";
constexpr std::string_view kLocality = "2.5.4.7";
constexpr std::string_view kRegion = "2.5.4.8";
constexpr std::string_view kStreet = "2.5.4.9";
constexpr std::string_view kOrganization = "2.5.4.10";
constexpr std::string_view kOrgUnit = "2.5.4.11";
constexpr std::string_view kTitle = "2.5.4.12";
constexpr std::string_view kGivenName = "2.5.4.42";
constexpr std::string_view kEmail = "1.2.840.113549.1.9.1";
constexpr std::string_view kAsfkTitle = "1.2.840.113549.1.9.2";
constexpr std::string_view kOgrn = "1.2.643.100.1";
constexpr std::string_view kSnils = "1.2.643.100.3";
constexpr std::string_view kInn = "1.2.643.3.131.1.1";
// One attribute holding OGRN, SNILS and INN as "oid=value;oid=value".
constexpr std::string_view kCombinedIds = "1.2.372.980001.8.4.1";
constexpr std::string_view kSubjectAltName = "2.5.29.17";
constexpr std::string_view kSubjectSignTool = "1.2.643.100.111";
constexpr std::string_view kIssuerSignTools = "1.2.643.100.112";
constexpr std::string_view kMsExtensionRequest = "1.3.6.1.4.1.311.2.1.14";

TPublicKeyInfo PublicKeyOf(const platform::PublicKeyInfo& info) {
    TPublicKeyInfo key;
    key.Value = HexPairsText(info.publicKey);
    key.AlgorithmOid = info.algorithm.oid;
    key.Parameters = HexPairsText(info.algorithm.parameters);
    key.AlgorithmName = platform::FindOidName(info.algorithm.oid).value_or(std::string());
    return key;
}

// The four values that the subject alternative name carries.
void TakeAltNameValues(TRCstruct& record) {
    const int index = ExtensionIndex(record, kSubjectAltName);
    if (index < 0) {
        return;
    }
    const TALTERNATE_NAMES& names = record.Extensions.Items[index].AltNames;
    record.SpzCode = AltNameValue(names, "1.2.643.3.61.502710.1.5", 1);
    record.GmuCode = AltNameValue(names, "1.2.643.3.61.502710.1.8", 1);
    record.LanDocsId = AltNameValue(names, "1.2.643.1.12345.1", 1);
    record.ChangeKeyId = AltNameValue(names, "2.5.4.12", 1);
}

// The attributes that hold the requested extensions (PKCS#9's, and the
// one an older enrolment tool writes) must hold extensions; other
// attributes, such as a challenge password, are skipped when they hold none.
bool ExtensionRequestsDecode(const platform::RequestInfo& info) {
    for (const platform::RequestAttribute& attribute : info.attributes) {
        if (attribute.oid != platform::kExtensionRequestOid &&
            attribute.oid != kMsExtensionRequest) {
            continue;
        }
        if (attribute.values.empty() || !platform::DecodeExtensions(attribute.values.front())) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool DecodeRequest(TRCstruct& record, ByteView fileBytes, Dialogs* dialogs) {
    record.FileText = AsText(fileBytes);
    const std::optional<Bytes> der = DerOfFileBytes(fileBytes);
    if (!der) {
        return false;
    }
    const std::optional<platform::SignedContent> signedContent =
        platform::DecodeSignedContent(*der);
    if (!signedContent) {
        return false;
    }
    const std::optional<platform::RequestInfo> info =
        platform::DecodeRequestToBeSigned(signedContent->toBeSigned);
    // A damaged request is no request: its subject, its key and its
    // extensions must all decode, or nothing of it is shown.
    if (!info || !platform::OpenSslAcceptsRequest(*der) || !ExtensionRequestsDecode(*info)) {
        return false;
    }

    const platform::AlgorithmIdentifier& signatureAlgorithm = signedContent->signatureAlgorithm;
    record.Signature.AlgorithmName = AttributeLabel(signatureAlgorithm.oid);
    record.Signature.AlgorithmOid = signatureAlgorithm.oid;
    record.Signature.Value = HexPairsText(signedContent->signature);
    record.Signature.Parameters = HexPairsText(signatureAlgorithm.parameters);

    record.SignatureCheck = platform::VerifyCertificateSignature(*der, info->publicKey)
                                ? "Подпись соответствует открытому ключу"
                                : platform::LastErrorText();

    record.PublicKey = PublicKeyOf(info->publicKey);
    record.PublicKeySha1 =
        "Хеш открытого ключа (sha1): " +
        HexSpacedText(platform::HashPublicKeyInfoSha1(info->publicKey).value_or(Bytes()));
    record.GostKeyHash = GostPublicKeyHash(info->publicKey.publicKey);

    const std::optional<platform::NameInfo> subject = platform::DecodeName(info->subject);
    if (!subject) {
        return false;
    }
    DecodeNameList(record.Subject, *subject);
    record.Organization = NameListValue(record.Subject, kOrganization, 1);
    record.OrgUnit1 = NameListValue(record.Subject, kOrgUnit, 1);
    record.OrgUnit2 = NameListValue(record.Subject, kOrgUnit, 2);
    record.CommonName = NameAttributeValue(subject, kCommonName, dialogs);
    record.Surname = NameAttributeValue(subject, kSurname, dialogs);
    record.GivenName = NameAttributeValue(subject, kGivenName, dialogs);
    record.Locality = NameAttributeValue(subject, kLocality, dialogs);
    record.Country = NameAttributeValue(subject, kCountry, dialogs);
    record.Region = NameAttributeValue(subject, kRegion, dialogs);
    record.AsfkTitle = NameListValue(record.Subject, kAsfkTitle, 1);
    record.Title = NameAttributeValue(subject, kTitle, dialogs);
    record.Email = NameAttributeValue(subject, kEmail, dialogs);
    record.Street = NameAttributeValue(subject, kStreet, dialogs);

    const std::string combined = NameListValue(record.Subject, kCombinedIds, 1);
    if (!combined.empty()) {
        record.Qualified = true;
    }
    record.Snils = KeyValueOf(combined, kSnils);
    record.Inn = KeyValueOf(combined, kInn);
    record.Ogrn = KeyValueOf(combined, kOgrn);
    if (!record.Qualified) {
        // Without the combined attribute the SNILS stands in the serial number.
        record.Snils = NameAttributeValue(subject, kSerialNumber, dialogs);
    }

    for (const platform::RequestAttribute& attribute : info->attributes) {
        if (attribute.values.empty()) {
            continue;
        }
        const std::optional<std::vector<platform::Extension>> extensions =
            platform::DecodeExtensions(attribute.values.front());
        if (!extensions) {
            continue;
        }
        // The last attribute that carries extensions names the heading.
        record.Extensions.HeaderOid = attribute.oid;
        record.Extensions.HeaderName = AttributeLabel(attribute.oid);
        DecodeExtensions(*extensions, record.Extensions);
        TakeAltNameValues(record);
        if (ExtensionIndex(record, kSubjectSignTool) >= 0) {
            record.Qualified = true;
        }
    }

    record.Kind = "REQ";
    return true;
}

bool DecodeCertificate(TRCstruct& record, const platform::CertContext& certificate,
                       Dialogs* dialogs) {
    if (certificate == nullptr) {
        return false;
    }
    const platform::CertInfo& info = certificate->Info();
    // A certificate whose names do not decode is damaged: nothing of it is shown.
    const std::optional<platform::NameInfo> subject = platform::DecodeName(info.subject);
    if (!subject || !DecodeNameList(record.Issuer, info.issuer)) {
        return false;
    }
    record.Signature.Value = HexPairsText(certificate->Signature());
    record.NotBefore = FileTimeText(info.notBefore);
    record.NotAfter = FileTimeText(info.notAfter);
    record.SerialNumber = SerialNumberText(info.serialNumber);
    record.Signature.AlgorithmName = AttributeLabel(info.signatureAlgorithm.oid);
    record.Signature.AlgorithmOid = info.signatureAlgorithm.oid;

    // The subject is decoded once for the list and every attribute taken from it.
    DecodeNameList(record.Subject, *subject);
    record.Organization = NameListValue(record.Subject, kOrganization, 1);
    record.OrgUnit1 = NameListValue(record.Subject, kOrgUnit, 1);
    record.OrgUnit2 = NameListValue(record.Subject, kOrgUnit, 2);
    record.CommonName = NameListValue(record.Subject, kCommonName, 1);
    record.Surname = NameListValue(record.Subject, kSurname, 1);
    record.GivenName = NameListValue(record.Subject, kGivenName, 1);
    record.Locality = NameListValue(record.Subject, kLocality, 1);
    record.Country = NameAttributeValue(subject, kCountry, dialogs);
    record.Region = NameAttributeValue(subject, kRegion, dialogs);
    record.AsfkTitle = NameAttributeValue(subject, kAsfkTitle, dialogs);
    record.Title = NameAttributeValue(subject, kTitle, dialogs);
    record.Email = NameAttributeValue(subject, kEmail, dialogs);
    record.Street = NameAttributeValue(subject, kStreet, dialogs);

    record.Snils = NameListValue(record.Subject, kSnils, 1);
    if (!record.Snils.empty()) {
        record.Qualified = true;
    }
    record.Inn = NameListValue(record.Subject, kInn, 1);
    record.Ogrn = NameAttributeValue(subject, kOgrn, dialogs);

    record.Thumbprint = HexSpacedText(platform::HashCertificateSha1(certificate->Encoded()));
    record.GostKeyHash = GostPublicKeyHash(info.publicKey.publicKey);

    if (const platform::Extension* tool =
            platform::FindExtension(info.extensions, kSubjectSignTool)) {
        record.SignToolText = platform::RdnValueTextOfEncoded(tool->value);
    }
    DecodeExtensions(info.extensions, record.Extensions);
    TakeAltNameValues(record);
    if (ExtensionIndex(record, kSubjectSignTool) >= 0 &&
        ExtensionIndex(record, kIssuerSignTools) >= 0) {
        record.Qualified = true;
    }

    record.PublicKey = PublicKeyOf(info.publicKey);
    record.ContainerName = ContainerOfCertificate(certificate);
    record.Kind = "CERT";
    return true;
}

}  // namespace velmora
