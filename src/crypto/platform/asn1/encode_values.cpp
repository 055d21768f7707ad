#include "crypto/platform/asn1/encode_values.h"

#include "crypto/platform/asn1/der_reader.h"
#include "crypto/platform/asn1/encode_der.h"
#include "crypto/platform/system/last_error.h"
#include "encoding/utf8.h"

namespace velmora::platform {
namespace {

template <typename T = Bytes>
std::optional<T> Refuse(std::uint32_t code) {
    SetLastError(code);
    return std::nullopt;
}

bool IsOneElement(ByteView der) {
    DerReader reader(der);
    DerElement element;
    return reader.Next(element) && reader.AtEnd();
}

bool IsPrintable(std::uint8_t c) {
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) {
        return true;
    }
    return std::string_view(" '()+,-./:=?").find(static_cast<char>(c)) != std::string_view::npos;
}

// Checks the value bytes against the string type; the error code when they
// do not fit, 0 when they do.
std::uint32_t StringTypeError(std::uint32_t value_type, ByteView value) {
    switch (value_type) {
        case rdn_type::kNumericString:
            for (std::uint8_t c : value) {
                if (!(c == ' ' || (c >= '0' && c <= '9'))) {
                    return error::kInvalidNumericString;
                }
            }
            return 0;
        case rdn_type::kPrintableString:
            for (std::uint8_t c : value) {
                if (!IsPrintable(c)) {
                    return error::kInvalidPrintableString;
                }
            }
            return 0;
        case rdn_type::kIa5String:
            for (std::uint8_t c : value) {
                if (c >= 0x80) {
                    return error::kInvalidIa5String;
                }
            }
            return 0;
        case rdn_type::kUtf8String:
            return IsValidUtf8(AsText(value)) ? 0 : error::kBadEncode;
        case rdn_type::kBmpString:
            return value.size() % 2 == 0 ? 0 : error::kBadEncode;
        case rdn_type::kUniversalString:
            return value.size() % 4 == 0 ? 0 : error::kBadEncode;
        default:
            return 0;
    }
}

bool AppendOid(Bytes& out, std::string_view oid) {
    std::optional<Bytes> content = OidContentOfText(oid);
    if (!content) {
        SetLastError(error::kInvalidParameter);
        return false;
    }
    AppendDer(out, der::kOid, *content);
    return true;
}

bool AppendGeneralName(Bytes& out, const AltNameEntry& entry) {
    switch (entry.choice) {
        case alt_name::kOtherName: {
            Bytes content;
            if (!AppendOid(content, entry.otherNameOid)) {
                return false;
            }
            if (!IsOneElement(entry.otherNameValue)) {
                SetLastError(error::kInvalidParameter);
                return false;
            }
            AppendDer(content, 0xA0, entry.otherNameValue);
            AppendDer(out, 0xA0, content);
            return true;
        }
        case alt_name::kRfc822Name:
        case alt_name::kDnsName:
        case alt_name::kUrl: {
            const ByteView text = AsBytes(entry.text);
            if (const std::uint32_t code = StringTypeError(rdn_type::kIa5String, text); code != 0) {
                SetLastError(code);
                return false;
            }
            const std::uint8_t tag = entry.choice == alt_name::kRfc822Name ? 0x81
                                     : entry.choice == alt_name::kDnsName  ? 0x82
                                                                           : 0x86;
            AppendDer(out, tag, text);
            return true;
        }
        case alt_name::kDirectoryName: {
            DerElement name;
            if (!ReadSingleDer(entry.directoryName, der::kSequence, name)) {
                SetLastError(error::kInvalidParameter);
                return false;
            }
            AppendDer(out, 0xA4, entry.directoryName);
            return true;
        }
        case alt_name::kX400Address:
        case alt_name::kEdiPartyName: {
            DerElement raw;
            const std::uint8_t tag = entry.choice == alt_name::kX400Address ? 0xA3 : 0xA5;
            if (!ReadSingleDer(entry.raw, tag, raw)) {
                SetLastError(error::kInvalidParameter);
                return false;
            }
            out.insert(out.end(), entry.raw.begin(), entry.raw.end());
            return true;
        }
        case alt_name::kIpAddress:
            AppendDer(out, 0x87, entry.ipAddress);
            return true;
        case alt_name::kRegisteredId: {
            std::optional<Bytes> content = OidContentOfText(entry.registeredId);
            if (!content) {
                SetLastError(error::kInvalidParameter);
                return false;
            }
            AppendDer(out, 0x88, *content);
            return true;
        }
        default:
            SetLastError(error::kInvalidParameter);
            return false;
    }
}

std::optional<Bytes> OidList(const std::vector<std::string>& oids, bool as_policies) {
    Bytes content;
    for (const std::string& oid : oids) {
        if (as_policies) {
            Bytes policy;
            if (!AppendOid(policy, oid)) {
                return std::nullopt;
            }
            AppendDer(content, der::kSequence, policy);
        } else if (!AppendOid(content, oid)) {
            return std::nullopt;
        }
    }
    return Der(der::kSequence, content);
}

}  // namespace

std::optional<Bytes> EncodeNameValue(std::uint32_t value_type, ByteView value) {
    if (value_type == rdn_type::kEncodedBlob) {
        if (!IsOneElement(value)) {
            return Refuse(error::kInvalidParameter);
        }
        return Bytes(value.begin(), value.end());
    }
    std::optional<std::uint8_t> tag = TagOfRdnValueType(value_type);
    if (!tag) {
        return Refuse(error::kNotCharString);
    }
    if (const std::uint32_t code = StringTypeError(value_type, value); code != 0) {
        return Refuse(code);
    }
    return Der(*tag, value);
}

std::optional<Bytes> EncodeName(const NameInfo& name) {
    Bytes rdns;
    for (const Rdn& rdn : name.rdns) {
        if (rdn.attributes.empty()) {
            return Refuse(error::kInvalidParameter);
        }
        Bytes attributes;
        for (const RdnAttribute& attribute : rdn.attributes) {
            Bytes pair;
            if (!AppendOid(pair, attribute.oid)) {
                return std::nullopt;
            }
            std::optional<Bytes> value = EncodeNameValue(attribute.valueType, attribute.value);
            if (!value) {
                return std::nullopt;
            }
            pair.insert(pair.end(), value->begin(), value->end());
            AppendDer(attributes, der::kSequence, pair);
        }
        AppendDer(rdns, der::kSet, attributes);
    }
    return Der(der::kSequence, rdns);
}

std::optional<Bytes> EncodeAlgorithmIdentifier(const AlgorithmIdentifier& algorithm) {
    Bytes content;
    if (!AppendOid(content, algorithm.oid)) {
        return std::nullopt;
    }
    if (!algorithm.parameters.empty()) {
        if (!IsOneElement(algorithm.parameters)) {
            return Refuse(error::kInvalidParameter);
        }
        content.insert(content.end(), algorithm.parameters.begin(), algorithm.parameters.end());
    }
    return Der(der::kSequence, content);
}

std::optional<Bytes> EncodeBitString(const BitString& bits) {
    if (bits.unusedBits > 7 || (bits.bytes.empty() && bits.unusedBits != 0) ||
        (!bits.bytes.empty() && (bits.bytes.back() & ((1u << bits.unusedBits) - 1)) != 0)) {
        return Refuse(error::kInvalidParameter);
    }
    Bytes content;
    content.reserve(bits.bytes.size() + 1);
    content.push_back(bits.unusedBits);
    content.insert(content.end(), bits.bytes.begin(), bits.bytes.end());
    return Der(der::kBitString, content);
}

std::optional<Bytes> EncodePublicKeyInfo(const PublicKeyInfo& info) {
    std::optional<Bytes> algorithm = EncodeAlgorithmIdentifier(info.algorithm);
    std::optional<Bytes> key =
        algorithm ? EncodeBitString({info.publicKey, info.unusedBits}) : std::nullopt;
    if (!key) {
        return std::nullopt;
    }
    return DerOf(der::kSequence, {*algorithm, *key});
}

std::optional<Bytes> EncodeAltNames(const AltNameInfo& names) {
    Bytes content;
    for (const AltNameEntry& entry : names.entries) {
        if (!AppendGeneralName(content, entry)) {
            return std::nullopt;
        }
    }
    return Der(der::kSequence, content);
}

std::optional<Bytes> EncodeKeyAttributes(const KeyAttributes& attributes) {
    Bytes content;
    if (!attributes.keyId.empty()) {
        AppendDer(content, der::kOctetString, attributes.keyId);
    }
    if (!attributes.intendedKeyUsage.bytes.empty()) {
        std::optional<Bytes> usage = EncodeBitString(attributes.intendedKeyUsage);
        if (!usage) {
            return std::nullopt;
        }
        content.insert(content.end(), usage->begin(), usage->end());
    }
    if (attributes.privateKeyUsagePeriod) {
        Bytes period;
        const FileTime times[] = {attributes.privateKeyUsagePeriod->notBefore,
                                  attributes.privateKeyUsagePeriod->notAfter};
        for (std::uint8_t i = 0; i < 2; ++i) {
            if (times[i] == 0) {
                continue;
            }
            std::optional<Bytes> time = GeneralizedTimeDer(times[i]);
            if (!time) {
                return Refuse(error::kInvalidParameter);
            }
            (*time)[0] = static_cast<std::uint8_t>(0x80 | i);  // [i] IMPLICIT
            period.insert(period.end(), time->begin(), time->end());
        }
        AppendDer(content, der::kSequence, period);
    }
    return Der(der::kSequence, content);
}

std::optional<Bytes> EncodeEnhancedKeyUsage(const std::vector<std::string>& oids) {
    return OidList(oids, false);
}

std::optional<Bytes> EncodeCertPolicies(const std::vector<std::string>& oids) {
    return OidList(oids, true);
}

std::optional<Bytes> EncodeExtensions(const std::vector<Extension>& extensions) {
    Bytes content;
    for (const Extension& extension : extensions) {
        Bytes fields;
        if (!AppendOid(fields, extension.oid)) {
            return std::nullopt;
        }
        if (extension.critical) {
            const std::uint8_t yes = 0xFF;
            AppendDer(fields, der::kBoolean, ByteView(&yes, 1));
        }
        AppendDer(fields, der::kOctetString, extension.value);
        AppendDer(content, der::kSequence, fields);
    }
    return Der(der::kSequence, content);
}

}  // namespace velmora::platform
