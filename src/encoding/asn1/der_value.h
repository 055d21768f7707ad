// The text of one DER element read as a primitive.
#pragma once

#include "encoding/asn1/asn1_node.h"
#include "encoding/bytes.h"

#include <cstddef>

namespace velmora {

// Writes node.text for the element whose identifier byte is bytes[start],
// read as a primitive whatever its constructed bit says: the type name, ": "
// and the value text of its content. limit is the index of the last byte the
// element may occupy. When the length cannot be read within the limit, the
// content is taken as whatever lies after the first length byte up to the
// limit, so nothing outside the limit (or the bytes) is ever read.
//
// Value texts: OBJECT_IDENTIFIER dotted; PRINTABLE/IA5/NUMERIC strings as they
// stand (see AsnDisplayText); times as they stand followed by their Russian
// text in parentheses; BMPSTRING and UTF8_STRING converted to text; BOOLEAN
// "да" or "нет" from its last content byte; BIT_STRING as the unused-bit count
// and the further bytes in hex; every other type as hex with the readable
// text (see AsnHexText), CONTEXT_SPECIFIC with "(tag number)" in front.
// A BOOLEAN or BIT_STRING without content has an empty value text.
void DecodeDerValue(ByteView bytes, std::size_t start, std::size_t limit, AsnNode& node);

}  // namespace velmora
