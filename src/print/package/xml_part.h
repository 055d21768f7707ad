// The XML parts of a package: parsing and writing them back, their
// namespace prefixes, relationships and content types.
#pragma once

#include "print/package/zip_package.h"

#include <pugixml.hpp>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::print {

// The part parsed with everything that writing it back needs: whitespace
// text, comments, processing instructions and the declaration. Raises Error
// when the part is missing or is not well-formed XML.
std::unique_ptr<pugi::xml_document> ParsePart(const Package& package, std::string_view part);

// The document as text, exactly as parsed except for what was changed.
std::string WritePart(const pugi::xml_document& document);

// The text with what XML cannot carry removed: control characters other
// than tab, line feed and carriage return, and malformed UTF-8 (each
// damaged sequence becomes "?").
std::string XmlSafeText(std::string_view text);

// Qualified names in one namespace as a document's root declares it: the
// prefix bound to the namespace ("w:", or nothing for the default one).
class Names {
  public:
    // The prefix the root element binds to any of the namespace URIs; a root
    // that declares none of them gets the usual prefix.
    Names(const pugi::xml_node& root, std::initializer_list<std::string_view> uris,
          std::string_view usual);
    // The qualified name; the text lives as long as this object, so it may
    // be handed to pugixml's name filters.
    const char* operator()(std::string_view local) const;
    // True when the element's name is the local name in this namespace.
    bool Is(const pugi::xml_node& node, std::string_view local) const;

  private:
    std::string prefix_;
    mutable std::map<std::string, std::string, std::less<>> qualified_;
};

// The namespaces of the main markup, transitional and strict.
inline constexpr std::string_view kSpreadsheetNs =
    "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
inline constexpr std::string_view kSpreadsheetStrictNs =
    "http://purl.oclc.org/ooxml/spreadsheetml/main";
inline constexpr std::string_view kWordNs =
    "http://schemas.openxmlformats.org/wordprocessingml/2006/main";
inline constexpr std::string_view kWordStrictNs =
    "http://purl.oclc.org/ooxml/wordprocessingml/main";
inline constexpr std::string_view kRelationshipsNs =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
inline constexpr std::string_view kRelationshipsStrictNs =
    "http://purl.oclc.org/ooxml/officeDocument/relationships";
inline constexpr std::string_view kDrawingNs =
    "http://schemas.openxmlformats.org/drawingml/2006/spreadsheetDrawing";
inline constexpr std::string_view kDrawingStrictNs =
    "http://purl.oclc.org/ooxml/drawingml/spreadsheetDrawing";

// One relationship of a part, its target resolved to a part name without
// the leading "/".
struct Relationship {
    std::string id;
    std::string type;  // the full type URI
    std::string target;
    bool external = false;
};

// The relationships of a part ("" for the package's own); none when the part
// has no relationships part.
std::vector<Relationship> ReadRelationships(const Package& package, std::string_view part);

// The first internal relationship whose type URI ends with "/" + kind; null
// when there is none.
const Relationship* FindRelationship(const std::vector<Relationship>& relationships,
                                     std::string_view kind);

// Removes a part, the relationship that the source part has to it, and its
// content type entry.
void RemovePart(Package& package, std::string_view sourcePart, std::string_view part);

// The package's main part (the target of its officeDocument relationship).
std::string MainPart(const Package& package);

// What the main part is, by its content type.
enum class MainKind { Unknown, Workbook, Document };

struct MainPartType {
    MainKind kind = MainKind::Unknown;
    bool isTemplate = false;
    bool macroEnabled = false;
};

MainPartType ReadMainPartType(const Package& package, std::string_view mainPart);

// Sets the main part's content type to the document or template of its kind
// (a filled copy of a template is a document, as a new document made from a
// template is).
void SetMainPartTemplate(Package& package, std::string_view mainPart, const MainPartType& type,
                         bool isTemplate);

// The usual extension of a package of the type: .xlsx .xltx .xlsm .xltm .docx
// .dotx .docm .dotm.
std::string PackageExtension(const MainPartType& type);

}  // namespace velmora::print
