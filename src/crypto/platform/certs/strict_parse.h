// Whether OpenSSL's own parser takes bytes as a whole certificate or request.
// The program's decoders read what they show; OpenSSL is what the chain
// engine, the stores and the message functions hand the same bytes to. A
// damaged object that one of them would refuse is refused by both.
#pragma once

#include "crypto/platform/asn1/decode_public_key.h"
#include "crypto/platform/certs/extension.h"
#include "encoding/bytes.h"

#include <vector>

namespace velmora::platform {

// True when a certificate's public key decodes where OpenSSL knows the key's
// algorithm, and every extension OpenSSL knows decodes. The rest of the
// certificate is held to OpenSSL's rules by the certificate's own decoder.
bool OpenSslAcceptsKeyAndExtensions(const PublicKeyInfo& key,
                                    const std::vector<Extension>& extensions);

// The same for a PKCS#10 request; its extension request attribute, when it
// has one, must decode too.
bool OpenSslAcceptsRequest(ByteView der);

}  // namespace velmora::platform
