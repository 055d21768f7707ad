// The short description of a certificate that lists of certificates show:
// the selection dialog and the command line's store listing.
#pragma once

#include "crypto/platform/certs/cert_context.h"
#include "encoding/bytes.h"

#include <string>

namespace velmora {

struct CertificateSummary {
    std::string subject;     // the common name, or the whole name's text without one
    std::string issuer;      // likewise
    std::string validTo;     // "dd.mm.yyyy hh:mm:ss", local time
    std::string thumbprint;  // SHA-1, 40 upper-case hex digits
    std::string container;   // from the key-provider property; empty without one
};

// The common name of an encoded Name, or its simple text when it has none.
std::string ShortNameText(ByteView name_der);

CertificateSummary SummarizeCertificate(const platform::CertContext& certificate);

}  // namespace velmora
