// The certificate selection dialog (CryptUIDlgSelectCertificateFromStore).
// The front end installs a selector that shows its own dialog; tests install
// a scripted one; without one nothing is ever chosen.
#pragma once

#include "crypto/platform/certs/cert_context.h"
#include "crypto/platform/stores/cert_store.h"

#include <vector>

namespace velmora::platform {

class CertificateSelector {
  public:
    virtual ~CertificateSelector() = default;
    // The chosen certificate among these, or nullptr when the user cancels.
    virtual CertContext SelectCertificate(const std::vector<CertContext>& certificates) = 0;
};

// Shows the installed selector over the store's certificates; nullptr and
// ERROR_CANCELLED when nothing is chosen or no selector is installed.
CertContext SelectCertificateFromStore(const CertStore& store);

CertificateSelector* CurrentCertificateSelector();

// Installs a selector for the calling thread while it lives; installations
// nest, and each restores the one it replaced.
class ScopedCertificateSelector {
  public:
    explicit ScopedCertificateSelector(CertificateSelector* selector);
    ~ScopedCertificateSelector();
    ScopedCertificateSelector(const ScopedCertificateSelector&) = delete;
    ScopedCertificateSelector& operator=(const ScopedCertificateSelector&) = delete;

  private:
    CertificateSelector* previous_;
};

}  // namespace velmora::platform
