// Lookups in a decoded record and in the parts it is built from.
#pragma once

#include "crypto/platform/certs/cert_context.h"
#include "report/extensions/extension_record.h"
#include "report/record/record.h"

#include <string>
#include <string_view>

namespace velmora {

// Index of the first extension with the OID, or -1.
int ExtensionIndex(const TRCstruct& record, std::string_view oid);

// A value of the alternative names, walking them from the last to the first:
// an other name with the OID gives its value at once; in a directory name,
// the n-th attribute (from 1, in encoded order) with the OID gives its value
// at once, the count starting again for every directory name. Empty when
// nothing matches.
std::string AltNameValue(const TALTERNATE_NAMES& names, std::string_view oid, int n);

// The friendly name of the formalised ASFK title (an OID).
std::string AsfkTitleName(const TRCstruct& record);

// The key container bound to the certificate; empty when none is.
std::string ContainerOfCertificate(const platform::CertContext& certificate);

}  // namespace velmora
