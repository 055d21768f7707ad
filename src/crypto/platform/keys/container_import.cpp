// A key pair made elsewhere (by openssl, say) put into a new container with
// its certificate.
#include "crypto/platform/keys/crypt_state.h"

#include "crypto/platform/keys/password_prompt.h"
#include "crypto/platform/keys/secret.h"
#include "crypto/platform/system/last_error.h"
#include "encoding/base64.h"
#include "encoding/pem.h"

#include <openssl/err.h>
#include <openssl/x509.h>

namespace velmora::platform {
namespace {

constexpr int kPasswordAttempts = 3;
// The certificate extension that carries the private key's usage period.
constexpr const char* kPrivateKeyUsagePeriodOid = "2.5.29.16";

bool IsEncryptedKeyDer(ByteView der) {
    const unsigned char* at = der.data();
    ossl::Ptr<X509_SIG, X509_SIG_free> encrypted(
        d2i_X509_SIG(nullptr, &at, static_cast<long>(der.size())));
    ERR_clear_error();
    return encrypted && at == der.data() + der.size();
}

// The DER of a PKCS#8 key file: DER as it is, PEM through its armour.
// Explanatory lines before the PEM block (a container's own key file has
// them) are skipped, as PEM readers skip them.
std::optional<WipedBytes> KeyFileDer(ByteView file) {
    const std::string_view text(reinterpret_cast<const char*>(file.data()), file.size());
    const std::size_t begin = text.find("-----BEGIN");
    if (begin == std::string_view::npos) {
        return WipedBytes(Bytes(file.begin(), file.end()));
    }
    std::string body = StripPemArmour(text.substr(begin));
    auto der = Base64Decode(body);
    WipeMemory(body.data(), body.size());
    if (!der) {
        return Fail(error::kBadKey, std::optional<WipedBytes>{});
    }
    return WipedBytes(std::move(*der));
}

ossl::EvpPkey OpenEncryptedKeyFile(ByteView der, const std::string& container_name) {
    if (!IsOpenableEncryptedKey(der)) {
        return Fail(error::kBadKey, ossl::EvpPkey{});
    }
    PasswordPrompt* prompt = CurrentPasswordPrompt();
    if (prompt == nullptr) {
        return Fail(error::kSilentContext, ossl::EvpPkey{});
    }
    for (int attempt = 1; attempt <= kPasswordAttempts; ++attempt) {
        PasswordRequest request;
        request.kind = PasswordRequest::Kind::KeyFile;
        request.containerName = container_name;
        request.attempt = attempt;
        std::optional<Secret> password = prompt->AskPassword(request);
        if (!password) {
            return Fail(error::kCancelled, ossl::EvpPkey{});
        }
        if (ossl::EvpPkey key = DecryptPrivateKey(der, password->View())) {
            return key;
        }
    }
    return Fail(error::kWrongPassword, ossl::EvpPkey{});
}

}  // namespace

bool ImportContainerKey(std::string_view container, std::string_view provider, std::uint32_t type,
                        ByteView private_key, const CertContext& certificate, bool exportable) {
    const auto description = FindProvider(std::string(provider), type);
    if (!description) {
        return Fail(error::kKeysetNotDef);
    }
    const auto name = ContainerNameOf(container);
    if (!name) {
        return false;
    }
    if (!IsValidContainerName(*name)) {
        return Fail(error::kBadKeysetParam);
    }
    const auto der = KeyFileDer(private_key);
    if (!der) {
        return false;
    }
    ossl::EvpPkey key = IsEncryptedKeyDer(der->view()) ? OpenEncryptedKeyFile(der->view(), *name)
                                                       : KeyOfPrivateKeyInfo(der->view());
    if (!key) {
        return false;
    }
    const auto family = FamilyOfKey(key.get());
    if (!family || !ProviderHandles(*description, *family)) {
        return Fail(error::kBadAlgId);
    }
    std::vector<Extension> extensions;
    if (certificate) {
        const auto own = PublicKeyInfoDer(key.get());
        const auto own_info = own ? DecodePublicKeyInfo(*own) : std::nullopt;
        if (!own_info || !ComparePublicKeyInfo(*own_info, certificate->Info().publicKey)) {
            return Fail(error::kBadPublicKey);
        }
        // The certificate's private key usage period is the key's validity.
        if (const Extension* period =
                FindExtension(certificate->Info().extensions, kPrivateKeyUsagePeriodOid)) {
            extensions.push_back(Extension{kPrivateKeyValidityOid, false, period->value});
        }
    }
    // A container of that name is refused before a password is asked for it.
    if (FindStoredContainer(*name)) {
        return Fail(error::kExists);
    }
    const auto key_file = NewKeyFileBytes(key.get(), exportable, extensions, *name, false);
    if (!key_file) {
        return false;
    }
    std::vector<std::pair<std::string, ByteView>> files = {
        {KeyFileName(kAtKeyExchange), key_file->view()}};
    if (certificate) {
        files.emplace_back(CertificateFileName(kAtKeyExchange), certificate->Encoded());
    }
    return CreateStoredContainer(ContainerRecord{*name, DefaultHashOid(description->family),
                                                 DefaultCipherOid(description->family)},
                                 files)
        .has_value();
}

}  // namespace velmora::platform
