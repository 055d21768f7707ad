// A form template read from a file: a workbook or a word-processing
// document in Office Open XML, filled once into a new document.
#pragma once

#include "encoding/bytes.h"
#include "print/package/xml_part.h"
#include "print/package/zip_package.h"
#include "print/tables/data_table.h"
#include "print/word/bookmark_fill.h"

#include <filesystem>
#include <memory>
#include <string>

namespace velmora::print {

class FormTemplate {
  public:
    // Reads the template file. Raises Error for a file that cannot be read,
    // is no package, exceeds the limits, or is neither a workbook nor a
    // word-processing document.
    static FormTemplate Load(const std::filesystem::path& file, const PackageLimits& limits = {});

    // The same for template bytes; the name is what messages call it.
    FormTemplate(ByteView bytes, std::string displayName, const PackageLimits& limits = {});
    ~FormTemplate();
    FormTemplate(FormTemplate&&) noexcept;
    FormTemplate& operator=(FormTemplate&&) noexcept;

    MainKind Kind() const { return type_.kind; }
    const std::string& DisplayName() const;

    // The filled copy, a document (or, when asked, a template) of the
    // template's kind; a template is filled once. Raises Error when the
    // template's content does not allow filling, or is of the other kind.
    Bytes FillWorkbook(const TableSet& tables, bool asTemplate = false);
    Bytes FillDocument(const BookmarkValue& valueOf, bool asTemplate = false);

    // The extension of the filled copy: ".xlsx", ".docx" (".xltx", ".dotx"
    // for a template; the macro-enabled kinds keep their own).
    std::string FilledExtension(bool asTemplate = false) const;

  private:
    Bytes Finish(bool asTemplate);

    std::unique_ptr<Package> package_;
    std::string mainPart_;
    MainPartType type_;
};

}  // namespace velmora::print
