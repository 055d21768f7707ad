// The few changes to an encoded SignedData that OpenSSL does not make itself.
// Boundary-internal.
#pragma once

#include "encoding/bytes.h"

#include <cstdint>
#include <optional>

namespace velmora::platform {

// A DER identifier and length for content of that many bytes.
Bytes DerHeader(std::uint8_t tag, std::uint64_t length);

// The parts of a message without content around which the content goes:
// everything up to the content octets, and everything after them.
struct AttachedParts {
    Bytes head;
    Bytes tail;
};

// ContentInfo { contentType, [0] SignedData { version, digestAlgorithms,
// encapContentInfo { eContentType }, certificates, signerInfos } } becomes
// the same with encapContentInfo { eContentType, [0] OCTET STRING content }
// for content of that size.
std::optional<AttachedParts> SplitAround(ByteView detached, std::uint64_t content_size);

// The message with every signer's digest algorithm among the message's
// digest algorithms. OpenSSL 3.0 leaves a co-signer's GOST hash out of them
// (its check whether the hash is already there matches any GOST hash), and
// verifiers that hash the content by that list then find no hash for the
// signer. The message is given back unchanged when nothing is missing.
std::optional<Bytes> CompleteDigestAlgorithms(ByteView message);

}  // namespace velmora::platform
