#include "print/forms/form_template.h"

#include "encoding/atomic_file.h"
#include "encoding/error.h"
#include "print/sheet/workbook_fill.h"
#include "print/word/document_fill.h"

#include <system_error>

namespace velmora::print {

FormTemplate FormTemplate::Load(const std::filesystem::path& file, const PackageLimits& limits) {
    std::error_code error;
    const auto size = std::filesystem::file_size(file, error);
    if (!error && size > limits.maxFileSize) {
        throw Error("Шаблон " + file.string() + " отклонён: файл больше " +
                    std::to_string(limits.maxFileSize >> 20) + " МБ");
    }
    const std::optional<Bytes> bytes = ReadFileBytes(file);
    if (!bytes) {
        throw Error("Не удалось прочитать файл " + file.string());
    }
    return FormTemplate(*bytes, file.string(), limits);
}

FormTemplate::FormTemplate(ByteView bytes, std::string displayName, const PackageLimits& limits)
    : package_(std::make_unique<Package>(bytes, std::move(displayName), limits)),
      mainPart_(MainPart(*package_)),
      type_(ReadMainPartType(*package_, mainPart_)) {
    if (type_.kind == MainKind::Unknown) {
        package_->Damaged("это не книга Excel и не документ Word");
    }
}

FormTemplate::~FormTemplate() = default;
FormTemplate::FormTemplate(FormTemplate&&) noexcept = default;
FormTemplate& FormTemplate::operator=(FormTemplate&&) noexcept = default;

const std::string& FormTemplate::DisplayName() const {
    return package_->DisplayName();
}

Bytes FormTemplate::FillWorkbook(const TableSet& tables, bool asTemplate) {
    if (type_.kind != MainKind::Workbook) {
        throw Error("Шаблон " + DisplayName() + " не является книгой Excel");
    }
    print::FillWorkbook(*package_, mainPart_, tables);
    return Finish(asTemplate);
}

Bytes FormTemplate::FillDocument(const BookmarkValue& valueOf, bool asTemplate) {
    if (type_.kind != MainKind::Document) {
        throw Error("Шаблон " + DisplayName() + " не является документом Word");
    }
    print::FillDocument(*package_, mainPart_, valueOf);
    return Finish(asTemplate);
}

Bytes FormTemplate::Finish(bool asTemplate) {
    SetMainPartTemplate(*package_, mainPart_, type_, asTemplate);
    return package_->Write();
}

std::string FormTemplate::FilledExtension(bool asTemplate) const {
    MainPartType filled = type_;
    filled.isTemplate = asTemplate;
    return PackageExtension(filled);
}

}  // namespace velmora::print
