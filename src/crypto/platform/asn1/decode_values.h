// Decoders of single ASN.1 values, each for one DER element that fills the
// input exactly. Every decoder gives nullopt on failure and sets an ASN.1
// last-error code: kAsn1BadTag for an unexpected identifier, kAsn1Corrupt for
// malformed DER or bytes after the element, kAsn1Large for an integer that
// does not fit.
#pragma once

#include "crypto/platform/system/last_error.h"
#include "encoding/bytes.h"
#include "encoding/date_time.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace velmora::platform {

// A BIT STRING: its bytes after the unused-bits byte, and that byte (0..7).
struct BitString {
    Bytes bytes;
    std::uint8_t unusedBits = 0;

    bool operator==(const BitString&) const = default;
};

// A string value with its type (X509_NAME_VALUE): the value type and bytes
// as in RdnAttribute (name.h).
struct NameValue {
    std::uint32_t valueType = 0;
    Bytes value;

    bool operator==(const NameValue&) const = default;
};

// INTEGER that fits in 32 bits, signed (X509_INTEGER).
std::optional<std::int32_t> DecodeInteger(ByteView der);

// INTEGER of any length (X509_MULTI_BYTE_INTEGER): the content bytes,
// least significant first, a leading 00 or FF sign byte kept.
std::optional<Bytes> DecodeMultiByteInteger(ByteView der);

// ENUMERATED that fits in 32 bits (the CRL reason code).
std::optional<std::int32_t> DecodeEnumerated(ByteView der);

// OCTET STRING: its content (X509_OCTET_STRING).
std::optional<Bytes> DecodeOctetString(ByteView der);

// BIT STRING (X509_BITS; also X509_KEY_USAGE). An unused-bits byte above 7,
// or unused bits in an empty string, are malformed.
std::optional<BitString> DecodeBitString(ByteView der);

// UTCTime or GeneralizedTime (X509_CHOICE_OF_TIME) as a file time (UTC).
// UTCTime years below 50 are 20YY. Seconds and a fraction of a second are
// optional; the zone is "Z", an offset +hhmm/-hhmm, or (GeneralizedTime only)
// absent, read as UTC. Fractions beyond 100 ns are dropped. Times before
// 1601 and impossible dates are malformed.
std::optional<FileTime> DecodeChoiceOfTime(ByteView der);

// The time of the content of a UTCTime (is_generalized false) or
// GeneralizedTime (true), by the rules of DecodeChoiceOfTime; nullopt without
// touching the last error when the text is not a time.
std::optional<FileTime> TimeOfContent(ByteView content, bool is_generalized);

// A string value of any string type (X509_NAME_VALUE); an element of any
// other type gives kEncodedBlob with its whole DER.
std::optional<NameValue> DecodeNameValue(ByteView der);

// SEQUENCE OF ANY (X509_SEQUENCE_OF_ANY): the DER of each item, in order.
std::optional<std::vector<Bytes>> DecodeSequenceOfAny(ByteView der);

// OBJECT IDENTIFIER: the dotted text.
std::optional<std::string> DecodeObjectId(ByteView der);

// The dotted text of an OBJECT IDENTIFIER's content bytes; nullopt (without
// touching the last error) when they are not a well-formed identifier or an
// arc does not fit in 64 bits.
std::optional<std::string> OidTextOfContent(ByteView content);

}  // namespace velmora::platform
