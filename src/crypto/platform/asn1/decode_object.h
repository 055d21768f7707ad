// Decoding by a structure type given as text (CryptDecodeObject with a
// provider-registered type), and the encoding those types read.
#pragma once

#include "encoding/bytes.h"
#include "encoding/date_time.h"

#include <optional>
#include <string_view>

namespace velmora::platform {

// Decodes the value by the structure type and gives the decoded structure's
// bytes. Known types:
// - kPrivateKeyValidityStructType (crypt_provider.h): the value is a
//   PrivateKeyUsagePeriod, SEQUENCE { notBefore [0] GeneralizedTime OPTIONAL,
//   notAfter [1] GeneralizedTime OPTIONAL }; the structure is two 8-byte
//   little-endian file times, notBefore then notAfter (0 when absent).
// An unknown type gives NTE_BAD_TYPE; a value that does not decode an ASN.1
// error code.
std::optional<Bytes> DecodeObject(std::string_view struct_type, ByteView encoded);

// The PrivateKeyUsagePeriod DER of two file times (a zero time is left out);
// nullopt for a time after 9999.
std::optional<Bytes> EncodePrivateKeyUsagePeriod(FileTime not_before, FileTime not_after);

}  // namespace velmora::platform
