// The lines of a distinguished name and of a signer, as verification writes them.
#pragma once

#include "crypto/platform/messages/crypt_message.h"
#include "encoding/bytes.h"
#include "encoding/date_time.h"

#include <optional>
#include <string>
#include <vector>

namespace velmora {

// One line per relative distinguished name, in encoded order: two blanks, the
// label of its first attribute with the OID, " = " and the value of the
// first attribute of the whole name with that OID. Nothing for bytes that
// are not a name.
std::vector<std::string> NameLines(ByteView encoded_name);

// The signer's serial number line and signing time line; the signing time
// when both were written. A signer without a signing time gets the serial
// line and a line saying the time is not given.
std::optional<FileTime> SignerInfoLines(const platform::CryptMessage& message,
                                        std::vector<std::string>& lines, std::uint32_t index);

}  // namespace velmora
