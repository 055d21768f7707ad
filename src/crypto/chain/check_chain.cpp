#include "crypto/chain/check_chain.h"

#include "crypto/platform/stores/cert_store.h"
#include "crypto/platform/system/last_error.h"
#include "crypto/platform/system/system_info.h"
#include "crypto/signing/name_lines.h"
#include "report/crl/crl_entry_text.h"
#include "report/text/value_text.h"

namespace velmora {
namespace {

struct StatusLine {
    std::uint32_t value;
    const char* text;
};

// The chain's status values and their lines, compared with the whole value.
constexpr StatusLine kErrorLines[] = {
    {0x0, "No error found for this certificate or chain"},
    {0x1, "This certificate or one of the certificates in the certificate chain is not time-valid"},
    {0x4, "Сертификат отозван"},
    {0x8,
     "The certificate or one of the certificates in the certificate chain does not have a valid "
     "signature"},
    {0x10, "The certificate or certificate chain is not valid in its proposed usage."},
    {0x20, "The certificate or certificate chain is based on an untrusted root"},
    {0x40,
     "The revocation status of the certificate or one of the certificates in the certificate "
     "chain is unknown."},
    {0x80,
     "One of the certificates in the chain was issued by a certification authority that the "
     "original certificate had certified."},
    {0x100, "Один из сертификатов имеет недопустимое расширение"},
    {0x200, "Один из сертификатов имеет запрещенное другим сертификатом расширение"},
    {0x10000, "The certificate chain is not complete."},
    {0x20000, "A CTL used to create this chain was not time-valid."},
    {0x40000, "A CTL used to create this chain did not have a valid signature."},
    {0x80000, "A CTL used to create this chain is not valid for this usage."},
};

constexpr StatusLine kInfoLines[] = {
    {0x0, "No information status reported."},
    {0x1, "An exact match issuer certificate has been found for this certificate."},
    {0x2, "A key match issuer certificate has been found for this certificate"},
    {0x4, "A name match issuer certificate has been found for this certificate."},
    {0x8, "This certificate is self-signed."},
    {0x100, " The certificate or chain has a preferred issuer."},
    {0x10000, "The certificate chain created is a complex chain."},
};

template <std::size_t N>
std::string StatusText(const StatusLine (&table)[N], std::uint32_t status, const char* fallback) {
    for (const StatusLine& line : table) {
        if (line.value == status) {
            return line.text;
        }
    }
    return fallback + std::to_string(status);
}

}  // namespace

std::string ChainErrorStatusLine(std::uint32_t status) {
    return StatusText(kErrorLines, status, "pChainContext.TrustStatus.dwErrorStatus = ");
}

std::string ChainInfoStatusLine(std::uint32_t status) {
    return StatusText(kInfoLines, status, "pChainContext.TrustStatus.dwInfoStatus = ");
}

bool CheckCertificateChain(const platform::CertContext& certificate, std::optional<FileTime> time,
                           std::vector<std::string>& lines, std::uint32_t* error_status) {
    auto engine = platform::CreateCertificateChainEngine();
    if (!engine) {
        lines.push_back("The engine creation function failed - " + platform::LastErrorText());
        return false;
    }
    // The personal store is opened as the platform's check does; it plays no
    // further part.
    if (!platform::OpenSystemStore(platform::StoreLocation::CurrentUser, "MY")) {
        lines.push_back("Ошибка открытия хранилища \"MY\" - " + platform::LastErrorText());
        return false;
    }
    const auto chain = platform::GetCertificateChain(&*engine, certificate, time,
                                                     platform::kChainRevocationCheckEndCert);
    if (!chain) {
        lines.push_back("Ошибка построения цепочки сертификатов - " + platform::LastErrorText());
        return false;
    }
    if (error_status != nullptr) {
        *error_status = chain->errorStatus;
    }
    lines.push_back(ChainErrorStatusLine(chain->errorStatus));
    if (chain->errorStatus == platform::trust_error::kIsRevoked) {
        RevocationLines(certificate, *chain, lines);
    }
    lines.push_back(ChainInfoStatusLine(chain->infoStatus));
    return true;
}

void RevocationLines(const platform::CertContext& certificate,
                     const platform::CertChainContext& chain, std::vector<std::string>& lines) {
    if (chain.elements.size() < 2) {
        return;
    }
    const platform::ChainElement& issuer = chain.elements[1];
    for (std::string& line : NameLines(issuer.certificate->Info().subject)) {
        lines.push_back(std::move(line));
    }
    std::optional<Bytes> crl;
    if (issuer.store) {
        crl = platform::FindCrlIssuedBy(*issuer.store, issuer.certificate);
    } else {
        platform::SetLastError(platform::error::kNotFound);
    }
    if (!crl) {
        lines.push_back("ошибка получения CRL");
        lines.push_back(platform::LastErrorText());
        return;
    }
    if (const auto entry = platform::FindCertificateInCrl(certificate, *crl)) {
        lines.push_back("дата отзыва - " + FileTimeText(entry->revocationDate));
        lines.push_back("код отзыва - " + CrlReasonText(entry->extensions));
        lines.push_back("дата недействительности - " + InvalidityDateText(entry->extensions));
    }
}

}  // namespace velmora
