// Certificate extensions: OID, critical flag and the DER of the value.
#pragma once

#include "encoding/bytes.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::platform {

// `value` is the content of the extension's OCTET STRING: the DER of the
// extension's own structure.
struct Extension {
    std::string oid;
    bool critical = false;
    Bytes value;

    bool operator==(const Extension&) const = default;
};

// The first extension with the OID (CertFindExtension); nullptr when none.
// The pointer lives as long as the vector is unchanged.
const Extension* FindExtension(const std::vector<Extension>& extensions, std::string_view oid);

// Decodes an Extensions SEQUENCE (X509_EXTENSIONS: the value of the request's
// extension attribute 1.2.840.113549.1.9.14, and the extensions of CRLs and
// CRL entries) that fills the input exactly. An explicit critical FALSE is
// accepted. Failures give nullopt and an ASN.1 last-error code.
std::optional<std::vector<Extension>> DecodeExtensions(ByteView der);

}  // namespace velmora::platform
