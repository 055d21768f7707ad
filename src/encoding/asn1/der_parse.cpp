#include "encoding/asn1/der_parse.h"

#include "encoding/asn1/asn1_tag.h"
#include "encoding/asn1/der_reader.h"
#include "encoding/asn1/der_value.h"

#include <cstdint>
#include <string>
#include <vector>

namespace velmora {

namespace {

// A container is open at pos while pos lies in its content.
bool Contains(const AsnNode& node, std::size_t pos) {
    return node.start < pos && pos <= node.end;
}

bool IsContainer(std::uint8_t identifier) {
    return (identifier & 0x20) != 0 || AsnTagName(identifier) == "OCTET_STRING";
}

}  // namespace

AsnNodeTable ParseDer(ByteView der) {
    AsnNodeTable table;
    // Whether each node is shown as a value. Value texts are made once the
    // parse is over: a container that falls back to a value replaces what was
    // read inside it, so writing texts as they come could format the same
    // bytes again at every level of a deep nesting.
    std::vector<bool> isValue;
    // The open containers, innermost last, above a first entry 0 that stays.
    std::vector<std::size_t> open{0};
    std::size_t pos = 0;

    // Only the first element is read: once it is in the table the parse ends
    // with its last byte. The last byte is itself read, so that a stray byte
    // at the end of a container's content is seen as not being DER.
    while (pos < der.size() && (table.empty() || pos <= table.front().end) &&
           table.size() < kAsnNodeLimit) {
        std::size_t parent = 0;
        std::size_t indent = 0;
        std::size_t limit = der.size() - 1;
        if (!table.empty()) {
            open.push_back(table.size() - 1);
            while (open.size() > 1 && !Contains(table[open.back()], pos)) {
                open.pop_back();
            }
            parent = open.back();
            indent = table[parent].indent + 3;
            limit = table[parent].end;
        }

        const std::uint8_t identifier = der[pos];
        const std::string_view name = AsnTagName(identifier);
        std::size_t last = pos + 1;  // the last length byte once read
        std::size_t length = 0;
        if (name != kUnknownAsnType && ReadDerLength(der, last, length, limit)) {
            const bool container = IsContainer(identifier);
            table.push_back({container ? std::string(name) : std::string(), pos, last + length,
                             indent, parent});
            isValue.push_back(!container);
            pos = container ? last + 1 : last + length + 1;
            continue;
        }

        if (table.empty()) {
            break;  // the first element cannot be read: nothing encloses it
        }
        // The innermost container still open shows its whole content instead.
        // Nodes after it lie inside it and are dropped; the first node always
        // contains pos here, so the walk stops there at the latest.
        while (table.size() > 1 && !Contains(table.back(), pos)) {
            table.pop_back();
            isValue.pop_back();
        }
        isValue.back() = true;
        pos = table.back().end + 1;
    }

    for (std::size_t i = 0; i < table.size(); ++i) {
        if (isValue[i]) {
            DecodeDerValue(der, table[i].start, table[i].end, table[i]);
        }
    }
    return table;
}

}  // namespace velmora
