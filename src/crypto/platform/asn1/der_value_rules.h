// The rules that the values inside a certificate or CRL must keep for
// OpenSSL's own parser to take the object. The chain engine, the stores and
// the message functions hand objects to OpenSSL later, and a value broken
// inside (a name string that is not valid text, a padded integer) must make
// the whole object be refused here, as it would be there, rather than shown
// as if it were whole. Each check looks at the DER in place and allocates
// nothing. Not for use outside the boundary.
#pragma once

#include "crypto/platform/asn1/der_reader.h"
#include "encoding/bytes.h"

namespace velmora::platform::der_rules {

// An INTEGER's (or ENUMERATED's) content: at least one byte, and no leading
// byte that only repeats the sign of the next.
bool IntegerContentOk(ByteView content);

// An OBJECT IDENTIFIER's content: at least one byte, no arc that starts
// with a 0x80 byte, the last arc ended.
bool OidContentOk(ByteView content);

// A BIT STRING's content: the unused-bits count (at most 7) first.
bool BitStringContentOk(ByteView content);

// A value of type ANY (the parameters of an algorithm identifier): the
// content rules of its universal type where the type has them; constructed
// only as a SEQUENCE or SET.
bool AnyValueOk(const DerElement& element);

// The content of an AlgorithmIdentifier: an OID and optional parameters.
bool AlgorithmIdentifierOk(ByteView content);

// A Name (SEQUENCE OF SET OF SEQUENCE { OID, string }): every attribute
// value of a string type OpenSSL allows there, and the text of every UTF8,
// BMP and Universal string valid Unicode.
bool NameOk(const DerElement& name);

}  // namespace velmora::platform::der_rules
