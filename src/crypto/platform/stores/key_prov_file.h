// The property file of a stored certificate: its key-provider property
// (CRYPT_KEY_PROV_INFO) as DER,
//   SEQUENCE { containerName UTF8String, providerName UTF8String,
//              providerType INTEGER, flags INTEGER (0), keySpec INTEGER }.
#pragma once

#include "crypto/platform/certs/cert_context.h"
#include "encoding/bytes.h"

#include <optional>

namespace velmora::platform {

Bytes EncodeKeyProvFile(const KeyProvInfo& info);

// The property of a file's bytes; nullopt with an ASN.1 last error when they
// are not exactly one such record (a value outside 32 bits, flags other
// than 0, text that is not UTF-8, bytes after the record).
std::optional<KeyProvInfo> DecodeKeyProvFile(ByteView bytes);

}  // namespace velmora::platform
