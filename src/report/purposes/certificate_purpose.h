// The Treasury systems a certificate is meant for, in the words the printed
// application forms use, by extended-key-usage OID.
#pragma once

#include <string>
#include <string_view>

namespace velmora {

// Sets the description to the sentence of the OID's system. An OID that
// belongs to no system (compared byte for byte, blanks included) leaves the
// description exactly as it was passed, so a caller walking several usages
// keeps the previous usage's sentence.
void CertificatePurpose(std::string_view oid, std::string& description);

}  // namespace velmora
