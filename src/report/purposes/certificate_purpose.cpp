#include "report/purposes/certificate_purpose.h"

#include <array>

namespace velmora {
namespace {

// The ASFK group: 1.2.643.3.61.1.1.6.502710.3.4.1.1 to .14. Its sentence
// always cites the group's first OID.
constexpr std::string_view kAsfkPrefix = "1.2.643.3.61.1.1.6.502710.3.4.1.";
constexpr std::string_view kAsfk =
    "Сертификат предназначен для ППО \"АСФК\"(1.2.643.3.61.1.1.6.502710.3.4.1.1)";

struct Purpose {
    std::string_view oid;
    std::string_view description;
};

constexpr std::string_view kSed =
    "Сертификат предназначен для АРМ СЭД(1.2.643.3.61.502710.1.6.3.2;1.2.643.2.1.6.8.5)";
constexpr std::string_view kSpto =
    "Сертификат предназначен для СПТО(1.2.643.3.61.506160.1.4.1.1;1.2.643.3.61.506160.1.4.1.2)";
// The only sentence with a blank before its parenthesis.
constexpr std::string_view kLandocs =
    "Сертификат предназначен для Landocs (1.2.643.3.61.502710.1.6.3.3)";
constexpr std::string_view kGmu = "Работа с ГМУ(1.3.6.1.5.5.7.3.2)";
constexpr std::string_view kWebSite =
    "Сертификат предназначен для АРМ обмена электронными документами с официальным "
    "сайтом.(1.3.6.1.5.5.7.3.2)";
constexpr std::string_view kTls =
    "Используется при установлении защищенного соединения по протоколу TLS для "
    "подтверждения подлинности клиента(1.3.6.1.5.5.7.3.2)";

constexpr std::array<Purpose, 12> kPurposes{{
    {"1.2.643.3.61.502710.1.6.3.2", kSed},
    {"1.2.643.3.61.506160.1.4.1.1", kSpto},
    {"1.2.643.3.61.502710.1.6.3.3", kLandocs},
    {"1.2.643.3.61.502710.1.6.3.5.1", kGmu},
    {"1.2.643.3.61.502710.1.6.3.5.2", kGmu},
    {"1.2.643.3.61.502710.1.6.3.4.1.1", kWebSite},
    {"1.2.643.3.61.502710.1.6.3.4.1.2", kWebSite},
    {"1.2.643.3.61.502710.1.6.3.4.1.3", kWebSite},
    {"1.2.643.3.61.502710.1.6.3.4.1.4", kWebSite},
    {"1.2.643.3.61.502710.1.6.3.4.5.1", kWebSite},
    {"1.2.643.3.61.502710.1.6.3.4.5.2", kWebSite},
    {"1.3.6.1.5.5.7.3.2", kTls},
}};

// True for the last arcs 1 to 14 of the ASFK group, written without leading
// zeros.
bool IsAsfkOid(std::string_view oid) {
    if (!oid.starts_with(kAsfkPrefix)) {
        return false;
    }
    const std::string_view arc = oid.substr(kAsfkPrefix.size());
    for (int n = 1; n <= 14; ++n) {
        if (arc == std::to_string(n)) {
            return true;
        }
    }
    return false;
}

}  // namespace

void CertificatePurpose(std::string_view oid, std::string& description) {
    if (IsAsfkOid(oid)) {
        description = kAsfk;
        return;
    }
    for (const Purpose& purpose : kPurposes) {
        if (purpose.oid == oid) {
            description = purpose.description;
            return;
        }
    }
}

}  // namespace velmora
