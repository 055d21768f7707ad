// Chain validation and revocation of one certificate, as Russian lines.
#pragma once

#include "crypto/platform/certs/cert_context.h"
#include "crypto/platform/chain/cert_chain.h"
#include "encoding/date_time.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace velmora {

// The line of a chain's error status: the text of the one flag it holds, or
// the decimal value when it holds none or several.
std::string ChainErrorStatusLine(std::uint32_t status);
// The line of a chain's information status, by the same rule.
std::string ChainInfoStatusLine(std::uint32_t status);

// Builds and checks the certificate's chain at the time (none: now) with the
// revocation check of the certificate itself, and appends the error status
// line (with the revocation lines for a revoked certificate) and the
// information status line. False, with one line, when the chain could not be
// built. The chain's error status goes to `error_status` when one is given.
bool CheckCertificateChain(const platform::CertContext& certificate, std::optional<FileTime> time,
                           std::vector<std::string>& lines, std::uint32_t* error_status = nullptr);

// The issuer's name lines and what the issuer's CRL says of the certificate.
void RevocationLines(const platform::CertContext& certificate,
                     const platform::CertChainContext& chain, std::vector<std::string>& lines);

}  // namespace velmora
