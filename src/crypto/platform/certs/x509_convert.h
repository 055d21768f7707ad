// Certificate contexts to and from OpenSSL certificates, for the boundary's
// own files. Boundary-internal.
#pragma once

#include "crypto/platform/certs/cert_context.h"
#include "crypto/platform/ossl_ptr.h"

namespace velmora::platform {

// The OpenSSL certificate of a context; nullptr (kAsn1Corrupt) when OpenSSL
// refuses it.
ossl::X509Ptr X509OfContext(const CertContext& certificate);

// A context for an OpenSSL certificate; nullptr and the last error when it
// cannot be created.
CertContext ContextOfX509(X509* x509);

}  // namespace velmora::platform
