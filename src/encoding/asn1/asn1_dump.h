// The ASN.1 dump: any DER value as indented lines, one per element.
#pragma once

#include "encoding/bytes.h"

#include <functional>
#include <string>
#include <vector>

namespace velmora {

// The text shown after "OBJECT_IDENTIFIER: " for a dotted OID. The report
// layer passes one that gives the OID's label with the OID in parentheses.
using OidLabeller = std::function<std::string(const std::string& oid)>;

// The OID itself.
std::string DefaultOidLabeller(const std::string& oid);

// "Декодирование ASN1:" and then one line per node of ParseDer: indent spaces
// and the node's text, object identifiers written through the labeller. When
// the first element cannot be read (unknown identifier, bad length), the
// value has no element to show and the heading is followed by the whole
// value as one hex line (AsnHexText). An empty value gives the heading alone.
std::vector<std::string> DumpAsn1(ByteView value, const OidLabeller& labeller = DefaultOidLabeller);

}  // namespace velmora
