#include "print/word/document_fill.h"

#include "print/package/xml_part.h"

#include <vector>

namespace velmora::print {

void FillDocument(Package& package, const std::string& mainPart, const BookmarkValue& valueOf) {
    std::vector<std::string> parts{mainPart};
    for (const Relationship& relationship : ReadRelationships(package, mainPart)) {
        for (const char* kind : {"/header", "/footer", "/footnotes", "/endnotes"}) {
            if (!relationship.external && relationship.type.ends_with(kind) &&
                package.Has(relationship.target)) {
                parts.push_back(package.Find(relationship.target));
            }
        }
    }
    for (const std::string& part : parts) {
        const auto document = ParsePart(package, part);
        if (FillBookmarks(*document, valueOf) > 0) {
            package.Replace(part, WritePart(*document));
        }
    }
}

}  // namespace velmora::print
