// Russian labels of distinguished-name attributes and the names the OID
// registry gives for other OIDs.
#pragma once

#include <string>
#include <string_view>

namespace velmora {

// The Russian label of a name attribute; an OID outside the label table gets
// its registered name, or itself when none is registered.
std::string AttributeLabel(std::string_view oid);

// AttributeLabel, followed by "(" + OID + ")" when withOid is set.
std::string AttributeLabelWithOid(std::string_view oid, bool withOid);

// The registered name of the OID (any group); the OID itself when none is.
std::string RegisteredOidName(std::string_view oid);

// The registered name of the OID; "Неизвестный OID" when none is.
std::string OidFriendlyName(std::string_view oid);

// The combined identifier value with its keys read as names: every
// "1.2.643.100.1" becomes "ОГРН", then every "1.2.643.100.3" "СНИЛС", then
// every "1.2.643.3.131.1.1" "ИНН".
std::string OgrnSnilsInnText(std::string_view text);

}  // namespace velmora
