// What an open store holds: the folder of a system store, or the
// certificates and CRLs read from a bundle file. For the boundary's own files.
#pragma once

#include "crypto/platform/certs/cert_context.h"
#include "encoding/bytes.h"

#include <filesystem>
#include <vector>

namespace velmora::platform {

class CertStoreState {
  public:
    // A system store: one folder of certificate, property and CRL files.
    explicit CertStoreState(std::filesystem::path store_folder) : folder(std::move(store_folder)) {}
    // A file store: read once when opened, never written.
    CertStoreState(std::vector<CertContext> bundle_certificates, std::vector<Bytes> bundle_crls)
        : certificates(std::move(bundle_certificates)),
          crls(std::move(bundle_crls)),
          readOnly(true) {}

    std::filesystem::path folder;
    std::vector<CertContext> certificates;
    std::vector<Bytes> crls;
    bool readOnly = false;
};

}  // namespace velmora::platform
