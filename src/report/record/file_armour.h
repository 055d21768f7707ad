// The armour rule for request and certificate files: base64 text, with or
// without "-----BEGIN" lines, or DER.
#pragma once

#include "encoding/bytes.h"

#include <optional>

namespace velmora {

// The DER bytes of a file. A file whose text holds "BEGIN" anywhere is read
// as armoured base64, any other as bare base64; when the text does not pass
// the platform's size check for that format, the bytes are DER and are
// returned unchanged. Nullopt when the size check passes but the text still
// does not convert.
std::optional<Bytes> DerOfFileBytes(ByteView fileBytes);

}  // namespace velmora
