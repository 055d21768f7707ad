#include "encoding/asn1/asn1_dump.h"

#include "encoding/asn1/der_parse.h"
#include "encoding/asn1/value_text.h"

#include <string_view>
#include <utility>

namespace velmora {

namespace {

constexpr std::string_view kOidPrefix = "OBJECT_IDENTIFIER: ";

}  // namespace

std::string DefaultOidLabeller(const std::string& oid) {
    return oid;
}

std::vector<std::string> DumpAsn1(ByteView value, const OidLabeller& labeller) {
    std::vector<std::string> lines{"Декодирование ASN1:"};
    const AsnNodeTable table = ParseDer(value);
    if (table.empty()) {
        if (!value.empty()) {
            lines.push_back(AsnHexText(value));
        }
        return lines;
    }
    lines.reserve(table.size() + 1);
    for (const AsnNode& node : table) {
        std::string line(node.indent, ' ');
        // Only a value node has the prefix with ": "; a constructed object
        // identifier is a container and stays a bare type name.
        if (node.text.starts_with(kOidPrefix)) {
            const std::string oid = node.text.substr(kOidPrefix.size());
            line += kOidPrefix;
            line += labeller ? labeller(oid) : oid;
        } else {
            line += node.text;
        }
        lines.push_back(std::move(line));
    }
    return lines;
}

}  // namespace velmora
