#include "print/forms/form_printer.h"

#include "encoding/error.h"
#include "print/forms/filled_copy.h"
#include "print/forms/form_template.h"
#include "print/forms/template_lookup.h"
#include "print/package/xml_part.h"
#include "print/tables/bookmark_values.h"
#include "print/tables/certificate_tables.h"

#include <system_error>

namespace velmora::print {

Bytes FillWordForm(FormTemplate& form, const TRCstruct& record, bool asTemplate) {
    const BookmarkValues values(record);
    return form.FillDocument(
        [&values](std::string_view name) -> std::optional<std::string> {
            std::optional<std::string> value = values.ValueOf(name);
            if (value) {
                return XmlSafeText(*value);
            }
            return std::nullopt;
        },
        asTemplate);
}

PrintSettings DefaultPrintSettings() {
    std::error_code error;
    std::filesystem::path temporary = std::filesystem::temp_directory_path(error);
    if (error) {
        temporary = "/tmp";
    }
    return {DefaultTemplateFolders(), temporary};
}

FormPrinter::FormPrinter(Dialogs& dialogs, DocumentOpener& opener, PrintSettings settings)
    : dialogs_(dialogs),
      opener_(opener),
      settings_(std::move(settings)),
      tables_(MakeCertificateTables()) {}

void FormPrinter::bPrintClick(const TRCstruct& record) {
    const MessageAnswer answer = dialogs_.ShowMessage("Для физ.лица?", "Velmora",
                                                      MessageIcon::Question, MessageButtons::YesNo);
    mPrintexcel(record,
                answer == MessageAnswer::Yes ? kPersonCertificateForm : kEntityCertificateForm);
}

void FormPrinter::printVrsClick(const TRCstruct& record) {
    mPrintexcel(record, kVrsCertificateForm);
}

void FormPrinter::WORD1Click(const TRCstruct& record) {
    PrintWord(record, kRequestForm);
}

void FormPrinter::PrintotzyvCerClick(const TRCstruct& record) {
    PrintWord(record, kRevocationForm);
}

void FormPrinter::Pr_ReQAPContClick(const TRCstruct& record) {
    PrintWord(record, kAccessPointForm);
}

std::filesystem::path FormPrinter::Template(std::string_view formName) const {
    const auto file = FindTemplate(formName, settings_.templateFolders);
    if (!file) {
        throw Error(TemplateNotFoundMessage(formName));
    }
    return *file;
}

std::filesystem::path FormPrinter::WriteCopy(std::string_view formName,
                                             const std::string& extension, const Bytes& bytes) {
    const std::string stem(formName.substr(0, formName.rfind('.')));
    lastCopy_ = WriteFilledCopy(settings_.outputRoot, stem + extension, bytes);
    return lastCopy_;
}

void FormPrinter::mPrintexcel(const TRCstruct& record, std::string_view formName) {
    FillCertificateTables(tables_, record);
    FormTemplate form = FormTemplate::Load(Template(formName));
    const Bytes filled = form.FillWorkbook(tables_);
    const std::filesystem::path copy = WriteCopy(formName, form.FilledExtension(), filled);
    if (const auto failure = opener_.Open(copy)) {
        ShowErrorBox(dialogs_, "Не удалось открыть файл " + copy.string() + ": " + *failure);
    }
}

void FormPrinter::PrintWord(const TRCstruct& record, std::string_view formName) {
    FormTemplate form = FormTemplate::Load(Template(formName));
    const Bytes filled = FillWordForm(form, record);
    const std::filesystem::path copy = WriteCopy(formName, form.FilledExtension(), filled);
    if (const auto failure = opener_.Open(copy)) {
        // The word processor could not be started: the message a user of the
        // forms knows, with the reason and the filled copy's place.
        dialogs_.ShowMessage("Не удалось запустить Word!\r\nНе удалось открыть файл " +
                                 copy.string() + ": " + *failure,
                             "Velmora", MessageIcon::None, MessageButtons::Ok);
    }
}

}  // namespace velmora::print
