// The certificate store operations: choosing a certificate from the personal,
// CA or root store or from a bundle file, deleting and adding certificates,
// binding a certificate to a key container and checking that it belongs to
// one. Store failures that stop a choice are shown in the "Ошибка" box;
// failures of an add go to the caller's message list.
#pragma once

#include "crypto/platform/certs/cert_context.h"
#include "crypto/platform/system/locations.h"
#include "report/view/dialogs.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

inline constexpr std::string_view kPersonalStore = "MY";
inline constexpr std::string_view kCaStore = "CA";
inline constexpr std::string_view kRootStore = "ROOT";

// The prefix of a failure's system text in message boxes and in message lists.
inline constexpr std::string_view kBoxErrorPrefix = "Ошибка № - ";
inline constexpr std::string_view kListErrorPrefix = "Ошибка  - ";

// Where "CA" and "ROOT" are opened: the machine's stores for an
// administrator, the user's own otherwise. "MY" is always the user's.
platform::StoreLocation AdminStoreLocation();

// The certificate chosen in the selection dialog from "MY", from a system
// store, or from the certificates of a bundle file; nullptr when none is
// chosen. A store that cannot be opened gives the box "Ошибка при открытии
// хранилища: - " and the system text.
platform::CertContext SelectPersonalCertificate(Dialogs& dialogs);
platform::CertContext SelectStoreCertificate(Dialogs& dialogs, platform::StoreLocation location,
                                             std::string_view store_name);
platform::CertContext SelectFileStoreCertificate(Dialogs& dialogs,
                                                 const std::filesystem::path& file);

// Chooses a certificate as above and deletes it from its store. False when
// none was chosen (last error ERROR_CANCELLED) or the deletion failed.
bool DeletePersonalCertificate(Dialogs& dialogs);
bool DeleteStoreCertificate(Dialogs& dialogs, platform::StoreLocation location,
                            std::string_view store_name);

// Adds the certificate (with its key-provider property) to the system store,
// replacing an equal one. Failures append "Ошибка  - " and the system text to
// the messages.
bool AddToStore(platform::CertContext certificate, platform::StoreLocation location,
                std::string_view store_name, std::vector<std::string>& messages);

// The same for "MY", without messages: false when the store cannot be opened
// or the certificate is refused.
bool AddToPersonal(platform::CertContext certificate);

// Sets the key-provider property naming the container (flags 0, the exchange
// key) on the certificate: `certificate` becomes the context that carries it.
// A failure shows "Ошибка № - " and the system text and gives false.
bool BindCertificateToContainer(Dialogs& dialogs, platform::CertContext& certificate,
                                const std::string& provider_name, std::uint32_t provider_type,
                                const std::string& container_name);

// True when the container's exchange public key is the certificate's public
// key. Any failure (no such container, no exchange key) gives false; so does
// a container that holds only a signature key.
bool CertificateMatchesContainer(const platform::CertContext& certificate,
                                 const std::string& provider_name, std::uint32_t provider_type,
                                 const std::string& container_name);

}  // namespace velmora
