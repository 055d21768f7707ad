#include "crypto/keys/container_operations.h"

#include "crypto/platform/asn1/decode_object.h"
#include "crypto/platform/keys/crypt_provider.h"
#include "crypto/platform/keys/providers.h"
#include "crypto/platform/system/system_info.h"
#include "encoding/container_names.h"
#include "encoding/date_time.h"
#include "report/names/attribute_label.h"
#include "report/record/decode_record.h"
#include "report/text/value_text.h"

#include <optional>

namespace velmora {
namespace {

using platform::CryptProvider;

// Container enumeration flags of the Crypto-Pro providers: first or next,
// with fully qualified and unique names.
constexpr std::uint32_t kFirstQualified = 0x19;
constexpr std::uint32_t kNextQualified = 0x1A;
constexpr std::uint32_t kNextReader = 0x0A;

constexpr const char* kCryptoProShortName = "КриптоПро CSP";

void ShowLastErrorBox(Dialogs& dialogs) {
    ShowErrorBox(dialogs, kErrorBoxPrefix + platform::LastErrorText());
}

// A text parameter value up to its NUL.
std::string TextOf(const Bytes& value) {
    std::string text(value.begin(), value.end());
    return text.substr(0, text.find('\0'));
}

std::uint64_t LittleEndian(ByteView bytes) {
    std::uint64_t value = 0;
    for (std::size_t i = bytes.size(); i-- > 0;) {
        value = (value << 8) | bytes[i];
    }
    return value;
}

// The validity text of a private-key validity value: the start (a year and
// three months before the end, plus a day) in quotes, then the end.
std::string ValidityText(ByteView value, Dialogs& dialogs) {
    const auto structure = platform::DecodeObject(platform::kPrivateKeyValidityStructType, value);
    if (!structure || structure->size() < 16) {
        ShowLastErrorBox(dialogs);
        return {};
    }
    const auto end = FileTimeToLocal(LittleEndian(ByteView(*structure).subspan(8, 8)));
    if (!end) {
        return {};
    }
    const DateTime start = AddToDate(-1, -3, 1, *end);
    return "\"" + DateTimeTextDMY(start) + "\" - " + DateTimeTextDMY(*end);
}

// The lines of the container extensions: a heading, then one line for each
// private-key validity among them.
void AddExtensionLines(CryptProvider& context, std::vector<std::string>& lines, Dialogs& dialogs) {
    if (!platform::GetProvParam(context, platform::kPpEnumContainerExtensions,
                                platform::kCryptFirst)) {
        return;
    }
    lines.push_back("расширение в контейнере:");
    for (std::uint32_t flags = platform::kCryptFirst;; flags = platform::kCryptNext) {
        const auto record =
            platform::GetProvParam(context, platform::kPpEnumContainerExtensions, flags);
        // A record: 32-bit critical flag, 32-bit length n, n bytes of value,
        // the OID and its NUL.
        if (!record || record->size() < 8) {
            return;
        }
        const ByteView bytes(*record);
        const std::uint64_t length = LittleEndian(bytes.subspan(4, 4));
        if (length > bytes.size() - 8) {
            return;
        }
        const ByteView value = bytes.subspan(8, length);
        const std::string oid = TextOf(Bytes(bytes.begin() + 8 + length, bytes.end()));
        if (oid == platform::kPrivateKeyValidityOid) {
            lines.push_back(AttributeLabelWithOid(oid, true) + " - " +
                            ValidityText(value, dialogs));
        }
    }
}

// The certificate of the open container's exchange key: nullptr without a
// key or a certificate, and with the error box when it does not parse.
platform::CertContext ExchangeCertificate(CryptProvider& context, Dialogs& dialogs) {
    const auto key = platform::GetUserKey(context, platform::kAtKeyExchange);
    if (!key) {
        return nullptr;
    }
    const auto der = platform::GetKeyParam(*key, platform::kKpCertificate);
    if (!der) {
        return nullptr;
    }
    platform::CertContext certificate = platform::CreateCertificateContext(*der);
    if (!certificate) {
        ShowLastErrorBox(dialogs);
    }
    return certificate;
}

platform::CertContext OpenAndReadCertificate(const std::string& provider, std::uint32_t type,
                                             const std::string& container, Dialogs& dialogs) {
    CryptProvider context;
    if (!platform::AcquireContext(context, container, provider, type, 0)) {
        ShowLastErrorBox(dialogs);
        return nullptr;
    }
    return ExchangeCertificate(context, dialogs);
}

}  // namespace

std::vector<std::string> ProviderList(Dialogs& dialogs) {
    std::vector<std::string> entries;
    for (std::uint32_t index = 0;; ++index) {
        const auto provider = platform::EnumProviders(index);
        if (!provider) {
            break;
        }
        entries.push_back("[" + std::to_string(provider->type) + "] " + provider->name);
    }
    if (entries.empty()) {
        ShowLastErrorBox(dialogs);
    }
    return entries;
}

bool IsCryptoProProvider(std::string_view provider) {
    return provider == platform::kCryptoPro2001Name || provider == platform::kCryptoPro2012Name;
}

std::string SignatureAlgorithmOfProvider(std::string_view provider) {
    if (provider == platform::kCryptoPro2001Name) {
        return "1.2.643.2.2.3";
    }
    if (provider == platform::kCryptoPro2012Name) {
        return "1.2.643.7.1.1.3.2";
    }
    if (provider == platform::kSecurityCodeName) {
        return "1.2.643.2.1.3.1.2.1";
    }
    return "1.2.840.113549.2.5";
}

std::string ProviderVersionText(const std::string& provider, std::uint32_t type, Dialogs& dialogs) {
    CryptProvider context;
    if (!platform::AcquireContext(context, "", provider, type, platform::kCryptVerifyContext)) {
        return {};
    }
    std::string name;
    if (const auto value = platform::GetProvParam(context, platform::kPpName)) {
        name = TextOf(*value);
    } else {
        ShowLastErrorBox(dialogs);
    }
    if (IsCryptoProProvider(name)) {
        name = kCryptoProShortName;
    }
    const auto version = platform::GetProvParam(context, platform::kPpVersion);
    if (!version || version->size() < 4) {
        ShowLastErrorBox(dialogs);
        return {};
    }
    const std::uint64_t number = LittleEndian(ByteView(*version).first(4));
    return "\"" + name + "\" (версия " + std::to_string((number >> 8) & 0xFF) + "." +
           std::to_string(number & 0xFF) + ")";
}

bool EnumerateReaders(const std::string& provider, std::uint32_t type,
                      std::vector<TReaderInfo>& readers) {
    readers.clear();
    CryptProvider context;
    if (!platform::AcquireContext(context, "", provider, type, platform::kCryptVerifyContext) ||
        !platform::GetProvParam(context, platform::kPpEnumReaders, platform::kCryptFirst)) {
        return false;
    }
    for (std::uint32_t flags = platform::kCryptFirst;; flags = kNextReader) {
        const auto entry = platform::GetProvParam(context, platform::kPpEnumReaders, flags);
        if (!entry) {
            break;
        }
        const std::vector<std::string> texts = SplitContainerEntry(*entry);
        if (texts.size() == 2) {
            readers.push_back({texts[1], texts[0]});
        } else if (texts.size() == 1) {
            readers.push_back({texts[0], {}});
        }
    }
    return !readers.empty();
}

bool EnumerateContainers(const std::string& provider, std::uint32_t type,
                         std::vector<TContainerInfo>& containers, Dialogs& dialogs) {
    std::vector<TReaderInfo> readers;
    EnumerateReaders(provider, type, readers);
    containers.clear();
    CryptProvider context;
    if (!platform::AcquireContext(context, "", provider, type, platform::kCryptVerifyContext)) {
        return false;
    }
    const bool crypto_pro = IsCryptoProProvider(provider);
    const std::uint32_t first = crypto_pro ? kFirstQualified : platform::kCryptFirst;
    const std::uint32_t next = crypto_pro ? kNextQualified : platform::kCryptNext;
    if (!platform::GetProvParam(context, platform::kPpEnumContainers, first)) {
        return false;
    }
    for (std::uint32_t flags = first;; flags = next) {
        const auto entry = platform::GetProvParam(context, platform::kPpEnumContainers, flags);
        if (!entry) {
            break;
        }
        const std::vector<std::string> texts = SplitContainerEntry(*entry);
        const std::string first_text = texts.empty() ? std::string() : texts[0];
        if (crypto_pro) {
            const std::string unique = texts.size() > 1 ? texts[1] : std::string();
            std::string carrier = ReaderOfFqcn(first_text);
            for (const TReaderInfo& reader : readers) {
                if (reader.name == carrier) {
                    carrier = reader.displayName;
                    break;
                }
            }
            const std::string name = ContainerOfFqcn(first_text);
            containers.push_back({first_text, name, LastPathSegment(unique), carrier,
                                  CertificateInContainer(provider, type, name, dialogs)});
        } else {
            containers.push_back({{}, first_text, first_text, {}, false});
        }
        // This provider's enumeration gives one container only.
        if (provider == platform::kSecurityCodeName) {
            break;
        }
    }
    return !containers.empty();
}

bool CertificateInContainer(const std::string& provider, std::uint32_t type,
                            const std::string& container, Dialogs& dialogs) {
    return OpenAndReadCertificate(provider, type, container, dialogs) != nullptr;
}

platform::CertContext CertificateFromContainer(const std::string& provider, std::uint32_t type,
                                               const std::string& container, Dialogs& dialogs) {
    return OpenAndReadCertificate(provider, type, container, dialogs);
}

bool SetContainerCertificate(const std::string& provider, std::uint32_t type,
                             const std::string& container, const platform::CertContext& certificate,
                             Dialogs& dialogs) {
    CryptProvider context;
    if (!platform::AcquireContext(context, container, provider, type, 0)) {
        ShowLastErrorBox(dialogs);
        return false;
    }
    auto key = platform::GetUserKey(context, platform::kAtKeyExchange);
    if (!key || !certificate) {
        return false;
    }
    if (!platform::SetKeyParam(*key, platform::kKpCertificate, certificate->Encoded())) {
        ShowLastErrorBox(dialogs);
        return false;
    }
    return true;
}

bool DeleteContainer(const std::string& provider, std::uint32_t type,
                     const std::string& container) {
    CryptProvider context;
    return platform::AcquireContext(context, container, provider, type,
                                    platform::kCryptDeleteKeyset);
}

std::vector<std::string> ContainerKeyInfo(const std::string& provider, std::uint32_t type,
                                          const std::string& container, TRCstruct& record,
                                          Dialogs& dialogs) {
    std::vector<std::string> lines;
    CryptProvider context;
    if (!platform::AcquireContext(context, container, provider, type, 0)) {
        ShowLastErrorBox(dialogs);
    }
    auto key = platform::ExportPublicKeyInfo(context, platform::kAtKeyExchange);
    if (!key) {
        key = platform::ExportPublicKeyInfo(context, platform::kAtSignature);
    }
    if (key) {
        lines.push_back("Распечатка значения открытого ключа:");
        lines.push_back(HexPairsText(key->publicKey));
        lines.push_back("алгоритм - " + RegisteredOidName(key->algorithm.oid));
    } else {
        ShowLastErrorBox(dialogs);
    }
    if (context.IsOpen()) {
        AddExtensionLines(context, lines, dialogs);
        if (const platform::CertContext certificate = ExchangeCertificate(context, dialogs)) {
            DecodeCertificate(record, certificate, &dialogs);
        }
    }
    return lines;
}

bool CopyContainerKey(const std::string& provider, std::uint32_t type, const std::string& source,
                      const std::string& new_name, bool copy_certificate,
                      std::vector<std::string>& messages) {
    const auto failed = [&messages] {
        messages.push_back(kErrorLinePrefix + platform::LastErrorText());
        return false;
    };
    CryptProvider target;
    if (!platform::AcquireContext(target, new_name, "", type, platform::kCryptNewKeyset)) {
        return failed();
    }
    CryptProvider origin;
    if (!platform::AcquireContext(origin, source, provider, type, 0)) {
        return failed();
    }
    for (const std::uint32_t param : {platform::kPpHashOid, platform::kPpCipherOid}) {
        const auto value = platform::GetProvParam(origin, param);
        if (!value || !platform::SetProvParam(target, param, *value)) {
            return failed();
        }
    }
    auto exchange = platform::GetUserKey(origin, platform::kAtKeyExchange);
    if (!exchange) {
        return failed();
    }
    // An ephemeral key on each side, the new one made on the source's parameters.
    auto origin_ephemeral =
        platform::GenKey(origin, platform::kCalgDhElEphem, platform::kCryptExportable);
    if (!origin_ephemeral) {
        return failed();
    }
    auto target_ephemeral = platform::GenKey(target, platform::kCalgDhElEphem,
                                             platform::kCryptExportable | platform::kCryptPregen);
    if (!target_ephemeral) {
        return failed();
    }
    const auto parameters = platform::GetKeyParam(*origin_ephemeral, platform::kKpDhOid);
    if (!parameters || !platform::SetKeyParam(*target_ephemeral, platform::kKpDhOid, *parameters) ||
        !platform::SetKeyParam(*target_ephemeral, platform::kKpX, {})) {
        return failed();
    }
    // Each side's public key with the other's ephemeral key: the agreement keys.
    const auto origin_public =
        platform::ExportKey(*origin_ephemeral, nullptr, platform::kPublicKeyBlob);
    if (!origin_public) {
        return failed();
    }
    auto target_agreement = platform::ImportKey(target, *origin_public, &*target_ephemeral, 0);
    if (!target_agreement) {
        return failed();
    }
    const auto target_public =
        platform::ExportKey(*target_ephemeral, nullptr, platform::kPublicKeyBlob);
    if (!target_public) {
        return failed();
    }
    auto origin_agreement = platform::ImportKey(origin, *target_public, &*origin_ephemeral, 0);
    if (!origin_agreement) {
        return failed();
    }
    const Bytes export_algorithm = {static_cast<std::uint8_t>(platform::kCalgProExport & 0xFF),
                                    static_cast<std::uint8_t>(platform::kCalgProExport >> 8), 0, 0};
    if (!platform::SetKeyParam(*origin_agreement, platform::kKpAlgId, export_algorithm) ||
        !platform::SetKeyParam(*target_agreement, platform::kKpAlgId, export_algorithm)) {
        return failed();
    }
    // The private key, wrapped under the agreed key, from one side to the other.
    const auto wrapped =
        platform::ExportKey(*exchange, &*origin_agreement, platform::kPrivateKeyBlob);
    if (!wrapped) {
        return failed();
    }
    auto imported = platform::ImportKey(target, *wrapped, &*target_agreement, 0);
    if (!imported) {
        return failed();
    }
    messages.push_back("Ключ скопирован");
    if (copy_certificate) {
        const auto certificate = platform::GetKeyParam(*exchange, platform::kKpCertificate);
        if (!certificate ||
            !platform::SetKeyParam(*imported, platform::kKpCertificate, *certificate)) {
            return failed();
        }
    }
    return true;
}

}  // namespace velmora
