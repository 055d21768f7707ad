#include "app/request/request_generation.h"

#include "app/grid/grid_operations.h"
#include "app/request/request_lists.h"
#include "crypto/keys/container_operations.h"
#include "crypto/platform/asn1/encode_der.h"
#include "crypto/platform/asn1/encode_values.h"
#include "crypto/platform/certs/cert_hash.h"
#include "crypto/platform/certs/encode_request.h"
#include "crypto/platform/keys/crypt_provider.h"
#include "crypto/platform/system/clock.h"
#include "crypto/platform/system/last_error.h"
#include "crypto/platform/system/system_info.h"
#include "encoding/atomic_file.h"
#include "encoding/date_time.h"
#include "encoding/text_words.h"
#include "encoding/unicode.h"
#include "report/extensions/key_usage.h"

#include <algorithm>
#include <cstring>

namespace velmora {

namespace {

using namespace request;

// The signature algorithm that goes with each GOST public key algorithm.
struct KeySignature {
    std::string_view keyAlgorithm;
    std::string_view signatureAlgorithm;
};
constexpr KeySignature kKeySignatures[] = {
    {"1.2.643.2.2.19", "1.2.643.2.2.3"},
    {"1.2.643.7.1.1.1.1", "1.2.643.7.1.1.3.2"},
    {"1.2.643.7.1.1.1.2", "1.2.643.7.1.1.3.3"},
};

Bytes BytesOf(std::string_view text) {
    return Bytes(text.begin(), text.end());
}

// UTF-16 big-endian, as a BMPString holds it.
Bytes BmpBytes(std::string_view text) {
    Bytes bytes;
    for (const char16_t unit : ToWide(text)) {
        bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
        bytes.push_back(static_cast<std::uint8_t>(unit & 0xFF));
    }
    return bytes;
}

// A subject attribute's value type and bytes by its OID.
platform::RdnAttribute SubjectAttribute(const std::string& oid, const std::string& value) {
    platform::RdnAttribute attribute;
    attribute.oid = oid;
    if (oid == kEmailOid) {
        attribute.valueType = platform::rdn_type::kIa5String;
        attribute.value = BytesOf(value);
    } else if (oid == kAsfkTitleOid || oid == kCountryOid) {
        attribute.valueType = platform::rdn_type::kPrintableString;
        attribute.value = BytesOf(value);
    } else {
        attribute.valueType = platform::rdn_type::kBmpString;
        attribute.value = BmpBytes(value);
    }
    return attribute;
}

// Shows the messages of the steps as the window words them.
class StepMessages {
  public:
    explicit StepMessages(Dialogs& dialogs) : dialogs_(dialogs) {}

    // A plain message: the program's caption, no icon.
    void Plain(const std::string& text) {
        dialogs_.ShowMessage(text, "Velmora", MessageIcon::None, MessageButtons::Ok);
    }
    // "Ошибка № - " and the system text, as a plain message.
    void PlainError() { Plain(kErrorBoxPrefix + platform::LastErrorText()); }
    // The system text alone in the error box.
    void SystemError() { ShowErrorBox(dialogs_, platform::LastErrorText()); }
    // "Ошибка № - " and the system text in the error box.
    void NumberedError() { ShowErrorBox(dialogs_, kErrorBoxPrefix + platform::LastErrorText()); }

  private:
    Dialogs& dialogs_;
};

// Opens the container: a new one with a new exchange key pair, or the
// existing one with its key. Nothing after the messages when neither works.
std::optional<platform::CryptProvider> OpenContainer(const std::string& container,
                                                     const std::string& provider,
                                                     std::uint32_t type, StepMessages& messages) {
    platform::CryptProvider context;
    if (platform::AcquireContext(context, container, provider, type, platform::kCryptNewKeyset)) {
        if (platform::GenKey(context, platform::kAtKeyExchange, kRequestKeyBits << 16)) {
            return context;
        }
        // A container left without a key would be reused, keyless, by the
        // next attempt: take it away again.
        const std::uint32_t code = platform::GetLastError();
        context = platform::CryptProvider();
        platform::CryptProvider removed;
        platform::AcquireContext(removed, container, provider, type, platform::kCryptDeleteKeyset);
        platform::SetLastError(code);
    } else if (platform::AcquireContext(context, container, provider, type, 0)) {
        return context;
    }
    messages.Plain(std::to_string(platform::GetLastError()));
    messages.SystemError();
    return std::nullopt;
}

std::optional<Bytes> EncodeSubject(const StringGrid& grid, StepMessages& messages) {
    platform::NameInfo name;
    for (int row = 1; row <= GridDataRows(grid); ++row) {
        platform::Rdn rdn;
        rdn.attributes.push_back(SubjectAttribute(grid.Cell(row, 0), grid.Cell(row, 1)));
        name.rdns.push_back(std::move(rdn));
    }
    std::optional<Bytes> encoded = platform::EncodeName(name);
    if (!encoded) {
        messages.SystemError();
    }
    return encoded;
}

std::optional<Bytes> EncodeAltName(const StringGrid& grid, StepMessages& messages) {
    platform::AltNameInfo names;
    for (int row = 1; row <= GridDataRows(grid); ++row) {
        const std::string value = grid.Cell(row, 1);
        const bool cyrillic = TextScript(value) == "рус.";
        const std::optional<Bytes> encoded = platform::EncodeNameValue(
            cyrillic ? platform::rdn_type::kBmpString : platform::rdn_type::kPrintableString,
            cyrillic ? BmpBytes(value) : BytesOf(value));
        if (!encoded) {
            messages.NumberedError();
            return std::nullopt;
        }
        platform::AltNameEntry entry;
        entry.choice = 1;
        entry.otherNameOid = grid.Cell(row, 0);
        entry.otherNameValue = *encoded;
        names.entries.push_back(std::move(entry));
    }
    std::optional<Bytes> encoded = platform::EncodeAltNames(names);
    if (!encoded) {
        messages.SystemError();
    }
    return encoded;
}

std::optional<Bytes> EncodeKeyAttributes(const RequestForm& form,
                                         const platform::PublicKeyInfo& key,
                                         StepMessages& messages) {
    platform::KeyAttributes attributes;
    const std::optional<Bytes> id = platform::HashPublicKeyInfoSha1(key);
    if (!id) {
        messages.SystemError();
        return std::nullopt;
    }
    attributes.keyId = *id;
    attributes.intendedKeyUsage = KeyUsageBits(form.attrKeyUse);
    // Whole seconds, as the period is shown; X.509 times carry no fraction.
    DateTime now = FileTimeToLocal(platform::NowFileTime()).value_or(DateTime{});
    now.millisecond = 0;
    attributes.privateKeyUsagePeriod = platform::PrivateKeyUsagePeriod{
        LocalToFileTime(now), LocalToFileTime(AddToDate(1, 0, -1, now))};
    std::optional<Bytes> encoded = platform::EncodeKeyAttributes(attributes);
    if (!encoded) {
        messages.SystemError();
    }
    return encoded;
}

std::vector<std::string> GridOids(const StringGrid& grid) {
    std::vector<std::string> oids;
    for (int row = 1; row <= GridDataRows(grid); ++row) {
        oids.push_back(grid.Cell(row, 0));
    }
    return oids;
}

// The extensions whose check boxes are checked, in the request's order.
std::optional<std::vector<platform::Extension>> Extensions(const RequestForm& form,
                                                           const platform::PublicKeyInfo& key,
                                                           StepMessages& messages) {
    std::vector<platform::Extension> extensions;
    const auto add = [&extensions, &messages](std::string_view oid, bool critical,
                                              std::optional<Bytes> value) {
        if (!value) {
            return false;
        }
        extensions.push_back({std::string(oid), critical, std::move(*value)});
        return true;
    };
    const auto checked = [&messages](std::optional<Bytes> value) {
        if (!value) {
            messages.SystemError();
        }
        return value;
    };
    if (form.Check("CB_SUBJECT_ALT_NAME2") &&
        !add(kAltNameExtension, false, EncodeAltName(form.grids.SG_ALTNAME, messages))) {
        return std::nullopt;
    }
    if (form.Check("CB_KEY_ATTRIBUTES") &&
        !add(kKeyAttributesExtension, false, EncodeKeyAttributes(form, key, messages))) {
        return std::nullopt;
    }
    if (form.Check("CB_KEY_USAGE") &&
        !add(kKeyUsageExtension, true,
             checked(platform::EncodeBitString(KeyUsageBits(form.keyUse))))) {
        return std::nullopt;
    }
    if (form.Check("CB_ENHANCED_KEY_USAGE") &&
        !add(kExtendedKeyUsageExtension, false,
             checked(platform::EncodeEnhancedKeyUsage(GridOids(form.grids.GridKEYUSAGE))))) {
        return std::nullopt;
    }
    if (form.Check("CB_CERT_POLICIES") &&
        !add(kPoliciesExtension, false,
             checked(platform::EncodeCertPolicies(GridOids(form.grids.SG_CertPolicy))))) {
        return std::nullopt;
    }
    if (form.Check("CB_S_EP")) {
        std::optional<Bytes> tool = platform::EncodeNameValue(platform::rdn_type::kUtf8String,
                                                              BytesOf(form.Text("e_SrEP")));
        if (!tool) {
            messages.NumberedError();
            return std::nullopt;
        }
        add(kSignToolExtension, false, std::move(tool));
    }
    return extensions;
}

}  // namespace

std::string RequestContainerName(const RequestForm& form) {
    std::string name = form.Text("ContName");
    if (!name.empty() && form.Check("addContName")) {
        name += " " + form.Text("IDENTIFY_KEY");
    }
    return name;
}

platform::BitString KeyUsageBits(const std::vector<CheckListItem>& items) {
    platform::BitString bits;
    bits.bytes = {0};
    for (const CheckListItem& item : items) {
        if (!item.checked) {
            continue;
        }
        int byte_number = 1;
        const std::uint8_t bit = KeyUsageBit(item.text, KeyUsageNameKind::kRussian, byte_number);
        if (byte_number == 2) {
            bits.bytes.resize(2);
            bits.bytes[1] = 0x80;
        } else {
            bits.bytes[0] |= bit;
        }
    }
    bits.unusedBits = static_cast<std::uint8_t>(bits.bytes.size());
    return bits;
}

std::string RequestSignatureAlgorithm(const std::string& provider,
                                      const std::string& key_algorithm_oid) {
    const std::string own = SignatureAlgorithmOfProvider(provider);
    for (const KeySignature& pair : kKeySignatures) {
        if (pair.keyAlgorithm == key_algorithm_oid) {
            return std::string(pair.signatureAlgorithm);
        }
    }
    return own;
}

bool WriteRequestFile(const std::filesystem::path& file, ByteView request, std::string& error) {
    AtomicFileWriter writer;
    if (writer.Open(file) && writer.Write(request) && writer.Commit()) {
        return true;
    }
    error = "Не удалось записать файл \"" + file.string() + "\": " + std::strerror(writer.error());
    return false;
}

std::optional<Bytes> MakeRequest(RequestForm& form, Dialogs& dialogs) {
    StepMessages messages(dialogs);
    const std::string container = RequestContainerName(form);
    const std::string& key_id = form.Text("IDENTIFY_KEY");
    if (!key_id.empty()) {
        PutGridRowByKey(form.grids.SG_ALTNAME, 0,
                        {std::string(kChangeKeyIdOid), key_id, std::string(kKeepCell)});
    }
    const ProviderOfEntry provider = SplitProviderEntry(form.SelectedProviderEntry());

    std::optional<platform::CryptProvider> context =
        OpenContainer(container, provider.name, provider.type, messages);
    if (!context) {
        return std::nullopt;
    }
    const std::optional<platform::PublicKeyInfo> key =
        platform::ExportPublicKeyInfo(*context, platform::kAtKeyExchange);
    if (!key) {
        messages.PlainError();
        return std::nullopt;
    }
    platform::RequestInfo info;
    info.version = 0;
    info.publicKey = *key;
    std::optional<Bytes> subject = EncodeSubject(form.grids.SUB_RDN, messages);
    if (!subject) {
        return std::nullopt;
    }
    info.subject = std::move(*subject);
    const auto extensions = Extensions(form, *key, messages);
    if (!extensions) {
        return std::nullopt;
    }
    if (!extensions->empty()) {
        std::optional<Bytes> encoded = platform::EncodeExtensions(*extensions);
        if (!encoded) {
            messages.SystemError();
            return std::nullopt;
        }
        info.attributes.push_back({platform::kExtensionRequestOid, {std::move(*encoded)}});
    }
    const std::optional<Bytes> to_be_signed = platform::EncodeRequestToBeSigned(info);
    if (!to_be_signed) {
        messages.SystemError();
        return std::nullopt;
    }
    platform::AlgorithmIdentifier algorithm;
    algorithm.oid = RequestSignatureAlgorithm(provider.name, key->algorithm.oid);
    std::optional<Bytes> signed_request =
        platform::SignAndEncode(*context, platform::kAtKeyExchange, *to_be_signed, algorithm);
    if (!signed_request) {
        messages.PlainError();
    }
    return signed_request;
}

}  // namespace velmora
