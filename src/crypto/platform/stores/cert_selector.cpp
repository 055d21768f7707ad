#include "crypto/platform/stores/cert_selector.h"

#include "crypto/platform/system/last_error.h"

namespace velmora::platform {
namespace {

thread_local CertificateSelector* current_selector = nullptr;

}  // namespace

CertContext SelectCertificateFromStore(const CertStore& store) {
    if (!store.IsOpen()) {
        return Fail(error::kInvalidParameter, CertContext());
    }
    const std::vector<CertContext> certificates = StoreCertificates(store);
    CertContext chosen =
        current_selector != nullptr ? current_selector->SelectCertificate(certificates) : nullptr;
    if (!chosen) {
        return Fail(error::kCancelled, CertContext());
    }
    return chosen;
}

CertificateSelector* CurrentCertificateSelector() {
    return current_selector;
}

ScopedCertificateSelector::ScopedCertificateSelector(CertificateSelector* selector)
    : previous_(current_selector) {
    current_selector = selector;
}

ScopedCertificateSelector::~ScopedCertificateSelector() {
    current_selector = previous_;
}

}  // namespace velmora::platform
