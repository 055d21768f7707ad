#include "print/package/xml_part.h"

#include "encoding/error.h"
#include "encoding/utf8.h"
#include "print/package/ascii_case.h"

#include <array>
#include <sstream>

namespace velmora::print {
namespace {

constexpr unsigned kParseOptions = pugi::parse_default | pugi::parse_declaration |
                                   pugi::parse_ws_pcdata | pugi::parse_comments | pugi::parse_pi;

std::string PercentDecoded(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto hex = [](char c) {
            return c >= '0' && c <= '9'   ? c - '0'
                   : c >= 'A' && c <= 'F' ? c - 'A' + 10
                   : c >= 'a' && c <= 'f' ? c - 'a' + 10
                                          : -1;
        };
        if (text[i] == '%' && i + 2 < text.size() && hex(text[i + 1]) >= 0 &&
            hex(text[i + 2]) >= 0) {
            out += static_cast<char>(hex(text[i + 1]) * 16 + hex(text[i + 2]));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

// The target of a relationship as a part name: relative to the folder of
// the source part, or absolute; dot segments resolved.
std::string ResolveTarget(std::string_view sourcePart, std::string_view target) {
    std::string path;
    if (target.starts_with('/')) {
        path = target.substr(1);
    } else {
        const std::size_t slash = sourcePart.rfind('/');
        path = std::string(slash == std::string_view::npos ? "" : sourcePart.substr(0, slash + 1)) +
               std::string(target);
    }
    std::vector<std::string> segments;
    std::stringstream stream(PercentDecoded(path));
    for (std::string segment; std::getline(stream, segment, '/');) {
        if (segment.empty() || segment == ".") {
            continue;
        }
        if (segment == "..") {
            if (!segments.empty()) {
                segments.pop_back();
            }
            continue;
        }
        segments.push_back(segment);
    }
    std::string resolved;
    for (const std::string& segment : segments) {
        resolved += (resolved.empty() ? "" : "/") + segment;
    }
    return resolved;
}

std::string RelationshipsPartOf(std::string_view part) {
    const std::size_t slash = part.rfind('/');
    if (slash == std::string_view::npos) {
        return "_rels/" + std::string(part) + ".rels";
    }
    return std::string(part.substr(0, slash + 1)) + "_rels/" + std::string(part.substr(slash + 1)) +
           ".rels";
}

struct ContentTypeName {
    MainKind kind;
    bool isTemplate;
    bool macroEnabled;
    std::string_view contentType;
    std::string_view extension;
};

constexpr std::array<ContentTypeName, 8> kMainContentTypes{{
    {MainKind::Workbook, false, false,
     "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml", ".xlsx"},
    {MainKind::Workbook, true, false,
     "application/vnd.openxmlformats-officedocument.spreadsheetml.template.main+xml", ".xltx"},
    {MainKind::Workbook, false, true, "application/vnd.ms-excel.sheet.macroEnabled.main+xml",
     ".xlsm"},
    {MainKind::Workbook, true, true, "application/vnd.ms-excel.template.macroEnabled.main+xml",
     ".xltm"},
    {MainKind::Document, false, false,
     "application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml", ".docx"},
    {MainKind::Document, true, false,
     "application/vnd.openxmlformats-officedocument.wordprocessingml.template.main+xml", ".dotx"},
    {MainKind::Document, false, true, "application/vnd.ms-word.document.macroEnabled.main+xml",
     ".docm"},
    {MainKind::Document, true, true,
     "application/vnd.ms-word.template.macroEnabledTemplate.main+xml", ".dotm"},
}};

constexpr std::string_view kContentTypesPart = "[Content_Types].xml";

// The Override element of the part in the content types, or null.
pugi::xml_node OverrideOf(const pugi::xml_document& types, std::string_view part) {
    for (pugi::xml_node node : types.document_element().children()) {
        if (std::string_view(node.name()).ends_with("Override") &&
            SameName(node.attribute("PartName").value(), "/" + std::string(part))) {
            return node;
        }
    }
    return {};
}

}  // namespace

std::unique_ptr<pugi::xml_document> ParsePart(const Package& package, std::string_view part) {
    const std::string text = package.Read(part);
    auto document = std::make_unique<pugi::xml_document>();
    const pugi::xml_parse_result result =
        document->load_buffer(text.data(), text.size(), kParseOptions, pugi::encoding_auto);
    if (!result || !document->document_element()) {
        package.Damaged("часть " + std::string(part) + " не является правильным XML (" +
                        (result ? std::string("нет корневого элемента")
                                : std::string(result.description()) + ", позиция " +
                                      std::to_string(result.offset)) +
                        ")");
    }
    return document;
}

std::string WritePart(const pugi::xml_document& document) {
    std::ostringstream out;
    document.save(out, "", pugi::format_raw | pugi::format_no_declaration, pugi::encoding_utf8);
    return out.str();
}

std::string XmlSafeText(std::string_view text) {
    std::string safe;
    safe.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t start = pos;
        const char32_t code = DecodeUtf8(text, pos);
        if (code == kMalformedUtf8 || code == 0xFFFE || code == 0xFFFF) {
            safe += '?';
        } else if (code < 0x20 && code != '\t' && code != '\n' && code != '\r') {
            continue;
        } else {
            safe.append(text.substr(start, pos - start));
        }
    }
    return safe;
}

Names::Names(const pugi::xml_node& root, std::initializer_list<std::string_view> uris,
             std::string_view usual)
    : prefix_(usual) {
    for (pugi::xml_attribute attribute : root.attributes()) {
        const std::string_view name = attribute.name();
        bool wanted = false;
        for (std::string_view uri : uris) {
            wanted = wanted || attribute.value() == uri;
        }
        if (!wanted) {
            continue;
        }
        if (name == "xmlns") {
            prefix_.clear();
            return;
        }
        if (name.starts_with("xmlns:")) {
            prefix_ = std::string(name.substr(6)) + ":";
            return;
        }
    }
}

const char* Names::operator()(std::string_view local) const {
    auto found = qualified_.find(local);
    if (found == qualified_.end()) {
        found = qualified_.emplace(std::string(local), prefix_ + std::string(local)).first;
    }
    return found->second.c_str();
}

bool Names::Is(const pugi::xml_node& node, std::string_view local) const {
    const std::string_view name = node.name();
    return name.size() == prefix_.size() + local.size() && name.starts_with(prefix_) &&
           name.ends_with(local);
}

std::vector<Relationship> ReadRelationships(const Package& package, std::string_view part) {
    const std::string relsPart = part.empty() ? "_rels/.rels" : RelationshipsPartOf(part);
    std::vector<Relationship> relationships;
    if (!package.Has(relsPart)) {
        return relationships;
    }
    const auto document = ParsePart(package, relsPart);
    for (pugi::xml_node node : document->document_element().children()) {
        if (!std::string_view(node.name()).ends_with("Relationship")) {
            continue;
        }
        Relationship relationship;
        relationship.id = node.attribute("Id").value();
        relationship.type = node.attribute("Type").value();
        relationship.external = SameName(node.attribute("TargetMode").value(), "External");
        relationship.target = relationship.external
                                  ? std::string(node.attribute("Target").value())
                                  : ResolveTarget(part, node.attribute("Target").value());
        relationships.push_back(std::move(relationship));
    }
    return relationships;
}

const Relationship* FindRelationship(const std::vector<Relationship>& relationships,
                                     std::string_view kind) {
    for (const Relationship& relationship : relationships) {
        if (!relationship.external && relationship.type.ends_with("/" + std::string(kind))) {
            return &relationship;
        }
    }
    return nullptr;
}

void RemovePart(Package& package, std::string_view sourcePart, std::string_view part) {
    const std::string name = package.Find(part);
    if (name.empty()) {
        return;
    }
    const std::string relsPart = RelationshipsPartOf(sourcePart);
    if (package.Has(relsPart)) {
        const auto rels = ParsePart(package, relsPart);
        pugi::xml_node root = rels->document_element();
        for (pugi::xml_node node = root.first_child(); node;) {
            const pugi::xml_node next = node.next_sibling();
            if (std::string_view(node.name()).ends_with("Relationship") &&
                !SameName(node.attribute("TargetMode").value(), "External") &&
                SameName(ResolveTarget(sourcePart, node.attribute("Target").value()), name)) {
                root.remove_child(node);
            }
            node = next;
        }
        package.Replace(relsPart, WritePart(*rels));
    }
    const auto types = ParsePart(package, kContentTypesPart);
    if (pugi::xml_node override = OverrideOf(*types, name)) {
        types->document_element().remove_child(override);
        package.Replace(kContentTypesPart, WritePart(*types));
    }
    package.Remove(name);
}

std::string MainPart(const Package& package) {
    const std::vector<Relationship> relationships = ReadRelationships(package, "");
    const Relationship* main = FindRelationship(relationships, "officeDocument");
    if (main == nullptr || !package.Has(main->target)) {
        package.Damaged("нет основной части документа");
    }
    return package.Find(main->target);
}

MainPartType ReadMainPartType(const Package& package, std::string_view mainPart) {
    const auto types = ParsePart(package, kContentTypesPart);
    std::string contentType = OverrideOf(*types, mainPart).attribute("ContentType").value();
    if (contentType.empty()) {
        const std::size_t dot = mainPart.rfind('.');
        const std::string_view extension =
            dot == std::string_view::npos ? std::string_view() : mainPart.substr(dot + 1);
        for (pugi::xml_node node : types->document_element().children()) {
            if (std::string_view(node.name()).ends_with("Default") &&
                SameName(node.attribute("Extension").value(), extension)) {
                contentType = node.attribute("ContentType").value();
            }
        }
    }
    for (const ContentTypeName& entry : kMainContentTypes) {
        if (SameName(entry.contentType, contentType)) {
            return {entry.kind, entry.isTemplate, entry.macroEnabled};
        }
    }
    return {};
}

void SetMainPartTemplate(Package& package, std::string_view mainPart, const MainPartType& type,
                         bool isTemplate) {
    if (type.isTemplate == isTemplate) {
        return;
    }
    for (const ContentTypeName& entry : kMainContentTypes) {
        if (entry.kind == type.kind && entry.isTemplate == isTemplate &&
            entry.macroEnabled == type.macroEnabled) {
            const auto types = ParsePart(package, kContentTypesPart);
            pugi::xml_node override = OverrideOf(*types, mainPart);
            if (!override) {
                override = types->document_element().append_child("Override");
                override.append_attribute("PartName") = ("/" + std::string(mainPart)).c_str();
            }
            if (!override.attribute("ContentType")) {
                override.append_attribute("ContentType");
            }
            override.attribute("ContentType") = std::string(entry.contentType).c_str();
            package.Replace(kContentTypesPart, WritePart(*types));
            return;
        }
    }
}

std::string PackageExtension(const MainPartType& type) {
    for (const ContentTypeName& entry : kMainContentTypes) {
        if (entry.kind == type.kind && entry.isTemplate == type.isTemplate &&
            entry.macroEnabled == type.macroEnabled) {
            return std::string(entry.extension);
        }
    }
    return {};
}

}  // namespace velmora::print
