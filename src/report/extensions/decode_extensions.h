// Turns the extensions of a certificate or request into decoded records.
#pragma once

#include "crypto/platform/certs/extension.h"
#include "report/extensions/extension_record.h"

#include <span>
#include <string_view>

namespace velmora {

// The kind of an extension by its OID; kUnknown for every OID without a
// decoder of its own.
ExtensionKind ExtensionKindOf(std::string_view oid);

// Appends one record per extension, in input order. A record whose decoding
// fails is appended all the same, with its part left empty.
void DecodeExtensions(std::span<const platform::Extension> extensions, CERT_EXTENSIONS_STR& list);

// One extension as a record.
TCERT_EXTENSION_STR DecodeExtension(const platform::Extension& extension);

}  // namespace velmora
