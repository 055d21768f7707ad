// Parsing a DER value into the node table of the ASN.1 dump.
#pragma once

#include "encoding/asn1/asn1_node.h"
#include "encoding/bytes.h"

namespace velmora {

// Parses the first element of der and everything inside it; bytes after the
// first complete element are not read. Definite lengths and one-byte
// identifiers are read; constructed elements and every OCTET STRING are
// containers whose content is read as further elements, every other element
// is a value node with the text of DecodeDerValue. When an element inside a
// container cannot be read (an unknown or application/private identifier, a
// length that runs past its container, content that is not DER), that
// container drops what was read inside it and shows its whole content as a
// value instead; parsing goes on after it.
//
// The table is empty when the first element itself cannot be read, and holds
// at most kAsnNodeLimit nodes: parsing stops when it is full. Every input
// gives a result: nothing outside der is read, and the work is linear in its
// size apart from the bounded nesting.
AsnNodeTable ParseDer(ByteView der);

}  // namespace velmora
