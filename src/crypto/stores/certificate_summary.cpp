#include "crypto/stores/certificate_summary.h"

#include "crypto/platform/certs/cert_hash.h"
#include "crypto/platform/certs/name.h"
#include "crypto/platform/certs/name_text.h"
#include "encoding/hex_lines.h"
#include "report/record/record_lookup.h"
#include "report/text/value_text.h"

namespace velmora {

std::string ShortNameText(ByteView name_der) {
    if (const auto name = platform::DecodeName(name_der)) {
        if (const platform::RdnAttribute* cn = platform::FindRdnAttr(*name, "2.5.4.3")) {
            std::string text = platform::RdnValueToStr(cn->valueType, cn->value);
            if (!text.empty()) {
                return text;
            }
        }
    }
    return platform::NameToSimpleStr(name_der);
}

CertificateSummary SummarizeCertificate(const platform::CertContext& certificate) {
    CertificateSummary summary;
    const platform::CertInfo& info = certificate->Info();
    summary.subject = ShortNameText(info.subject);
    summary.issuer = ShortNameText(info.issuer);
    summary.validTo = FileTimeText(info.notAfter);
    for (const std::uint8_t byte : platform::HashCertificateSha1(certificate->Encoded())) {
        AppendHexByte(summary.thumbprint, byte);
    }
    summary.container = ContainerOfCertificate(certificate);
    return summary;
}

}  // namespace velmora
