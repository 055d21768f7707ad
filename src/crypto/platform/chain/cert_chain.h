// The chain engine (CertCreateCertificateChainEngine, CertGetCertificateChain)
// over the system stores of both locations: "ROOT" holds the trust anchors,
// "CA" the intermediate certificates, and the CRLs of both are used for the
// revocation check. The result carries the platform's trust-status bits.
#pragma once

#include "crypto/platform/certs/cert_context.h"
#include "crypto/platform/certs/crl.h"
#include "crypto/platform/system/locations.h"
#include "encoding/bytes.h"
#include "encoding/date_time.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace velmora::platform {

// CERT_TRUST_STATUS error bits.
namespace trust_error {
inline constexpr std::uint32_t kIsNotTimeValid = 0x00000001;
inline constexpr std::uint32_t kIsRevoked = 0x00000004;
inline constexpr std::uint32_t kIsNotSignatureValid = 0x00000008;
inline constexpr std::uint32_t kIsNotValidForUsage = 0x00000010;
inline constexpr std::uint32_t kIsUntrustedRoot = 0x00000020;
inline constexpr std::uint32_t kRevocationStatusUnknown = 0x00000040;
inline constexpr std::uint32_t kIsCyclic = 0x00000080;
inline constexpr std::uint32_t kInvalidExtension = 0x00000100;
inline constexpr std::uint32_t kInvalidPolicyConstraints = 0x00000200;
inline constexpr std::uint32_t kInvalidBasicConstraints = 0x00000400;
inline constexpr std::uint32_t kInvalidNameConstraints = 0x00000800;
inline constexpr std::uint32_t kIsPartialChain = 0x00010000;
}  // namespace trust_error

// CERT_TRUST_STATUS information bits.
namespace trust_info {
inline constexpr std::uint32_t kHasExactMatchIssuer = 0x00000001;
inline constexpr std::uint32_t kHasKeyMatchIssuer = 0x00000002;
inline constexpr std::uint32_t kHasNameMatchIssuer = 0x00000004;
inline constexpr std::uint32_t kIsSelfSigned = 0x00000008;
inline constexpr std::uint32_t kHasPreferredIssuer = 0x00000100;
}  // namespace trust_info

// CertGetCertificateChain flags.
inline constexpr std::uint32_t kChainRevocationCheckEndCert = 0x10000000;

// A store of the chain engine: its location and name ("CA" or "ROOT").
struct StoreRef {
    StoreLocation location = StoreLocation::CurrentUser;
    std::string name;
    bool operator==(const StoreRef&) const = default;
};

struct ChainElement {
    CertContext certificate;
    std::uint32_t errorStatus = 0;
    std::uint32_t infoStatus = 0;
    // The store the certificate was found in; none for the certificate
    // being checked when it is in no store.
    std::optional<StoreRef> store;
};

// The chain context: the trust status of the whole chain and its elements,
// the checked certificate first.
struct CertChainContext {
    std::uint32_t errorStatus = 0;
    std::uint32_t infoStatus = 0;
    std::vector<ChainElement> elements;
};

class ChainEngineState;

// A chain engine: the certificates and CRLs of the stores as they were when
// it was created. Move-only.
class ChainEngine {
  public:
    ChainEngine();
    ~ChainEngine();
    ChainEngine(ChainEngine&&) noexcept;
    ChainEngine& operator=(ChainEngine&&) noexcept;
    ChainEngine(const ChainEngine&) = delete;
    ChainEngine& operator=(const ChainEngine&) = delete;

    explicit ChainEngine(std::unique_ptr<ChainEngineState> state);
    ChainEngineState& State() const { return *state_; }

  private:
    std::unique_ptr<ChainEngineState> state_;
};

// CertCreateCertificateChainEngine: reads the "CA" and "ROOT" stores of the
// current user and of the machine. A location whose stores cannot be read
// adds nothing; the engine fails only without the GOST engine.
std::optional<ChainEngine> CreateCertificateChainEngine();

// CertGetCertificateChain: builds the certificate's chain with the engine
// (nullptr: a default engine over the stores as they are now) and checks it
// at the given time (none: now, as NowFileTime gives it). With
// kChainRevocationCheckEndCert the certificate itself is looked up in its
// issuer's CRLs; a revocation dated after the time of the check does not
// count, so a signature made before a certificate was revoked stays good.
std::optional<CertChainContext> GetCertificateChain(const ChainEngine* engine,
                                                    const CertContext& certificate,
                                                    std::optional<FileTime> time,
                                                    std::uint32_t flags);

// CertFindCRLInStore(CRL_FIND_ISSUED_BY, CRL_FIND_ISSUED_BY_SIGNATURE_FLAG):
// the first CRL of the store issued by the certificate and signed with its
// key; nullopt and CRYPT_E_NOT_FOUND when there is none.
std::optional<Bytes> FindCrlIssuedBy(const StoreRef& store, const CertContext& issuer);

// CertFindCertificateInCRL: the certificate's entry in the CRL (matched by
// serial number); nullopt when it has none (last error kSuccess) or when the
// CRL does not decode (an ASN.1 code).
std::optional<CrlEntryInfo> FindCertificateInCrl(const CertContext& certificate, ByteView crl);

}  // namespace velmora::platform
