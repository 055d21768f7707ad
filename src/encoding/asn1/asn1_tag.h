// Names of ASN.1 element types.
#pragma once

#include <cstdint>
#include <string_view>

namespace velmora {

// What an identifier byte of an unknown type or of the application or private
// class is called.
inline constexpr std::string_view kUnknownAsnType = "неизвестный тип";

// The type name of an element from its identifier byte alone: every
// context-specific identifier is "CONTEXT_SPECIFIC", universal ones are named
// by their number (31, the high-tag-number form, is "TAG_MASK"), application
// and private ones are unknown. The constructed bit plays no part.
std::string_view AsnTagName(std::uint8_t identifier);

}  // namespace velmora
