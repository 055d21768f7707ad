#include "app/input/conversion.h"
#include "app/input/file_loader.h"
#include "cli/cli_context.h"
#include "cli/console_dialogs.h"
#include "encoding/atomic_file.h"
#include "encoding/error.h"
#include "print/forms/form_printer.h"
#include "print/forms/form_template.h"
#include "print/forms/template_lookup.h"
#include "print/package/ascii_case.h"
#include "print/tables/certificate_tables.h"

#include <array>
#include <filesystem>
#include <memory>
#include <string>

namespace velmora::cli {
namespace {

namespace fs = std::filesystem;

constexpr std::array<std::string_view, 6> kForms = {
    print::kPersonCertificateForm, print::kEntityCertificateForm, print::kVrsCertificateForm,
    print::kRequestForm,           print::kRevocationForm,        print::kAccessPointForm};

// A template file named by its path, or a form by its name ("cer",
// "otzyv.dotx"), looked for where the window looks.
fs::path TemplateFile(const std::string& name) {
    std::error_code error;
    if (fs::is_regular_file(name, error)) {
        return name;
    }
    std::string form = name;
    for (std::string_view known : kForms) {
        if (print::SameName(known.substr(0, known.rfind('.')), name)) {
            form = known;
        }
    }
    if (const auto file = print::FindTemplate(form, print::DefaultTemplateFolders())) {
        return *file;
    }
    throw Error(print::TemplateNotFoundMessage(form));
}

// Filled copies saved under a template's extension stay templates.
bool IsTemplateName(const fs::path& file) {
    for (const char* extension : {".xltx", ".xltm", ".dotx", ".dotm"}) {
        if (print::SameName(file.extension().string(), extension)) {
            return true;
        }
    }
    return false;
}

int Print(CliContext& ctx, const std::string& templateName, const fs::path& file,
          const fs::path& out) {
    print::FormTemplate form = print::FormTemplate::Load(TemplateFile(templateName));
    ConsoleDialogs dialogs(ctx.err);
    TRCstruct record;
    if (!LoadDecodedFile(record, file, &dialogs)) {
        ctx.err << "Ошибка: " << kUnsupportedFile << " - " << file.string() << '\n';
        return kExitFailure;
    }
    Bytes filled;
    if (form.Kind() == print::MainKind::Workbook) {
        print::TableSet tables = print::MakeCertificateTables();
        print::FillCertificateTables(tables, record);
        filled = form.FillWorkbook(tables, IsTemplateName(out));
    } else {
        filled = print::FillWordForm(form, record, IsTemplateName(out));
    }
    if (!WriteFileAtomic(out, filled)) {
        ctx.err << "Ошибка: Не удалось создать файл - " << out.string() << '\n';
        return kExitFailure;
    }
    ctx.out << CreatedFileMessage(out) << '\n';
    return kExitOk;
}

}  // namespace

void AddPrintCommands(CLI::App& app, CliContext& ctx) {
    CLI::App* print = app.add_subcommand(
        "print",
        "заполняет форму (шаблон Excel или Word) по запросу или сертификату и сохраняет её, "
        "не открывая");
    auto args = std::make_shared<std::array<std::string, 3>>();
    print
        ->add_option("ШАБЛОН", (*args)[0],
                     "файл шаблона или имя формы: cer, cerUl, cervrs (сертификат, Excel), "
                     "keyexch1, reqAPkont (запрос, Word), otzyv (отзыв сертификата, Word)")
        ->required();
    print->add_option("ФАЙЛ", (*args)[1], "запрос или сертификат (DER, PEM или base64)")
        ->required();
    print->add_option("ВЫХОД", (*args)[2], "файл заполненной формы (.xlsx или .docx)")->required();
    print->callback([&ctx, args] { ctx.status = Print(ctx, (*args)[0], (*args)[1], (*args)[2]); });
}

}  // namespace velmora::cli
