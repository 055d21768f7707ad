#include "crypto/stores/store_operations.h"

#include "crypto/platform/keys/crypt_provider.h"
#include "crypto/platform/stores/cert_selector.h"
#include "crypto/platform/stores/cert_store.h"
#include "crypto/platform/system/system_info.h"

#include <optional>

namespace velmora {
namespace {

using platform::CertContext;
using platform::CertStore;
using platform::StoreLocation;

// A store opened for a choice; a failure is shown in the error box.
std::optional<CertStore> ShownOpenResult(Dialogs& dialogs, std::optional<CertStore> store) {
    if (!store) {
        ShowErrorBox(dialogs, "Ошибка при открытии хранилища: - " + platform::LastErrorText());
    }
    return store;
}

std::optional<CertStore> OpenSystem(Dialogs& dialogs, StoreLocation location,
                                    std::string_view store_name) {
    return ShownOpenResult(dialogs, platform::OpenSystemStore(location, store_name));
}

bool DeleteChosen(Dialogs& dialogs, StoreLocation location, std::string_view store_name) {
    std::optional<CertStore> store = OpenSystem(dialogs, location, store_name);
    if (!store) {
        return false;
    }
    const CertContext chosen = platform::SelectCertificateFromStore(*store);
    return chosen != nullptr && platform::DeleteCertificateFromStore(*store, chosen);
}

}  // namespace

StoreLocation AdminStoreLocation() {
    return platform::IsUserAdmin() ? StoreLocation::LocalMachine : StoreLocation::CurrentUser;
}

CertContext SelectStoreCertificate(Dialogs& dialogs, StoreLocation location,
                                   std::string_view store_name) {
    const std::optional<CertStore> store = OpenSystem(dialogs, location, store_name);
    return store ? platform::SelectCertificateFromStore(*store) : nullptr;
}

CertContext SelectPersonalCertificate(Dialogs& dialogs) {
    return SelectStoreCertificate(dialogs, StoreLocation::CurrentUser, kPersonalStore);
}

CertContext SelectFileStoreCertificate(Dialogs& dialogs, const std::filesystem::path& file) {
    const std::optional<CertStore> store = ShownOpenResult(dialogs, platform::OpenFileStore(file));
    return store ? platform::SelectCertificateFromStore(*store) : nullptr;
}

bool DeletePersonalCertificate(Dialogs& dialogs) {
    return DeleteChosen(dialogs, StoreLocation::CurrentUser, kPersonalStore);
}

bool DeleteStoreCertificate(Dialogs& dialogs, StoreLocation location, std::string_view store_name) {
    return DeleteChosen(dialogs, location, store_name);
}

bool AddToStore(CertContext certificate, StoreLocation location, std::string_view store_name,
                std::vector<std::string>& messages) {
    std::optional<CertStore> store = platform::OpenSystemStore(location, store_name);
    if (!store || !platform::AddCertificateToStore(*store, certificate)) {
        messages.push_back(std::string(kListErrorPrefix) + platform::LastErrorText());
        return false;
    }
    return true;
}

bool AddToPersonal(CertContext certificate) {
    std::optional<CertStore> store =
        platform::OpenSystemStore(StoreLocation::CurrentUser, kPersonalStore);
    return store && platform::AddCertificateToStore(*store, certificate);
}

bool BindCertificateToContainer(Dialogs& dialogs, CertContext& certificate,
                                const std::string& provider_name, std::uint32_t provider_type,
                                const std::string& container_name) {
    platform::KeyProvInfo key_prov;
    key_prov.containerName = container_name;
    key_prov.providerName = provider_name;
    key_prov.providerType = provider_type;
    key_prov.keySpec = platform::kAtKeyExchange;
    CertContext bound = platform::SetCertificateKeyProv(nullptr, certificate, key_prov);
    if (!bound) {
        ShowErrorBox(dialogs, std::string(kBoxErrorPrefix) + platform::LastErrorText());
        return false;
    }
    certificate = std::move(bound);
    return true;
}

}  // namespace velmora
