// Texts of name attribute values and of whole names, in the program's text
// (UTF-8).
#pragma once

#include "encoding/bytes.h"

#include <cstdint>
#include <string>

namespace velmora::platform {

// The text of one attribute value (CertRDNValueToStrA), by value type:
// - UTF8String: its characters; malformed sequences become "?".
// - BMPString: UTF-16 big-endian to characters; lone surrogates and an odd
//   trailing byte become "?".
// - UniversalString: UCS-4 big-endian; a code that is no character, and a
//   trailing part of fewer than four bytes, become "?".
// - The single-byte types (Numeric, Printable, Teletex, Videotex, IA5,
//   Graphic, Visible, General): the bytes as UTF-8 when they are well-formed
//   UTF-8 (ASCII always is), otherwise each byte as a Windows-1251 character,
//   which is what such values hold on the systems that write them.
// - Octet string and encoded blob: "#" and the bytes in upper-case hex.
// - Any other number: empty.
// NUL characters vanish from every string type.
std::string RdnValueToStr(std::uint32_t value_type, ByteView value);

// The text of an encoded string value (one DER element: a UTF8String,
// BMPString, PrintableString ... as in X509_NAME_VALUE, other-name values and
// the signing-tool extensions): decodes it and gives RdnValueToStr of it. An
// element of another type gives "#" and the hex of its DER, as for an
// encoded blob. Malformed DER or bytes after the element give an empty text
// and an ASN.1 last-error code.
std::string RdnValueTextOfEncoded(ByteView der);

// The simple text of an encoded Name (CertNameToStrA with
// CERT_SIMPLE_NAME_STR): the value texts without their OIDs, in encoded
// order, RDNs separated by ", " and the attributes of one RDN by " + ". A
// value that is empty, begins or ends with a blank, or holds one of
// , + = " < > # ; or a line break is enclosed in double quotes, with its own
// double quotes doubled. An empty name gives an empty text; an undecodable
// one gives an empty text and the ASN.1 last-error code.
std::string NameToSimpleStr(ByteView der);

}  // namespace velmora::platform
