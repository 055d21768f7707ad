#include "encoding/asn1/asn1_tag.h"

#include <array>

namespace velmora {

namespace {

constexpr std::array<std::string_view, 32> kUniversalNames = {
    kUnknownAsnType,     "BOOLEAN",
    "INTEGER",           "BIT_STRING",
    "OCTET_STRING",      "TAG_NULL",
    "OBJECT_IDENTIFIER", "OBJECT_DESCRIPTOR",
    "EXTERNAL",          "REAL",
    "ENUMERATED",        kUnknownAsnType,
    "UTF8_STRING",       "RELATIVE_OID",
    kUnknownAsnType,     kUnknownAsnType,
    "SEQUENCE",          "SET",
    "NUMERIC_STRING",    "PRINTABLE_STRING",
    "T61_STRING",        "VIDEOTEXT_STRING",
    "IA5_STRING",        "UTC_TIME",
    "GENERALIZED_TIME",  "GRAPHIC_STRING",
    "VISIBLE_STRING",    "GENERAL_STRING",
    "UNIVERSAL_STRING",  kUnknownAsnType,
    "BMPSTRING",         "TAG_MASK",
};

}  // namespace

std::string_view AsnTagName(std::uint8_t identifier) {
    switch (identifier & 0xC0) {
        case 0x00:
            return kUniversalNames[identifier & 0x1F];
        case 0x80:
            return "CONTEXT_SPECIFIC";
        default:
            return kUnknownAsnType;
    }
}

}  // namespace velmora
