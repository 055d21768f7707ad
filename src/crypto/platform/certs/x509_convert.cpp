#include "crypto/platform/certs/x509_convert.h"

#include "crypto/platform/system/last_error.h"

#include <openssl/err.h>

namespace velmora::platform {

ossl::X509Ptr X509OfContext(const CertContext& certificate) {
    if (!certificate) {
        return Fail(error::kInvalidParameter, ossl::X509Ptr{});
    }
    const unsigned char* p = certificate->Encoded().data();
    ossl::X509Ptr x509(d2i_X509(nullptr, &p, static_cast<long>(certificate->Encoded().size())));
    if (!x509) {
        ERR_clear_error();
        return Fail(error::kAsn1Corrupt, ossl::X509Ptr{});
    }
    return x509;
}

CertContext ContextOfX509(X509* x509) {
    const int size = i2d_X509(x509, nullptr);
    if (size <= 0) {
        ERR_clear_error();
        return Fail(error::kBadEncode, CertContext{});
    }
    Bytes der(static_cast<std::size_t>(size));
    unsigned char* p = der.data();
    i2d_X509(x509, &p);
    return CreateCertificateContext(der);
}

}  // namespace velmora::platform
