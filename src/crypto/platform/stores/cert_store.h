// Certificate stores (the platform's HCERTSTORE): the system stores "MY",
// "CA" and "ROOT" of the current user and of the machine, folders on disk
// (StoreFolder), and read-only file stores over a certificate bundle. Every
// call that fails returns false, nullptr or nullopt and sets the last-error code.
#pragma once

#include "crypto/platform/certs/cert_context.h"
#include "crypto/platform/system/locations.h"
#include "encoding/bytes.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::platform {

class CertStoreState;

// An open store. Move-only; closing it (destruction) never invalidates the
// certificate contexts taken from it.
class CertStore {
  public:
    CertStore();
    ~CertStore();
    CertStore(CertStore&&) noexcept;
    CertStore& operator=(CertStore&&) noexcept;
    CertStore(const CertStore&) = delete;
    CertStore& operator=(const CertStore&) = delete;

    bool IsOpen() const { return state_ != nullptr; }
    bool ReadOnly() const;

    // For the boundary's own files.
    explicit CertStore(std::unique_ptr<CertStoreState> state);
    CertStoreState& State() const { return *state_; }

  private:
    std::unique_ptr<CertStoreState> state_;
};

// The system store name in its usual upper-case spelling ("my" gives "MY");
// nullopt for a name other than "MY", "CA" and "ROOT".
std::optional<std::string> SystemStoreName(std::string_view name);

// CertOpenStore(CERT_STORE_PROV_SYSTEM) / CertOpenSystemStore: "MY", "CA" or
// "ROOT" (in any case) at the location; the store's folder is made (0700)
// when missing. A store name outside these three fails
// (ERROR_INVALID_PARAMETER); a store folder, or folder of stores, that is a
// symbolic link, no folder, another user's or writable by others is refused
// (ERROR_ACCESS_DENIED).
std::optional<CertStore> OpenSystemStore(StoreLocation location, std::string_view name);

// CertOpenStore(CERT_STORE_PROV_FILENAME): a read-only store over a file
// holding a PKCS#7 certificate bundle, a single certificate, DER or PEM/base64
// (several PEM blocks are read one after the other). A missing file gives
// ERROR_FILE_NOT_FOUND; a file that holds none of these CRYPT_E_ASN1_BADTAG.
std::optional<CertStore> OpenFileStore(const std::filesystem::path& file);

// The certificates and CRLs of a bundle file's bytes, as OpenFileStore reads
// them; nullopt with the last error set when the bytes are none of the forms.
struct CertificateBundle {
    std::vector<CertContext> certificates;
    std::vector<Bytes> crls;
};
std::optional<CertificateBundle> ParseCertificateBundle(ByteView bytes);

// A store file passed over while listing: the file's name in the store folder
// and the last-error code that says why (not a certificate, a name that is
// not its thumbprint, a link, unreadable; or a property file that is not one,
// whose certificate is then listed without the property).
struct SkippedStoreEntry {
    std::string fileName;
    std::uint32_t error = 0;
};

// CertEnumCertificatesInStore: every certificate, each with the properties
// the store keeps for it (the key-provider property), in a stable order
// (by thumbprint for system stores, by position for file stores). Files that
// are not what their names promise are passed over, with nothing else
// touched, and noted in `skipped` when it is given.
std::vector<CertContext> StoreCertificates(const CertStore& store,
                                           std::vector<SkippedStoreEntry>* skipped = nullptr);

// The certificate of that SHA-1 thumbprint (20 bytes), or nullptr
// (CRYPT_E_NOT_FOUND).
CertContext FindCertificateByThumbprint(const CertStore& store, ByteView sha1);

// CertAddCertificateContextToStore with CERT_STORE_ADD_REPLACE_EXISTING: the
// certificate and its key-provider property are written (atomically), an
// equal certificate already there is replaced. Read-only stores refuse
// (ERROR_ACCESS_DENIED).
bool AddCertificateToStore(CertStore& store, const CertContext& certificate);

// CertDeleteCertificateFromStore: removes the certificate (and its
// properties) from the store it was taken from.
bool DeleteCertificateFromStore(CertStore& store, const CertContext& certificate);

// CertSetCertificateContextProperty(CERT_KEY_PROV_INFO_PROP_ID): gives the
// context with the property set (or removed, with nullopt); when the
// certificate is in the store, the store's copy of the property is written
// too. Without a store (nullptr) only the returned context carries it.
CertContext SetCertificateKeyProv(CertStore* store, const CertContext& certificate,
                                  std::optional<KeyProvInfo> key_prov);

// CRLs kept in a store, as their DER.
std::vector<Bytes> StoreCrls(const CertStore& store);
bool AddCrlToStore(CertStore& store, ByteView crl_der);

}  // namespace velmora::platform
