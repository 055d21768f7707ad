// The chain engine over OpenSSL's verifier: the stores' ROOT certificates are
// the trust anchors, their CA certificates the untrusted intermediates, their
// CRLs the revocation data. Every verifier error is collected (the callback
// lets verification go on) and mapped onto the platform's trust-status bits.
#include "crypto/platform/chain/cert_chain.h"

#include "crypto/platform/certs/x509_convert.h"
#include "crypto/platform/stores/cert_store.h"
#include "crypto/platform/system/clock.h"
#include "crypto/platform/system/gost_engine.h"
#include "crypto/platform/system/last_error.h"

#include <openssl/err.h>
#include <openssl/x509_vfy.h>

#include <algorithm>
#include <ctime>

namespace velmora::platform {

class ChainEngineState {
  public:
    struct Store {
        StoreRef ref;
        std::vector<CertContext> certificates;
    };
    std::vector<Store> stores;
    std::vector<ossl::X509Ptr> roots;
    ossl::X509Stack intermediates{sk_X509_new_null()};
    std::vector<ossl::X509Crl> crls;
};

namespace {

using CrlPtr = ossl::X509Crl;

// The search order of the stores: the user's before the machine's, and the
// intermediate CAs before the roots.
const StoreRef kStores[] = {
    {StoreLocation::CurrentUser, "CA"},
    {StoreLocation::CurrentUser, "ROOT"},
    {StoreLocation::LocalMachine, "CA"},
    {StoreLocation::LocalMachine, "ROOT"},
};

CrlPtr CrlOfDer(ByteView der) {
    const unsigned char* p = der.data();
    CrlPtr crl(d2i_X509_CRL(nullptr, &p, static_cast<long>(der.size())));
    ERR_clear_error();
    return crl;
}

// What the callback of one verification collects.
struct Collected {
    std::time_t checkTime = 0;
    std::vector<std::uint32_t> errors;  // by depth
    const std::vector<ossl::X509Crl>* crls = nullptr;
};

int CollectedIndex() {
    static const int index = X509_STORE_CTX_get_ex_new_index(0, nullptr, nullptr, nullptr, nullptr);
    return index;
}

std::uint32_t TrustBitOf(int error) {
    switch (error) {
        case X509_V_ERR_CERT_NOT_YET_VALID:
        case X509_V_ERR_CERT_HAS_EXPIRED:
        case X509_V_ERR_ERROR_IN_CERT_NOT_BEFORE_FIELD:
        case X509_V_ERR_ERROR_IN_CERT_NOT_AFTER_FIELD:
            return trust_error::kIsNotTimeValid;
        case X509_V_ERR_CERT_REVOKED:
            return trust_error::kIsRevoked;
        case X509_V_ERR_CERT_SIGNATURE_FAILURE:
        case X509_V_ERR_UNABLE_TO_DECRYPT_CERT_SIGNATURE:
        case X509_V_ERR_UNABLE_TO_DECODE_ISSUER_PUBLIC_KEY:
            return trust_error::kIsNotSignatureValid;
        case X509_V_ERR_INVALID_PURPOSE:
            return trust_error::kIsNotValidForUsage;
        case X509_V_ERR_DEPTH_ZERO_SELF_SIGNED_CERT:
        case X509_V_ERR_SELF_SIGNED_CERT_IN_CHAIN:
        case X509_V_ERR_CERT_UNTRUSTED:
        case X509_V_ERR_CERT_REJECTED:
            return trust_error::kIsUntrustedRoot;
        case X509_V_ERR_UNABLE_TO_GET_CRL:
        case X509_V_ERR_CRL_HAS_EXPIRED:
        case X509_V_ERR_CRL_SIGNATURE_FAILURE:
        case X509_V_ERR_UNABLE_TO_DECRYPT_CRL_SIGNATURE:
        case X509_V_ERR_ERROR_IN_CRL_LAST_UPDATE_FIELD:
        case X509_V_ERR_ERROR_IN_CRL_NEXT_UPDATE_FIELD:
        case X509_V_ERR_UNABLE_TO_GET_CRL_ISSUER:
        case X509_V_ERR_KEYUSAGE_NO_CRL_SIGN:
        case X509_V_ERR_DIFFERENT_CRL_SCOPE:
        case X509_V_ERR_UNHANDLED_CRITICAL_CRL_EXTENSION:
            return trust_error::kRevocationStatusUnknown;
        case X509_V_ERR_UNHANDLED_CRITICAL_EXTENSION:
        case X509_V_ERR_INVALID_EXTENSION:
            return trust_error::kInvalidExtension;
        case X509_V_ERR_INVALID_POLICY_EXTENSION:
        case X509_V_ERR_NO_EXPLICIT_POLICY:
            return trust_error::kInvalidPolicyConstraints;
        case X509_V_ERR_INVALID_CA:
        case X509_V_ERR_PATH_LENGTH_EXCEEDED:
        case X509_V_ERR_INVALID_NON_CA:
            return trust_error::kInvalidBasicConstraints;
        case X509_V_ERR_PERMITTED_VIOLATION:
        case X509_V_ERR_EXCLUDED_VIOLATION:
        case X509_V_ERR_SUBTREE_MINMAX:
        case X509_V_ERR_UNSUPPORTED_CONSTRAINT_TYPE:
        case X509_V_ERR_UNSUPPORTED_CONSTRAINT_SYNTAX:
        case X509_V_ERR_UNSUPPORTED_NAME_SYNTAX:
            return trust_error::kInvalidNameConstraints;
        case X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT:
        case X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT_LOCALLY:
        case X509_V_ERR_UNABLE_TO_VERIFY_LEAF_SIGNATURE:
            return trust_error::kIsPartialChain;
        default:
            return trust_error::kIsNotSignatureValid;
    }
}

// A revocation dated after the time of the check: the certificate was good
// then. The entry is looked for in the CRL being checked, and in every CRL
// of the certificate's issuer when the verifier names none (as it does for a
// CRL issued after the time of the check).
bool RevokedLater(X509_STORE_CTX* ctx, const Collected& collected) {
    X509* certificate = X509_STORE_CTX_get_current_cert(ctx);
    if (certificate == nullptr) {
        return false;
    }
    std::vector<X509_CRL*> candidates;
    if (X509_CRL* current = X509_STORE_CTX_get0_current_crl(ctx)) {
        candidates.push_back(current);
    }
    for (const auto& crl : *collected.crls) {
        if (X509_NAME_cmp(X509_CRL_get_issuer(crl.get()), X509_get_issuer_name(certificate)) == 0) {
            candidates.push_back(crl.get());
        }
    }
    for (X509_CRL* crl : candidates) {
        X509_REVOKED* entry = nullptr;
        if (X509_CRL_get0_by_cert(crl, &entry, certificate) != 0 && entry != nullptr) {
            std::time_t at = collected.checkTime;
            return X509_cmp_time(X509_REVOKED_get0_revocationDate(entry), &at) > 0;
        }
    }
    return false;
}

int CollectError(int ok, X509_STORE_CTX* ctx) {
    if (ok != 0) {
        return 1;
    }
    auto* collected = static_cast<Collected*>(X509_STORE_CTX_get_ex_data(ctx, CollectedIndex()));
    const int error = X509_STORE_CTX_get_error(ctx);
    // A CRL issued after the time of the check still tells whether the
    // certificate was revoked before it.
    if (error == X509_V_ERR_CRL_NOT_YET_VALID ||
        (error == X509_V_ERR_CERT_REVOKED && RevokedLater(ctx, *collected))) {
        return 1;
    }
    const int depth = std::max(0, X509_STORE_CTX_get_error_depth(ctx));
    if (collected->errors.size() <= static_cast<std::size_t>(depth)) {
        collected->errors.resize(static_cast<std::size_t>(depth) + 1, 0);
    }
    collected->errors[static_cast<std::size_t>(depth)] |= TrustBitOf(error);
    return 1;
}

bool SameBytes(ByteView a, ByteView b) {
    return std::ranges::equal(a, b);
}

// How the certificate names its issuer: by issuer and serial, by key
// identifier, or by name alone.
std::uint32_t IssuerMatch(X509* certificate, X509* issuer) {
    const GENERAL_NAMES* aki_issuer = X509_get0_authority_issuer(certificate);
    const ASN1_INTEGER* aki_serial = X509_get0_authority_serial(certificate);
    if (aki_issuer != nullptr && aki_serial != nullptr &&
        ASN1_INTEGER_cmp(aki_serial, X509_get0_serialNumber(issuer)) == 0) {
        for (int i = 0; i < sk_GENERAL_NAME_num(aki_issuer); ++i) {
            const GENERAL_NAME* name = sk_GENERAL_NAME_value(aki_issuer, i);
            if (name->type == GEN_DIRNAME &&
                X509_NAME_cmp(name->d.directoryName, X509_get_issuer_name(issuer)) == 0) {
                return trust_info::kHasExactMatchIssuer;
            }
        }
    }
    const ASN1_OCTET_STRING* aki_key = X509_get0_authority_key_id(certificate);
    const ASN1_OCTET_STRING* ski = X509_get0_subject_key_id(issuer);
    if (aki_key != nullptr && ski != nullptr && ASN1_OCTET_STRING_cmp(aki_key, ski) == 0) {
        return trust_info::kHasKeyMatchIssuer;
    }
    return trust_info::kHasNameMatchIssuer;
}

std::optional<StoreRef> StoreOf(const ChainEngineState& engine, const CertContext& certificate) {
    for (const auto& store : engine.stores) {
        for (const CertContext& held : store.certificates) {
            if (SameBytes(held->Encoded(), certificate->Encoded())) {
                return store.ref;
            }
        }
    }
    return std::nullopt;
}

std::optional<CertChainContext> BuildChain(const ChainEngineState& engine,
                                           const CertContext& certificate,
                                           std::optional<FileTime> time, std::uint32_t flags) {
    ossl::X509Ptr target = X509OfContext(certificate);
    if (!target) {
        return std::nullopt;
    }
    ossl::X509Store store(X509_STORE_new());
    ossl::X509StoreCtx ctx(X509_STORE_CTX_new());
    if (!store || !ctx) {
        return Fail(error::kNoMemory, std::optional<CertChainContext>{});
    }
    for (const auto& root : engine.roots) {
        X509_STORE_add_cert(store.get(), root.get());
    }
    for (const auto& crl : engine.crls) {
        X509_STORE_add_crl(store.get(), crl.get());
    }
    ERR_clear_error();  // duplicates among the stores are no failure
    X509_STORE_set_verify_cb(store.get(), CollectError);
    if (X509_STORE_CTX_init(ctx.get(), store.get(), target.get(), engine.intermediates.get()) !=
        1) {
        ERR_clear_error();
        return Fail(error::kNoMemory, std::optional<CertChainContext>{});
    }
    const FileTime at = time.value_or(NowFileTime());
    Collected collected;
    collected.crls = &engine.crls;
    collected.checkTime = at >= kUnixEpochFileTime
                              ? static_cast<std::time_t>((at - kUnixEpochFileTime) / 10'000'000ULL)
                              : 0;
    X509_STORE_CTX_set_ex_data(ctx.get(), CollectedIndex(), &collected);
    X509_VERIFY_PARAM* param = X509_STORE_CTX_get0_param(ctx.get());
    X509_VERIFY_PARAM_set_time(param, collected.checkTime);
    if ((flags & kChainRevocationCheckEndCert) != 0) {
        X509_VERIFY_PARAM_set_flags(param, X509_V_FLAG_CRL_CHECK);
    }
    X509_verify_cert(ctx.get());
    ERR_clear_error();

    CertChainContext chain;
    STACK_OF(X509)* built = X509_STORE_CTX_get0_chain(ctx.get());
    const int length = built != nullptr ? sk_X509_num(built) : 0;
    for (int i = 0; i < std::max(length, 1); ++i) {
        X509* current = length > 0 ? sk_X509_value(built, i) : target.get();
        ChainElement element;
        element.certificate = i == 0 ? certificate : ContextOfX509(current);
        if (!element.certificate) {
            return std::nullopt;
        }
        element.store = StoreOf(engine, element.certificate);
        if (static_cast<std::size_t>(i) < collected.errors.size()) {
            element.errorStatus = collected.errors[static_cast<std::size_t>(i)];
        }
        const bool self_signed = X509_check_issued(current, current) == X509_V_OK;
        X509* issuer =
            self_signed ? current : (i + 1 < length ? sk_X509_value(built, i + 1) : nullptr);
        if (issuer != nullptr) {
            element.infoStatus |= IssuerMatch(current, issuer);
            const bool issuer_held = self_signed
                                         ? element.store.has_value()
                                         : StoreOf(engine, ContextOfX509(issuer)).has_value();
            if (issuer_held) {
                element.infoStatus |= trust_info::kHasPreferredIssuer;
            }
        }
        if (self_signed) {
            element.infoStatus |= trust_info::kIsSelfSigned;
        }
        chain.errorStatus |= element.errorStatus;
        chain.elements.push_back(std::move(element));
    }
    // Errors at depths beyond the chain built (an issuer that was not found).
    for (std::size_t depth = chain.elements.size(); depth < collected.errors.size(); ++depth) {
        chain.errorStatus |= collected.errors[depth];
    }
    chain.infoStatus = chain.elements.front().infoStatus;
    return chain;
}

}  // namespace

ChainEngine::ChainEngine() = default;
ChainEngine::~ChainEngine() = default;
ChainEngine::ChainEngine(ChainEngine&&) noexcept = default;
ChainEngine& ChainEngine::operator=(ChainEngine&&) noexcept = default;
ChainEngine::ChainEngine(std::unique_ptr<ChainEngineState> state) : state_(std::move(state)) {}

std::optional<ChainEngine> CreateCertificateChainEngine() {
    if (!StartGostEngine()) {
        return Fail(error::kProviderDllFail, std::optional<ChainEngine>{});
    }
    auto state = std::make_unique<ChainEngineState>();
    if (!state->intermediates) {
        return Fail(error::kNoMemory, std::optional<ChainEngine>{});
    }
    for (const StoreRef& ref : kStores) {
        auto store = OpenSystemStore(ref.location, ref.name);
        if (!store) {
            continue;
        }
        ChainEngineState::Store loaded{ref, StoreCertificates(*store)};
        for (const CertContext& certificate : loaded.certificates) {
            ossl::X509Ptr x509 = X509OfContext(certificate);
            if (!x509) {
                continue;
            }
            if (ref.name == "ROOT") {
                state->roots.push_back(std::move(x509));
            } else if (sk_X509_push(state->intermediates.get(), x509.get()) > 0) {
                x509.release();
            }
        }
        for (const Bytes& der : StoreCrls(*store)) {
            if (CrlPtr crl = CrlOfDer(der)) {
                state->crls.push_back(std::move(crl));
            }
        }
        state->stores.push_back(std::move(loaded));
    }
    SetLastError(error::kSuccess);
    return ChainEngine(std::move(state));
}

std::optional<CertChainContext> GetCertificateChain(const ChainEngine* engine,
                                                    const CertContext& certificate,
                                                    std::optional<FileTime> time,
                                                    std::uint32_t flags) {
    if (!certificate) {
        return Fail(error::kInvalidParameter, std::optional<CertChainContext>{});
    }
    std::optional<ChainEngine> own;
    if (engine == nullptr) {
        own = CreateCertificateChainEngine();
        if (!own) {
            return std::nullopt;
        }
        engine = &*own;
    }
    return BuildChain(engine->State(), certificate, time, flags);
}

std::optional<Bytes> FindCrlIssuedBy(const StoreRef& ref, const CertContext& issuer) {
    ossl::X509Ptr issuer_x509 = X509OfContext(issuer);
    auto store = issuer_x509 ? OpenSystemStore(ref.location, ref.name) : std::nullopt;
    if (store) {
        for (Bytes& der : StoreCrls(*store)) {
            CrlPtr crl = CrlOfDer(der);
            if (crl &&
                X509_NAME_cmp(X509_CRL_get_issuer(crl.get()),
                              X509_get_subject_name(issuer_x509.get())) == 0 &&
                X509_CRL_verify(crl.get(), X509_get0_pubkey(issuer_x509.get())) == 1) {
                return std::move(der);
            }
            ERR_clear_error();
        }
    }
    return Fail(error::kNotFound, std::optional<Bytes>{});
}

std::optional<CrlEntryInfo> FindCertificateInCrl(const CertContext& certificate, ByteView crl) {
    CrlInfo info;
    if (!certificate || !DecodeCrlInfo(crl, info, true)) {
        return std::nullopt;
    }
    for (CrlEntryInfo& entry : info.entries) {
        if (entry.serialNumber == certificate->Info().serialNumber) {
            return std::move(entry);
        }
    }
    SetLastError(error::kSuccess);
    return std::nullopt;
}

}  // namespace velmora::platform
