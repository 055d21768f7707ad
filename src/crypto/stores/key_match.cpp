#include "crypto/platform/keys/crypt_provider.h"
#include "crypto/stores/store_operations.h"

namespace velmora {

bool CertificateMatchesContainer(const platform::CertContext& certificate,
                                 const std::string& provider_name, std::uint32_t provider_type,
                                 const std::string& container_name) {
    if (certificate == nullptr) {
        return false;
    }
    platform::CryptProvider provider;
    if (!platform::AcquireContext(provider, container_name, provider_name, provider_type, 0)) {
        return false;
    }
    const std::optional<platform::PublicKeyInfo> key =
        platform::ExportPublicKeyInfo(provider, platform::kAtKeyExchange);
    return key && platform::ComparePublicKeyInfo(*key, certificate->Info().publicKey);
}

}  // namespace velmora
