// Pieces the boundary's decoders share: a DER cursor that sets the platform's
// ASN.1 error codes as it fails, and readers of the structures that stand
// inside several others. Not for use outside the boundary.
#pragma once

#include "crypto/platform/asn1/decode_public_key.h"
#include "crypto/platform/asn1/der_reader.h"
#include "crypto/platform/certs/extension.h"
#include "crypto/platform/certs/extension_values.h"
#include "crypto/platform/system/last_error.h"
#include "encoding/bytes.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace velmora::platform::decode {

// Walks the elements of one buffer. The first failure sets the last error
// (kAsn1Eod when a required element is missing at the end, kAsn1BadTag for
// another identifier, kAsn1Corrupt for malformed DER or bytes left over) and
// makes every later read fail, so a decoder may check only the final result.
class Cursor {
  public:
    explicit Cursor(ByteView data) : reader_(data) {}

    // The next element, which must carry the identifier.
    bool Read(std::uint8_t tag, DerElement& element);
    // The next element when it carries the identifier; false without failing
    // when it carries another or the input is at its end.
    bool ReadOptional(std::uint8_t tag, DerElement& element);
    // The next element, whatever its identifier.
    bool Next(DerElement& element);
    // Requires the input to be used up; kAsn1Corrupt otherwise.
    bool Finish();

    bool AtEnd() const { return !failed_ && reader_.AtEnd(); }
    bool Failed() const { return failed_; }
    std::uint8_t PeekTag() const { return failed_ ? 0 : reader_.PeekTag(); }
    // Fails the cursor with a code of the caller's choosing.
    bool Fail(std::uint32_t code);

  private:
    DerReader reader_;
    bool failed_ = false;
};

// The one element with the identifier that fills the buffer exactly.
bool ReadWhole(ByteView data, std::uint8_t tag, DerElement& element);

// The bytes in reverse order.
Bytes Reversed(ByteView bytes);

// Checks an INTEGER's content (at least one byte) and gives its value when it
// fits in 64 bits; kAsn1Corrupt or kAsn1Large otherwise.
std::optional<std::int64_t> IntegerValue(ByteView content);

// Readers of structures from the content of their enclosing element. Each
// requires the content to be used up and sets the last error on failure.
bool ReadAlgorithmIdentifier(ByteView content, AlgorithmIdentifier& algorithm);
bool ReadPublicKeyInfo(const DerElement& element, PublicKeyInfo& info);
bool ReadBitStringContent(ByteView content, BitString& bits);
bool ReadGeneralNames(ByteView content, AltNameInfo& names);
bool ReadExtensions(ByteView content, std::vector<Extension>& extensions);
bool ReadOid(Cursor& cursor, std::string& oid);

// A name attribute's value: its type by the identifier (RdnValueTypeOfTag)
// and, in value, its content, or its whole DER when the type is
// kEncodedBlob. Gives the type.
std::uint32_t ReadRdnValue(const DerElement& element, Bytes& value);

}  // namespace velmora::platform::decode
