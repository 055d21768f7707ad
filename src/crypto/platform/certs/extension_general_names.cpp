// GeneralNames and the extensions built around them: alternative names,
// the authority key identifier and CRL distribution points.
#include "crypto/platform/asn1/decode_internal.h"
#include "crypto/platform/certs/extension_values.h"
#include "crypto/platform/certs/name.h"
#include "crypto/platform/certs/name_text.h"

namespace velmora::platform {
namespace {

// Identifiers of the GeneralName choices ([n] IMPLICIT, or EXPLICIT for the
// directory name, which is a CHOICE itself).
constexpr std::uint8_t kOtherNameTag = 0xA0;
constexpr std::uint8_t kRfc822Tag = 0x81;
constexpr std::uint8_t kDnsTag = 0x82;
constexpr std::uint8_t kX400Tag = 0xA3;
constexpr std::uint8_t kDirectoryTag = 0xA4;
constexpr std::uint8_t kEdiPartyTag = 0xA5;
constexpr std::uint8_t kUrlTag = 0x86;
constexpr std::uint8_t kIpTag = 0x87;
constexpr std::uint8_t kRegisteredIdTag = 0x88;

bool ReadGeneralName(const DerElement& element, AltNameEntry& entry) {
    switch (element.tag) {
        case kOtherNameTag: {
            entry.choice = alt_name::kOtherName;
            decode::Cursor cursor(element.content);
            DerElement wrapper, value;
            if (!decode::ReadOid(cursor, entry.otherNameOid) || !cursor.Read(0xA0, wrapper) ||
                !cursor.Finish()) {
                return false;
            }
            decode::Cursor inner(wrapper.content);
            if (!inner.Next(value) || !inner.Finish()) {
                return false;
            }
            entry.otherNameValue.assign(value.encoded.begin(), value.encoded.end());
            return true;
        }
        case kRfc822Tag:
        case kDnsTag:
        case kUrlTag:
            entry.choice = element.tag == kRfc822Tag ? alt_name::kRfc822Name
                           : element.tag == kDnsTag  ? alt_name::kDnsName
                                                     : alt_name::kUrl;
            entry.text = RdnValueToStr(rdn_type::kIa5String, element.content);
            return true;
        case kDirectoryTag: {
            entry.choice = alt_name::kDirectoryName;
            DerElement name;
            if (!decode::ReadWhole(element.content, der::kSequence, name) ||
                !DecodeName(name.encoded)) {
                return false;
            }
            entry.directoryName.assign(name.encoded.begin(), name.encoded.end());
            return true;
        }
        case kX400Tag:
        case kEdiPartyTag:
            entry.choice =
                element.tag == kX400Tag ? alt_name::kX400Address : alt_name::kEdiPartyName;
            entry.raw.assign(element.encoded.begin(), element.encoded.end());
            return true;
        case kIpTag:
            entry.choice = alt_name::kIpAddress;
            entry.ipAddress.assign(element.content.begin(), element.content.end());
            return true;
        case kRegisteredIdTag: {
            entry.choice = alt_name::kRegisteredId;
            std::optional<std::string> oid = OidTextOfContent(element.content);
            if (!oid) {
                SetLastError(error::kAsn1Corrupt);
                return false;
            }
            entry.registeredId = std::move(*oid);
            return true;
        }
        default:
            SetLastError(error::kAsn1BadTag);
            return false;
    }
}

}  // namespace

namespace decode {

bool ReadGeneralNames(ByteView content, AltNameInfo& names) {
    Cursor cursor(content);
    DerElement element;
    while (!cursor.AtEnd()) {
        AltNameEntry entry;
        if (!cursor.Next(element) || !ReadGeneralName(element, entry)) {
            return false;
        }
        names.entries.push_back(std::move(entry));
    }
    return true;
}

}  // namespace decode

std::optional<AltNameInfo> DecodeAltNames(ByteView der) {
    DerElement sequence;
    AltNameInfo names;
    if (!decode::ReadWhole(der, der::kSequence, sequence) ||
        !decode::ReadGeneralNames(sequence.content, names)) {
        return std::nullopt;
    }
    return names;
}

std::optional<AuthorityKeyId> DecodeAuthorityKeyId(ByteView der) {
    DerElement sequence, key_id, issuer, serial;
    if (!decode::ReadWhole(der, der::kSequence, sequence)) {
        return std::nullopt;
    }
    AuthorityKeyId result;
    decode::Cursor cursor(sequence.content);
    if (cursor.ReadOptional(0x80, key_id)) {
        result.keyId.assign(key_id.content.begin(), key_id.content.end());
    }
    if (cursor.ReadOptional(0xA1, issuer) &&
        !decode::ReadGeneralNames(issuer.content, result.issuer)) {
        return std::nullopt;
    }
    if (cursor.ReadOptional(0x82, serial)) {
        if (serial.content.empty()) {
            SetLastError(error::kAsn1Corrupt);
            return std::nullopt;
        }
        result.serialNumber = decode::Reversed(serial.content);
    }
    if (!cursor.Finish()) {
        return std::nullopt;
    }
    return result;
}

std::optional<std::vector<CrlDistPoint>> DecodeCrlDistPoints(ByteView der) {
    DerElement sequence, element, name, reasons, issuer, choice;
    if (!decode::ReadWhole(der, der::kSequence, sequence)) {
        return std::nullopt;
    }
    std::vector<CrlDistPoint> points;
    decode::Cursor cursor(sequence.content);
    while (!cursor.AtEnd()) {
        if (!cursor.Read(der::kSequence, element)) {
            return std::nullopt;
        }
        CrlDistPoint point;
        decode::Cursor fields(element.content);
        if (fields.ReadOptional(0xA0, name)) {
            // DistributionPointName is a CHOICE, so its [0] is explicit:
            // inside stands [0] fullName or [1] nameRelativeToCRLIssuer.
            decode::Cursor inner(name.content);
            if (!inner.Next(choice) || !inner.Finish()) {
                return std::nullopt;
            }
            if (choice.tag == 0xA0) {
                point.nameChoice = CrlDistPoint::kFullName;
                if (!decode::ReadGeneralNames(choice.content, point.fullName)) {
                    return std::nullopt;
                }
            } else if (choice.tag == 0xA1) {
                point.nameChoice = CrlDistPoint::kRelativeName;
                // The RDN stands [1] IMPLICIT; give it its own SET identifier
                // back so that it reads as the RDN it is.
                point.relativeName.assign(choice.encoded.begin(), choice.encoded.end());
                point.relativeName[0] = der::kSet;
            } else {
                SetLastError(error::kAsn1BadTag);
                return std::nullopt;
            }
        }
        if (fields.ReadOptional(0x81, reasons) &&
            !decode::ReadBitStringContent(reasons.content, point.reasonFlags)) {
            return std::nullopt;
        }
        if (fields.ReadOptional(0xA2, issuer) &&
            !decode::ReadGeneralNames(issuer.content, point.crlIssuer)) {
            return std::nullopt;
        }
        if (!fields.Finish()) {
            return std::nullopt;
        }
        points.push_back(std::move(point));
    }
    return points;
}

}  // namespace velmora::platform
