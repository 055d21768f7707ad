// Decoding of certificate revocation lists (DER, exactly one CRL). The walk
// goes over the encoding itself, entry by entry, without building a library
// object per entry, and can read its input a piece at a time, so that lists
// of millions of entries decode fast and in the same small memory whatever
// their size. What OpenSSL's own parser refuses (a damaged issuer, algorithm
// identifier or signature bit string included) is refused here too.
#pragma once

#include "crypto/platform/asn1/der_stream.h"
#include "crypto/platform/certs/extension.h"
#include "crypto/platform/system/clock.h"
#include "encoding/bytes.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

namespace velmora::platform {

// One revoked certificate.
struct CrlEntryInfo {
    // As the platform holds integers: least significant byte first, the
    // encoding's sign byte included (serial 00 80 gives 80 00).
    Bytes serialNumber;
    FileTime revocationDate = 0;  // UTC
    std::vector<Extension> extensions;
};

struct CrlInfo {
    int version = 0;  // 0 for v1 (no version field), 1 for v2
    Bytes issuer;     // the encoded Name
    FileTime thisUpdate = 0;
    FileTime nextUpdate = 0;     // 0 when the CRL has none
    std::size_t entryCount = 0;  // counted also when the entries are not kept
    std::vector<CrlEntryInfo> entries;
    std::vector<Extension> extensions;
};

// Decodes a CRL whose DER fills the buffer exactly. Every entry is checked;
// they are kept in info.entries only when withEntries is set. On failure
// (not DER, PEM armour, another kind of object such as a certificate, a
// truncated or over-long encoding, bytes after the CRL) gives false and sets
// the last error (CRYPT_E_ASN1_BADTAG, _EOD or _CORRUPT); info is then
// unspecified.
bool DecodeCrlInfo(ByteView der, CrlInfo& info, bool withEntries);

// Called for each entry in order. The entry object is reused from one call
// to the next: copy what must outlive the call. Returning false stops the
// walk.
using CrlEntryVisitor = std::function<bool(const CrlEntryInfo& entry)>;

// Walks a CRL as DecodeCrlInfo does, handing each entry to visit instead of
// keeping it; info gets everything else (entryCount counts the entries
// visited). Entries are visited while the walk goes on, so a CRL that turns
// out to be damaged after some entries has had those visited before false
// is returned; decode first when nothing may be done with a damaged CRL.
// A visitor that stops the walk gives false with the last error
// ERROR_CANCELLED.
bool ForEachCrlEntry(ByteView der, CrlInfo& info, const CrlEntryVisitor& visit);

// The same over a CRL read from the source a chunk at a time; memory holds
// one chunk and one entry, never the CRL. When the first entry is visited,
// info already holds the fields that stand before the entries (version,
// issuer, this and next update). An exception thrown by the source or the
// visitor ends the walk and passes through.
bool ForEachCrlEntry(const DerChunkSource& source, CrlInfo& info, const CrlEntryVisitor& visit);

}  // namespace velmora::platform
