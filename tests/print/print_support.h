// What the print tests share: the sample templates, packages made on the
// spot, a filled copy read back, and an opener that records instead of
// starting applications.
#pragma once

#include "encoding/bytes.h"
#include "print/forms/document_opener.h"
#include "print/package/xml_part.h"
#include "print/package/zip_package.h"

#include <gtest/gtest.h>
#include <pugixml.hpp>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace velmora::testing {

// The sample templates (VELMORA_TEMPLATES, else the source tree's).
inline std::filesystem::path TemplateFolder() {
    if (const char* folder = std::getenv("VELMORA_TEMPLATES")) {
        return folder;
    }
    return std::filesystem::path(__FILE__).parent_path().parent_path().parent_path() / "templates";
}

using Parts = std::vector<std::pair<std::string, std::string>>;

// A zip archive of the parts, in order, deflated.
inline Bytes MakeZip(const Parts& parts) {
    return print::MakePackage(parts);
}

inline constexpr const char* kXmlDeclaration =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n";

// The package parts every workbook or document needs around its main part.
inline Parts PackageFrame(bool workbook, bool isTemplate) {
    const std::string family = workbook ? "spreadsheetml" : "wordprocessingml";
    const std::string kind = isTemplate ? "template" : (workbook ? "sheet" : "document");
    const std::string main = workbook ? "xl/workbook.xml" : "word/document.xml";
    return {
        {"[Content_Types].xml",
         std::string(kXmlDeclaration) +
             "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
             "<Default Extension=\"rels\" "
             "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
             "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
             "<Override PartName=\"/" +
             main + "\" ContentType=\"application/vnd.openxmlformats-officedocument." + family +
             "." + kind + ".main+xml\"/></Types>"},
        {"_rels/.rels",
         std::string(kXmlDeclaration) +
             "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/"
             "relationships\"><Relationship Id=\"rId1\" "
             "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/"
             "officeDocument\" Target=\"" +
             main + "\"/></Relationships>"},
    };
}

// A filled copy opened again.
class ReadBack {
  public:
    explicit ReadBack(const Bytes& bytes) : package_(bytes, "filled") {}
    std::string Text(const std::string& part) const { return package_.Read(part); }
    std::unique_ptr<pugi::xml_document> Xml(const std::string& part) const {
        return print::ParsePart(package_, part);
    }
    bool Has(const std::string& part) const { return package_.Has(part); }
    const print::Package& Package() const { return package_; }

  private:
    print::Package package_;
};

// Every text of the elements with the name under the node, in document
// order.
inline std::vector<std::string> Texts(const pugi::xml_node& root, const char* name) {
    std::vector<std::string> texts;
    for (pugi::xpath_node found : root.select_nodes((std::string(".//") + name).c_str())) {
        texts.push_back(found.node().text().get());
    }
    return texts;
}

// Records what it was asked to open, and fails when told to.
class RecordingOpener : public print::DocumentOpener {
  public:
    std::vector<std::filesystem::path> opened;
    std::optional<std::string> failure;

    std::optional<std::string> Open(const std::filesystem::path& file) override {
        opened.push_back(file);
        return failure;
    }
};

}  // namespace velmora::testing
