#include "crypto/platform/asn1/decode_object.h"
#include "crypto/platform/asn1/decode_public_key.h"
#include "crypto/platform/keys/crypt_state.h"
#include "crypto/platform/keys/password_prompt.h"
#include "crypto/platform/keys/secret.h"
#include "crypto/platform/system/clock.h"
#include "crypto/platform/system/last_error.h"

#include <sys/stat.h>

namespace velmora::platform {
namespace {

// How many times a wrong password may be given before the open fails.
constexpr int kPasswordAttempts = 3;

constexpr FileTime kTicksPerSecond = 10'000'000;

bool IsHandledPublicKey(ByteView der) {
    const auto info = DecodePublicKeyInfo(der);
    return info && FamilyOfAlgorithmOid(info->algorithm.oid).has_value();
}

ossl::EvpPkey UnlockWithPassword(const CryptKeyState& key) {
    if (!IsOpenableEncryptedKey(key.file.privateKeyDer)) {
        return Fail(error::kKeysetEntryBad, ossl::EvpPkey{});
    }
    PasswordPrompt* prompt = CurrentPasswordPrompt();
    if (prompt == nullptr || key.container->silent) {
        return Fail(error::kSilentContext, ossl::EvpPkey{});
    }
    for (int attempt = 1; attempt <= kPasswordAttempts; ++attempt) {
        PasswordRequest request;
        request.kind = PasswordRequest::Kind::Unlock;
        request.containerName = key.container->stored.record.name;
        request.attempt = attempt;
        std::optional<Secret> password = prompt->AskPassword(request);
        if (!password) {
            return Fail(error::kCancelled, ossl::EvpPkey{});
        }
        ossl::EvpPkey unlocked = DecryptPrivateKey(key.file.privateKeyDer, password->View());
        if (unlocked) {
            return unlocked;
        }
    }
    return Fail(error::kWrongPassword, ossl::EvpPkey{});
}

}  // namespace

CryptKeyState::~CryptKeyState() {
    WipeMemory(file.privateKeyDer.data(), file.privateKeyDer.capacity());
}

CryptKey MakeKey(std::unique_ptr<CryptKeyState> state) {
    return CryptKey(std::move(state));
}

std::optional<CryptKey> LoadKeyPair(const std::shared_ptr<OpenContainer>& container,
                                    std::uint32_t key_spec) {
    auto bytes = ReadContainerFile(container->stored, KeyFileName(key_spec), kMaxContainerFileSize);
    if (!bytes) {
        return GetLastError() == error::kFileNotFound
                   ? Fail(error::kNoKey, std::optional<CryptKey>{})
                   : std::nullopt;
    }
    const WipedBytes file_bytes(std::move(*bytes));
    auto content = ParseKeyFile(file_bytes.view());
    if (!content || !IsHandledPublicKey(content->publicKeyInfo) ||
        (content->encrypted && !IsOpenableEncryptedKey(content->privateKeyDer))) {
        if (content) {
            WipeMemory(content->privateKeyDer.data(), content->privateKeyDer.size());
        }
        return Fail(error::kKeysetEntryBad, std::optional<CryptKey>{});
    }
    auto state = std::make_unique<CryptKeyState>();
    state->kind = KeyKind::Pair;
    state->container = container;
    state->keySpec = key_spec;
    state->file = std::move(*content);
    return MakeKey(std::move(state));
}

EVP_PKEY* UnlockPrivateKey(CryptKeyState& key) {
    if (key.kind != KeyKind::Pair) {
        return Fail<EVP_PKEY*>(error::kBadKeyState, nullptr);
    }
    if (key.privateKey) {
        return key.privateKey.get();
    }
    ossl::EvpPkey unlocked =
        key.file.encrypted ? UnlockWithPassword(key) : KeyOfPrivateKeyInfo(key.file.privateKeyDer);
    if (!unlocked) {
        if (!key.file.encrypted) {
            SetLastError(error::kKeysetEntryBad);
        }
        return nullptr;
    }
    // A private key that does not belong to the public key written beside it
    // is a damaged file, whatever opened it.
    if (!KeyMatchesPublicKeyInfo(unlocked.get(), key.file.publicKeyInfo)) {
        return Fail<EVP_PKEY*>(error::kKeysetEntryBad, nullptr);
    }
    key.privateKey = std::move(unlocked);
    return key.privateKey.get();
}

std::optional<WipedBytes> NewKeyFileBytes(const EVP_PKEY* key, bool exportable,
                                          const std::vector<Extension>& extensions,
                                          const std::string& container_name, bool silent) {
    KeyFileContent content;
    content.exportable = exportable;
    content.extensions = extensions;
    auto public_key = PublicKeyInfoDer(key);
    if (!public_key) {
        return std::nullopt;
    }
    content.publicKeyInfo = std::move(*public_key);

    std::optional<Secret> password;
    PasswordPrompt* prompt = CurrentPasswordPrompt();
    if (prompt != nullptr && !silent) {
        PasswordRequest request;
        request.kind = PasswordRequest::Kind::NewPassword;
        request.containerName = container_name;
        password = prompt->AskPassword(request);
        if (!password) {
            return Fail(error::kCancelled, std::optional<WipedBytes>{});
        }
    }
    WipedBytes private_der;
    if (password && !password->Empty()) {
        auto encrypted = EncryptPrivateKey(key, password->View());
        if (!encrypted) {
            return std::nullopt;
        }
        private_der = WipedBytes(std::move(*encrypted));
        content.encrypted = true;
    } else {
        auto clear = PrivateKeyInfoDer(key);
        if (!clear) {
            return std::nullopt;
        }
        private_der = std::move(*clear);
    }
    content.privateKeyDer = std::move(private_der.bytes());
    WipedBytes file(SerializeKeyFile(content));
    WipeMemory(content.privateKeyDer.data(), content.privateKeyDer.capacity());
    return file;
}

std::optional<CryptKey> StoreKeyPair(const std::shared_ptr<OpenContainer>& container,
                                     std::uint32_t key_spec, ossl::EvpPkey key, bool exportable,
                                     const std::vector<Extension>& extensions) {
    struct stat existing {};
    if (::lstat((container->stored.folder / KeyFileName(key_spec)).c_str(), &existing) == 0) {
        return Fail(error::kExists, std::optional<CryptKey>{});
    }
    auto bytes = NewKeyFileBytes(key.get(), exportable, extensions, container->stored.record.name,
                                 container->silent);
    if (!bytes || !WriteContainerFile(container->stored, KeyFileName(key_spec), bytes->view())) {
        return std::nullopt;
    }
    auto content = ParseKeyFile(bytes->view());
    if (!content) {
        return std::nullopt;
    }
    auto state = std::make_unique<CryptKeyState>();
    state->kind = KeyKind::Pair;
    state->container = container;
    state->keySpec = key_spec;
    state->file = std::move(*content);
    state->privateKey = std::move(key);
    return MakeKey(std::move(state));
}

std::optional<Extension> NewPrivateKeyValidity() {
    const FileTime now = NowFileTime() / kTicksPerSecond * kTicksPerSecond;
    const auto local = FileTimeToLocal(now);
    const FileTime end = local ? LocalToFileTime(AddToDate(1, 3, -1, *local)) : 0;
    auto value = end != 0 ? EncodePrivateKeyUsagePeriod(now, end) : std::nullopt;
    if (!value) {
        return std::nullopt;
    }
    return Extension{kPrivateKeyValidityOid, false, std::move(*value)};
}

}  // namespace velmora::platform
