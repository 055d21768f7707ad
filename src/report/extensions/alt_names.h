// General names (alternative names, authority issuers, distribution points)
// as the record holds them.
#pragma once

#include "crypto/platform/certs/extension_values.h"
#include "encoding/bytes.h"
#include "report/extensions/extension_record.h"

#include <string>

namespace velmora {

// The label of an other name: "Идентификатор ключей при смене" for 2.5.4.12,
// otherwise the registered name of the OID ("Неизвестный OID" when none).
std::string OtherNameLabel(std::string_view oid);

// One record per general name, in order; every text cut to 255 characters.
TALTERNATE_NAMES DecodeAltNameInfo(const platform::AltNameInfo& info);

// The bytes in decimal joined by ".": four numbers for IPv4, sixteen for IPv6.
std::string IpAddressText(ByteView bytes);

}  // namespace velmora
