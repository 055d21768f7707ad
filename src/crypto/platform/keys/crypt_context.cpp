// Provider contexts: CryptEnumProviders, CryptAcquireContext and the
// provider parameters.
#include "crypto/platform/keys/crypt_state.h"

#include "crypto/platform/asn1/encode_der.h"
#include "crypto/platform/system/last_error.h"
#include "encoding/container_names.h"

namespace velmora::platform {
namespace {

constexpr std::string_view kFqcnPrefix = "\\\\.\\";

constexpr std::uint32_t kKnownAcquireFlags =
    kCryptVerifyContext | kCryptNewKeyset | kCryptDeleteKeyset | kCryptSilent;

}  // namespace

const char* DefaultHashOid(KeyFamily family) {
    return family == KeyFamily::Gost2001 ? "1.2.643.2.2.30.1"    // GOST R 34.11-94, CryptoPro
                                         : "1.2.643.7.1.1.2.2";  // GOST R 34.11-2012, 256 bits
}

const char* DefaultCipherOid(KeyFamily family) {
    return family == KeyFamily::Gost2001 ? "1.2.643.2.2.31.1"      // GOST 28147-89, CryptoPro-A
                                         : "1.2.643.7.1.2.5.1.1";  // GOST 28147-89, TC26 Z
}

std::optional<std::string> ContainerNameOf(std::string_view container) {
    if (!container.starts_with(kFqcnPrefix)) {
        return std::string(container);
    }
    if (ReaderOfFqcn(container) != kDiskReaderName) {
        return Fail(error::kBadKeyset, std::optional<std::string>{});
    }
    return ContainerOfFqcn(container);
}

namespace {

std::optional<std::vector<Bytes>> ContainerEntries(const ProviderDescription& provider,
                                                   std::uint32_t flags) {
    const auto containers = ListStoredContainers();
    if (!containers) {
        return std::nullopt;
    }
    const bool qualified =
        provider.qualifiedNames && (flags & kCryptFqcn) != 0 && (flags & kCryptUniqueName) != 0;
    std::vector<Bytes> entries;
    for (const StoredContainer& container : *containers) {
        Bytes entry;
        if (qualified) {
            AppendText(entry,
                       std::string(kFqcnPrefix) + kDiskReaderName + "\\" + container.record.name);
            AppendText(entry, std::string(kDiskReaderName) + "\\" + container.folderName);
        } else {
            AppendText(entry, container.record.name);
        }
        entries.push_back(std::move(entry));
    }
    return entries;
}

std::vector<Bytes> ReaderEntries(const ProviderDescription& provider) {
    std::vector<Bytes> entries;
    for (const ReaderDescription& reader : provider.readers) {
        Bytes entry;
        AppendText(entry, reader.displayName);
        AppendText(entry, reader.name);
        entries.push_back(std::move(entry));
    }
    return entries;
}

// The container extensions of both key pairs, as the enumeration gives them.
std::optional<std::vector<Bytes>> ExtensionEntries(const CryptProviderState& state) {
    if (!state.container) {
        return Fail(error::kBadKeyset, std::optional<std::vector<Bytes>>{});
    }
    std::vector<Bytes> entries;
    for (const std::uint32_t key_spec : {kAtKeyExchange, kAtSignature}) {
        auto key = LoadKeyPair(state.container, key_spec);
        if (!key) {
            if (GetLastError() == error::kNoKey) {
                continue;
            }
            return std::nullopt;
        }
        for (const Extension& extension : key->State().file.extensions) {
            Bytes entry;
            AppendUint32(entry, extension.critical ? 1 : 0);
            AppendUint32(entry, static_cast<std::uint32_t>(extension.value.size()));
            entry.insert(entry.end(), extension.value.begin(), extension.value.end());
            AppendText(entry, extension.oid);
            entries.push_back(std::move(entry));
        }
    }
    return entries;
}

std::optional<Bytes> NextEntry(CryptProviderState& state, std::uint32_t param,
                               std::uint32_t flags) {
    const bool first = (flags & kCryptFirst) != 0;
    auto found = state.enumerations.find(param);
    if (first || found == state.enumerations.end()) {
        std::optional<std::vector<Bytes>> entries;
        switch (param) {
            case kPpEnumContainers:
                entries = ContainerEntries(state.provider, flags);
                break;
            case kPpEnumReaders:
                entries = ReaderEntries(state.provider);
                break;
            default:
                entries = ExtensionEntries(state);
                break;
        }
        if (!entries) {
            state.enumerations.erase(param);
            return std::nullopt;
        }
        found =
            state.enumerations.insert_or_assign(param, Enumeration{std::move(*entries), 0}).first;
    }
    Enumeration& enumeration = found->second;
    if (enumeration.next >= enumeration.entries.size()) {
        return Fail(error::kNoMoreItems, std::optional<Bytes>{});
    }
    return enumeration.entries[enumeration.next++];
}

}  // namespace

void AppendText(Bytes& out, std::string_view text) {
    out.insert(out.end(), text.begin(), text.end());
    out.push_back(0);
}

void AppendUint32(Bytes& out, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    }
}

Bytes TextValue(std::string_view text) {
    Bytes out;
    AppendText(out, text);
    return out;
}

Bytes Uint32Value(std::uint32_t value) {
    Bytes out;
    AppendUint32(out, value);
    return out;
}

std::optional<std::string> OidTextOfValue(ByteView value) {
    std::string text(value.begin(), value.end());
    if (!text.empty() && text.back() == '\0') {
        text.pop_back();
    }
    if (text.find('\0') != std::string::npos || !OidContentOfText(text)) {
        return Fail(error::kInvalidParameter, std::optional<std::string>{});
    }
    return text;
}

CryptProvider::CryptProvider() = default;
CryptProvider::~CryptProvider() = default;
CryptProvider::CryptProvider(CryptProvider&&) noexcept = default;
CryptProvider& CryptProvider::operator=(CryptProvider&&) noexcept = default;
CryptProvider::CryptProvider(std::unique_ptr<CryptProviderState> state)
    : state_(std::move(state)) {}

CryptKey::CryptKey() = default;
CryptKey::~CryptKey() = default;
CryptKey::CryptKey(CryptKey&&) noexcept = default;
CryptKey& CryptKey::operator=(CryptKey&&) noexcept = default;
CryptKey::CryptKey(std::unique_ptr<CryptKeyState> state) : state_(std::move(state)) {}

std::optional<ProviderEntry> EnumProviders(std::uint32_t index) {
    const std::vector<ProviderDescription> providers = Providers();
    if (index >= providers.size()) {
        return Fail(error::kNoMoreItems, std::optional<ProviderEntry>{});
    }
    return ProviderEntry{providers[index].name, providers[index].type};
}

bool AcquireContext(CryptProvider& out, std::string_view container, std::string_view provider,
                    std::uint32_t type, std::uint32_t flags) {
    out = CryptProvider();
    const auto description = FindProvider(std::string(provider), type);
    if (!description) {
        return Fail(error::kKeysetNotDef);
    }
    if ((flags & ~kKnownAcquireFlags) != 0 ||
        ((flags & kCryptNewKeyset) != 0 && (flags & kCryptDeleteKeyset) != 0)) {
        return Fail(error::kBadFlags);
    }
    auto state = std::make_unique<CryptProviderState>();
    state->provider = *description;
    state->silent = (flags & kCryptSilent) != 0;
    if ((flags & kCryptVerifyContext) != 0) {
        if (!container.empty() || (flags & (kCryptNewKeyset | kCryptDeleteKeyset)) != 0) {
            return Fail(error::kBadFlags);
        }
        out = CryptProvider(std::move(state));
        return true;
    }

    const auto name = ContainerNameOf(container);
    if (!name) {
        return false;
    }
    if (!IsValidContainerName(*name)) {
        // A name that cannot be written cannot have been written either.
        return Fail((flags & kCryptNewKeyset) != 0 ? error::kBadKeysetParam : error::kBadKeyset);
    }
    std::optional<StoredContainer> stored;
    if ((flags & kCryptNewKeyset) != 0) {
        stored = CreateStoredContainer(ContainerRecord{*name, DefaultHashOid(description->family),
                                                       DefaultCipherOid(description->family)});
    } else {
        stored = FindStoredContainer(*name);
        if (stored && (flags & kCryptDeleteKeyset) != 0) {
            return RemoveStoredContainer(*stored);
        }
    }
    if (!stored) {
        return false;
    }
    state->container = std::make_shared<OpenContainer>(
        OpenContainer{*description, std::move(*stored), state->silent});
    out = CryptProvider(std::move(state));
    return true;
}

std::optional<Bytes> GetProvParam(CryptProvider& provider, std::uint32_t param,
                                  std::uint32_t flags) {
    if (!provider.IsOpen()) {
        return Fail(error::kInvalidParameter, std::optional<Bytes>{});
    }
    CryptProviderState& state = provider.State();
    switch (param) {
        case kPpName:
            return TextValue(state.provider.name);
        case kPpVersion:
            return Uint32Value(state.provider.version);
        case kPpHashOid:
            return TextValue(state.container ? state.container->stored.record.hashOid
                                             : DefaultHashOid(state.provider.family));
        case kPpCipherOid:
            return TextValue(state.container ? state.container->stored.record.cipherOid
                                             : DefaultCipherOid(state.provider.family));
        case kPpEnumContainers:
        case kPpEnumReaders:
        case kPpEnumContainerExtensions:
            return NextEntry(state, param, flags);
        default:
            return Fail(error::kBadType, std::optional<Bytes>{});
    }
}

bool SetProvParam(CryptProvider& provider, std::uint32_t param, ByteView value) {
    if (!provider.IsOpen()) {
        return Fail(error::kInvalidParameter);
    }
    CryptProviderState& state = provider.State();
    if (param != kPpHashOid && param != kPpCipherOid) {
        return Fail(error::kBadType);
    }
    if (!state.container) {
        return Fail(error::kBadKeyset);
    }
    const auto oid = OidTextOfValue(value);
    if (!oid) {
        return false;
    }
    ContainerRecord record = state.container->stored.record;
    (param == kPpHashOid ? record.hashOid : record.cipherOid) = *oid;
    if (!WriteContainerFile(state.container->stored, kContainerFileName,
                            SerializeContainerRecord(record))) {
        return false;
    }
    state.container->stored.record = std::move(record);
    return true;
}

}  // namespace velmora::platform
