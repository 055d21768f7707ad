#include "crypto/platform/stores/cert_store.h"

#include "crypto/platform/asn1/der_reader.h"
#include "crypto/platform/certs/cert_hash.h"
#include "crypto/platform/certs/crl.h"
#include "crypto/platform/stores/cert_store_state.h"
#include "crypto/platform/stores/key_prov_file.h"
#include "crypto/platform/stores/store_folder.h"
#include "crypto/platform/system/last_error.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace velmora::platform {
namespace {

constexpr std::array<std::string_view, 3> kSystemStoreNames = {"MY", "CA", "ROOT"};

std::string CertificateFileName(const std::string& stem) {
    return stem + std::string(kCertificateSuffix);
}

std::string KeyProvFileName(const std::string& stem) {
    return stem + std::string(kKeyProvSuffix);
}

std::string ThumbprintStem(const CertContext& certificate) {
    return HashFileStem(HashCertificateSha1(certificate->Encoded()));
}

// One stored certificate with its property; nullptr when its file is not the
// certificate its name promises (the reason goes to `skipped`).
CertContext ReadStoredCertificate(const std::filesystem::path& folder, const std::string& name,
                                  std::vector<SkippedStoreEntry>* skipped) {
    const auto note = [&](std::string file) {
        if (skipped != nullptr) {
            skipped->push_back({std::move(file), GetLastError()});
        }
    };
    const std::optional<Bytes> der = ReadStoreFile(folder, name);
    if (!der) {
        note(name);
        return nullptr;
    }
    CertContext certificate = CreateCertificateContext(*der);
    if (!certificate) {
        note(name);
        return nullptr;
    }
    const std::string stem = name.substr(0, name.size() - kCertificateSuffix.size());
    // A file renamed by hand would be found, replaced and deleted under a
    // thumbprint that is not its own.
    if (ThumbprintStem(certificate) != stem) {
        SetLastError(error::kHashValue);
        note(name);
        return nullptr;
    }
    const std::string key_file = KeyProvFileName(stem);
    const std::optional<Bytes> key_bytes = ReadStoreFile(folder, key_file);
    if (!key_bytes) {
        // No property file is the usual case; another failure is worth a word.
        if (GetLastError() != error::kFileNotFound) {
            note(key_file);
        }
        return certificate;
    }
    if (std::optional<KeyProvInfo> key_prov = DecodeKeyProvFile(*key_bytes)) {
        return certificate->WithKeyProv(std::move(*key_prov));
    }
    note(key_file);
    return certificate;
}

// Each file of a system store with the suffix, given to `read`, which adds
// what it makes of it; a file store gives what its bundle held.
template <typename T, typename Read>
std::vector<T> ReadEntries(const CertStore& store, std::vector<T> CertStoreState::*bundle,
                           std::string_view suffix, Read read) {
    if (!store.IsOpen()) {
        return Fail(error::kInvalidParameter, std::vector<T>());
    }
    const CertStoreState& state = store.State();
    if (state.readOnly) {
        return state.*bundle;
    }
    std::vector<T> entries;
    if (const auto names = ListStoreFiles(state.folder, suffix)) {
        entries.reserve(names->size());
        for (const std::string& name : *names) {
            read(state.folder, name, entries);
        }
    }
    return entries;
}

// A store that may be written, and a certificate to write to it.
bool CheckWritable(const CertStore& store, const CertContext& certificate) {
    if (!store.IsOpen() || certificate == nullptr) {
        return Fail(error::kInvalidParameter);
    }
    if (store.State().readOnly) {
        return Fail(error::kAccessDenied);
    }
    return true;
}

// Writes or removes the property file of a stored certificate.
bool StoreKeyProv(const std::filesystem::path& folder, const std::string& stem,
                  const std::optional<KeyProvInfo>& key_prov) {
    const std::string name = KeyProvFileName(stem);
    if (key_prov) {
        return WriteStoreFile(folder, name, EncodeKeyProvFile(*key_prov));
    }
    return RemoveStoreFile(folder, name) || GetLastError() == error::kFileNotFound;
}

}  // namespace

CertStore::CertStore() = default;
CertStore::~CertStore() = default;
CertStore::CertStore(CertStore&&) noexcept = default;
CertStore& CertStore::operator=(CertStore&&) noexcept = default;
CertStore::CertStore(std::unique_ptr<CertStoreState> state) : state_(std::move(state)) {}

bool CertStore::ReadOnly() const {
    return state_ != nullptr && state_->readOnly;
}

std::optional<std::string> SystemStoreName(std::string_view name) {
    std::string upper;
    for (const char c : name) {
        upper += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    if (std::find(kSystemStoreNames.begin(), kSystemStoreNames.end(), upper) ==
        kSystemStoreNames.end()) {
        return std::nullopt;
    }
    return upper;
}

std::optional<CertStore> OpenSystemStore(StoreLocation location, std::string_view name) {
    const std::optional<std::string> store_name = SystemStoreName(name);
    if (!store_name) {
        return Fail(error::kInvalidParameter, std::optional<CertStore>());
    }
    std::filesystem::path folder = StoreFolder(location) / *store_name;
    if (!PrepareStoreFolder(folder)) {
        return std::nullopt;
    }
    return CertStore(std::make_unique<CertStoreState>(std::move(folder)));
}

std::vector<CertContext> StoreCertificates(const CertStore& store,
                                           std::vector<SkippedStoreEntry>* skipped) {
    return ReadEntries(
        store, &CertStoreState::certificates, kCertificateSuffix,
        [skipped](const std::filesystem::path& folder, const std::string& name,
                  std::vector<CertContext>& certificates) {
            if (CertContext certificate = ReadStoredCertificate(folder, name, skipped)) {
                certificates.push_back(std::move(certificate));
            }
        });
}

CertContext FindCertificateByThumbprint(const CertStore& store, ByteView sha1) {
    if (!store.IsOpen() || sha1.size() != 20) {
        return Fail(error::kInvalidParameter, CertContext());
    }
    const CertStoreState& state = store.State();
    if (state.readOnly) {
        for (const CertContext& certificate : state.certificates) {
            const Bytes thumbprint = HashCertificateSha1(certificate->Encoded());
            if (std::equal(thumbprint.begin(), thumbprint.end(), sha1.begin(), sha1.end())) {
                return certificate;
            }
        }
        return Fail(error::kNotFound, CertContext());
    }
    const std::string name = CertificateFileName(HashFileStem(sha1));
    std::vector<SkippedStoreEntry> skipped;
    CertContext certificate = ReadStoredCertificate(state.folder, name, &skipped);
    if (!certificate) {
        // A missing file is simply not found; a broken one keeps its reason.
        return Fail(GetLastError() == error::kFileNotFound ? error::kNotFound : GetLastError(),
                    CertContext());
    }
    return certificate;
}

bool AddCertificateToStore(CertStore& store, const CertContext& certificate) {
    if (!CheckWritable(store, certificate)) {
        return false;
    }
    const std::filesystem::path& folder = store.State().folder;
    const std::string stem = ThumbprintStem(certificate);
    // The property goes first: the certificate file is what makes an entry,
    // so until it is in place a new property belongs to no entry, and a
    // replaced certificate has the same bytes under the same name. Each file
    // is written whole or not at all, so an interrupted add leaves the old
    // entry or the new one.
    return StoreKeyProv(folder, stem, certificate->KeyProv()) &&
           WriteStoreFile(folder, CertificateFileName(stem), certificate->Encoded());
}

bool DeleteCertificateFromStore(CertStore& store, const CertContext& certificate) {
    if (!CheckWritable(store, certificate)) {
        return false;
    }
    const std::filesystem::path& folder = store.State().folder;
    const std::string stem = ThumbprintStem(certificate);
    // The certificate goes first, so that no entry is ever left without its
    // property; a property file left alone belongs to nothing.
    if (!RemoveStoreFile(folder, CertificateFileName(stem))) {
        return Fail(GetLastError() == error::kFileNotFound ? error::kNotFound : GetLastError());
    }
    StoreKeyProv(folder, stem, std::nullopt);
    SetLastError(error::kSuccess);
    return true;
}

CertContext SetCertificateKeyProv(CertStore* store, const CertContext& certificate,
                                  std::optional<KeyProvInfo> key_prov) {
    if (certificate == nullptr) {
        return Fail(error::kInvalidParameter, CertContext());
    }
    if (store != nullptr) {
        if (!CheckWritable(*store, certificate)) {
            return nullptr;
        }
        const std::filesystem::path& folder = store->State().folder;
        const std::string stem = ThumbprintStem(certificate);
        if (!ReadStoreFile(folder, CertificateFileName(stem))) {
            return Fail(error::kNotFound, CertContext());
        }
        if (!StoreKeyProv(folder, stem, key_prov)) {
            return nullptr;
        }
    }
    return certificate->WithKeyProv(std::move(key_prov));
}

std::vector<Bytes> StoreCrls(const CertStore& store) {
    return ReadEntries(
        store, &CertStoreState::crls, kCrlSuffix,
        [](const std::filesystem::path& folder, const std::string& name, std::vector<Bytes>& crls) {
            std::optional<Bytes> der = ReadStoreFile(folder, name);
            CrlInfo info;
            if (der && DecodeCrlInfo(*der, info, false)) {
                crls.push_back(std::move(*der));
            }
        });
}

bool AddCrlToStore(CertStore& store, ByteView crl_der) {
    if (!store.IsOpen()) {
        return Fail(error::kInvalidParameter);
    }
    if (store.State().readOnly) {
        return Fail(error::kAccessDenied);
    }
    CrlInfo info;
    if (!DecodeCrlInfo(crl_der, info, false)) {
        return false;
    }
    const std::string name = HashFileStem(HashCertificateSha1(crl_der)) + std::string(kCrlSuffix);
    return WriteStoreFile(store.State().folder, name, crl_der);
}

}  // namespace velmora::platform
