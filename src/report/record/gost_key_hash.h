// The GOST R 34.11-94 stamp of a public key that every report shows.
#pragma once

#include "encoding/bytes.h"

#include <string>

namespace velmora {

// HexDumpText of the GOST R 34.11-94 (CryptoPro parameters) hash of the
// bytes. Throws velmora::Error with a Russian message when the GOST hash is
// not available: without it no request or certificate can be shown.
std::string GostPublicKeyHash(ByteView bytes);

}  // namespace velmora
