// The table of parsed elements that the ASN.1 dump is built from.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace velmora {

// One parsed element.
struct AsnNode {
    std::string text;        // the element's line without indentation
    std::size_t start = 0;   // index of the identifier byte in the value
    std::size_t end = 0;     // index of the last content byte (inclusive)
    std::size_t indent = 0;  // spaces in front of the line, 3 per level of nesting
    std::size_t parent = 0;  // index of the enclosing node (0 for the outermost)
};

// Nodes in document order (the order of their identifier bytes).
using AsnNodeTable = std::vector<AsnNode>;

// The table never holds more nodes than this: parsing stops when it is full,
// which also bounds the nesting depth and so the indentation.
inline constexpr std::size_t kAsnNodeLimit = 1001;

}  // namespace velmora
