#include "report/extensions/decode_extensions.h"

#include "crypto/platform/asn1/decode_values.h"
#include "crypto/platform/certs/extension_values.h"
#include "crypto/platform/certs/name_text.h"
#include "encoding/asn1/asn1_dump.h"
#include "report/extensions/alt_names.h"
#include "report/names/attribute_label.h"
#include "report/names/text_cut.h"
#include "report/text/value_text.h"

#include <array>
#include <cstdio>
#include <optional>
#include <utility>

namespace velmora {

namespace {

struct KindRow {
    std::string_view oid;
    ExtensionKind kind;
};

// Compared in this order, byte for byte.
constexpr std::array<KindRow, 14> kKinds{{
    {"1.2.643.100.111", ExtensionKind::kSubjectSignTool},
    {"2.5.29.17", ExtensionKind::kSubjectAltName},
    {"1.2.643.100.112", ExtensionKind::kIssuerSignTools},
    {"2.5.29.32", ExtensionKind::kPolicies},
    {"2.5.29.37", ExtensionKind::kExtendedKeyUsage},
    {"2.5.29.15", ExtensionKind::kKeyUsage},
    {"2.5.29.2", ExtensionKind::kKeyAttributes},
    {"2.5.29.19", ExtensionKind::kBasicConstraints},
    {"2.5.29.16", ExtensionKind::kPrivateKeyPeriod},
    {"2.5.29.35", ExtensionKind::kAuthorityKeyId},
    {"2.5.29.14", ExtensionKind::kSubjectKeyId},
    {"2.5.29.31", ExtensionKind::kCrlDistPoints},
    {"1.3.6.1.4.1.311.21.1", ExtensionKind::kCaVersion},
    {"1.3.6.1.4.1.311.21.2", ExtensionKind::kPreviousCaHash},
}};

// A time of a private key usage period. An absent time is held as 0 and
// gives an empty text: the report must not show it as 1 January 1601.
std::string PeriodTimeText(FileTime time) {
    return time == 0 ? std::string() : CutText(FileTimeText(time), kPeriodTextLimit);
}

std::string CaVersionText(std::int32_t value) {
    const auto bits = static_cast<std::uint32_t>(value);
    char text[32];
    std::snprintf(text, sizeof text, "V%u.%u", bits & 0xFFFFu, bits >> 16);
    return text;
}

void DecodePolicies(ByteView der, TDataOidsValue& policies) {
    if (const auto oids = platform::DecodeCertPolicies(der)) {
        for (const std::string& oid : *oids) {
            policies.Items.push_back(
                {CutText(oid, kRecordTextLimit),
                 {},
                 CutText(AttributeLabelWithOid(oid, false), kRecordTextLimit)});
        }
    }
}

void DecodePurposes(ByteView der, TDataOidsValue& purposes) {
    if (const auto oids = platform::DecodeEnhancedKeyUsage(der)) {
        for (const std::string& oid : *oids) {
            purposes.Items.push_back({CutText(oid, kRecordTextLimit),
                                      {},
                                      CutText(OidFriendlyName(oid), kRecordTextLimit)});
        }
    }
}

void DecodeKeyAttributesPart(ByteView der, CERT_KEY_ATTRIBUTES_INFO_STR& attributes) {
    const auto decoded = platform::DecodeKeyAttributes(der);
    if (!decoded) {
        return;
    }
    if (!decoded->intendedKeyUsage.bytes.empty()) {
        attributes.KeyUsage = KeyUsageOfBits(decoded->intendedKeyUsage.bytes);
    }
    attributes.KeyId = HexSpacedText(decoded->keyId);
    if (decoded->privateKeyUsagePeriod) {
        attributes.NotBefore = PeriodTimeText(decoded->privateKeyUsagePeriod->notBefore);
        attributes.NotAfter = PeriodTimeText(decoded->privateKeyUsagePeriod->notAfter);
    }
}

void DecodeIssuerTools(ByteView der, TCERT_EXTENSION_STR& record) {
    const auto items = platform::DecodeSequenceOfAny(der);
    if (!items) {
        return;
    }
    const auto item = [&](std::size_t i) {
        return i < items->size()
                   ? CutText(platform::RdnValueTextOfEncoded((*items)[i]), kRecordTextLimit)
                   : std::string();
    };
    record.SignToolName = item(0);
    record.CaToolName = item(1);
    record.SignToolCertificate = item(2);
    record.CaToolCertificate = item(3);
}

void DecodeDistPoints(ByteView der, TCRL_DIST_POINTS& points) {
    const auto decoded = platform::DecodeCrlDistPoints(der);
    if (!decoded) {
        return;
    }
    for (const platform::CrlDistPoint& point : *decoded) {
        TCRL_DIST_POINT record;
        if (point.nameChoice == platform::CrlDistPoint::kFullName) {
            record.FullName = DecodeAltNameInfo(point.fullName);
        }
        if (!point.reasonFlags.bytes.empty()) {
            record.ReasonFlags = HexSpacedText(point.reasonFlags.bytes);
        }
        if (!point.crlIssuer.entries.empty()) {
            record.CrlIssuer = DecodeAltNameInfo(point.crlIssuer);
        }
        points.Items.push_back(std::move(record));
    }
}

}  // namespace

ExtensionKind ExtensionKindOf(std::string_view oid) {
    for (const KindRow& row : kKinds) {
        if (row.oid == oid) {
            return row.kind;
        }
    }
    return ExtensionKind::kUnknown;
}

TCERT_EXTENSION_STR DecodeExtension(const platform::Extension& extension) {
    TCERT_EXTENSION_STR record;
    record.Kind = ExtensionKindOf(extension.oid);
    record.Oid = extension.oid;
    const ByteView der = extension.value;
    switch (record.Kind) {
        case ExtensionKind::kPolicies:
            DecodePolicies(der, record.Policies);
            break;
        case ExtensionKind::kSubjectAltName:
            if (const auto names = platform::DecodeAltNames(der)) {
                record.AltNames = DecodeAltNameInfo(*names);
            }
            break;
        case ExtensionKind::kKeyAttributes:
            DecodeKeyAttributesPart(der, record.KeyAttributes);
            break;
        case ExtensionKind::kKeyUsage:
            if (const auto bits = platform::DecodeKeyUsage(der)) {
                record.KeyUsage = KeyUsageOfBits(bits->bytes);
            }
            break;
        case ExtensionKind::kExtendedKeyUsage:
            DecodePurposes(der, record.Purposes);
            break;
        case ExtensionKind::kSubjectSignTool:
            record.SubjectToolText = platform::RdnValueTextOfEncoded(der);
            break;
        case ExtensionKind::kIssuerSignTools:
            DecodeIssuerTools(der, record);
            break;
        case ExtensionKind::kUnknown:
            record.ValueHex = HexSpacedText(der);
            record.Asn1Dump = DumpAsn1(
                der, [](const std::string& oid) { return AttributeLabelWithOid(oid, true); });
            break;
        case ExtensionKind::kBasicConstraints:
            if (const auto constraints = platform::DecodeBasicConstraints(der)) {
                record.BasicConstraints.IsCa = constraints->ca ? 1 : 0;
                if (constraints->ca) {
                    record.BasicConstraints.PathLenPresent = constraints->hasPathLen ? 1 : 0;
                    record.BasicConstraints.MaxPathLen = static_cast<int>(constraints->pathLen);
                }
            }
            break;
        case ExtensionKind::kPrivateKeyPeriod:
            if (const auto period = platform::DecodePrivateKeyUsagePeriod(der)) {
                record.UsagePeriod.NotBefore = PeriodTimeText(period->notBefore);
                record.UsagePeriod.NotAfter = PeriodTimeText(period->notAfter);
            }
            break;
        case ExtensionKind::kAuthorityKeyId:
            if (const auto id = platform::DecodeAuthorityKeyId(der)) {
                record.AuthorityKeyId.SerialNumber = HexReversedSpacedText(id->serialNumber);
                record.AuthorityKeyId.KeyId = HexSpacedText(id->keyId);
                record.AuthorityKeyId.Issuer = DecodeAltNameInfo(id->issuer);
            }
            break;
        case ExtensionKind::kSubjectKeyId:
            if (const auto id = platform::DecodeSubjectKeyId(der)) {
                record.SubjectKeyIdText = HexSpacedText(*id);
            }
            break;
        case ExtensionKind::kCrlDistPoints:
            DecodeDistPoints(der, record.DistPoints);
            break;
        case ExtensionKind::kCaVersion:
            if (const auto value = platform::DecodeInteger(der)) {
                record.CaVersionText = CaVersionText(*value);
            }
            break;
        case ExtensionKind::kPreviousCaHash:
            if (const auto hash = platform::DecodeOctetString(der)) {
                record.PreviousCaHashText = HexSpacedText(*hash);
            }
            break;
    }
    return record;
}

void DecodeExtensions(std::span<const platform::Extension> extensions, CERT_EXTENSIONS_STR& list) {
    for (const platform::Extension& extension : extensions) {
        list.Items.push_back(DecodeExtension(extension));
    }
}

}  // namespace velmora
